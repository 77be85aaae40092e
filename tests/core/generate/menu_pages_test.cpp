#include "generate/menu_pages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vesk {
namespace {

// Expected lines, typed from the document's templates.
std::string thumbnail(const std::string& nn, const std::string& y) {
  return "<image shape=\"flat\" size=\"0.4\" image_data=\"me" + nn +
         "\" note=\"img\" coordinate=\"-1.664, " + y +
         ", 0.0\" ambient=\"255,255,255\" diffuse=\"0,0,0\" specular=\"0,0,0\" opacity=\"1.0\" "
         "event=\"goto_ob" +
         nn + "\" />\n";
}
std::string upButton(const std::string& target) {
  return "<image shape=\"flat\" size=\"0.4\" image_data=\"up\" note=\"up\" "
         "coordinate=\"-1.664,-0.76,0.1\" ambient=\"255,255,255\" diffuse=\"0,0,0\" "
         "specular=\"0,0,0\" opacity=\"1.0\" event=\"up" +
         target + "\" />\n";
}
std::string downButton(const std::string& target) {
  return "<image shape=\"flat\" size=\"0.4\" image_data=\"down\" note=\"down\" "
         "coordinate=\"-1.664,-0.92,0.1\" ambient=\"255,255,255\" diffuse=\"0,0,0\" "
         "specular=\"0,0,0\" opacity=\"1.0\" event=\"down" +
         target + "\" />\n";
}
std::string pageStart(const std::string& nn) {
  return "<drawGroup name=\"menu" + nn + "\" type=\"unit\" layer=\"back\"><drawUnit>\n";
}
const std::string kPageEnd = "\n</drawUnit></drawGroup>\n\n";

std::string pageEvents(const std::string& nn) {
  return "<event name=\"up" + nn + "\">\n<targetSpace index=\"0\"/><topGroup name=\"menu" + nn +
         "\" /></event>\n\n<event name=\"down" + nn +
         "\">\n<targetSpace index=\"0\"/><topGroup name=\"menu" + nn + "\" /></event>\n";
}

std::string menuOf(int n) {
  std::string text;
  writeMenuPages(text, n);
  return text;
}

TEST(MenuPages, OneEntryGivesOnePageWithOneThumbnailAndNoButtons) {
  EXPECT_EQ(menuOf(1), pageStart("00") + thumbnail("00", "0.86") + kPageEnd);
  std::string events;
  writePageEvents(events, 1);
  EXPECT_EQ(events, pageEvents("00"));
}

TEST(MenuPages, SixEntriesGiveAnEmptySecondPageWithOnlyAnUpButton) {
  const std::string expected = pageStart("00") + thumbnail("00", "0.86") + thumbnail("01", "0.58") +
                               thumbnail("02", "0.30") + thumbnail("03", "0.02") +
                               thumbnail("04", "-0.26") + thumbnail("05", "-0.54") + kPageEnd +
                               pageStart("01") + upButton("00") + kPageEnd;
  EXPECT_EQ(menuOf(6), expected);
  std::string events;
  writePageEvents(events, 6);
  EXPECT_EQ(events, pageEvents("00") + pageEvents("01"));
}

TEST(MenuPages, SeventhEntryStartsTheSecondPageAtTheTopRow) {
  const std::string expected = pageStart("00") + thumbnail("00", "0.86") + thumbnail("01", "0.58") +
                               thumbnail("02", "0.30") + thumbnail("03", "0.02") +
                               thumbnail("04", "-0.26") + thumbnail("05", "-0.54") +
                               downButton("01") + kPageEnd + pageStart("01") +
                               thumbnail("06", "0.86") + upButton("00") + kPageEnd;
  EXPECT_EQ(menuOf(7), expected);
}

// Counts of pages, thumbnails per page and the buttons of each page.
TEST(MenuPages, PagesAndButtonsFollowTheEntryCount) {
  struct Page {
    int thumbnails;
    std::string up, down;  // targets, empty for no button
  };
  struct Case {
    int n;
    std::vector<Page> pages;
  };
  std::vector<Page> ninetyNine{{6, "", "01"}};
  for (int p = 1; p <= 15; ++p) {
    ninetyNine.push_back({6, (p - 1 < 10 ? "0" : "") + std::to_string(p - 1),
                          (p + 1 < 10 ? "0" : "") + std::to_string(p + 1)});
  }
  ninetyNine.push_back({3, "15", ""});
  for (const Case& c :
       {Case{12, {{6, "", "01"}, {6, "00", ""}, {0, "01", ""}}},
        Case{13, {{6, "", "01"}, {6, "00", "02"}, {1, "01", ""}}}, Case{99, ninetyNine}}) {
    EXPECT_EQ(menuPageCount(c.n), static_cast<int>(c.pages.size())) << c.n;
    std::string expected;
    std::string events;
    int entry = 0;
    const char* rows[] = {"0.86", "0.58", "0.30", "0.02", "-0.26", "-0.54"};
    for (std::size_t p = 0; p < c.pages.size(); ++p) {
      const std::string nn = (p < 10 ? "0" : "") + std::to_string(p);
      expected += pageStart(nn);
      for (int t = 0; t < c.pages[p].thumbnails; ++t, ++entry) {
        expected += thumbnail((entry < 10 ? "0" : "") + std::to_string(entry), rows[t]);
      }
      if (!c.pages[p].up.empty()) expected += upButton(c.pages[p].up);
      if (!c.pages[p].down.empty()) expected += downButton(c.pages[p].down);
      expected += kPageEnd;
      events += pageEvents(nn);
    }
    EXPECT_EQ(entry, c.n);
    EXPECT_EQ(menuOf(c.n), expected) << c.n;
    std::string written;
    writePageEvents(written, c.n);
    EXPECT_EQ(written, events) << c.n;
  }
}

}  // namespace
}  // namespace vesk
