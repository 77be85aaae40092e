#include "format/menu_pages.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "expected_document.h"

namespace vesk {
namespace {

using namespace vesk::test::expected;

std::string menuOf(int n) {
  std::string text;
  writeMenuPages(text, n);
  return text;
}

std::string eventsOf(int n) {
  std::string text;
  writePageEvents(text, n);
  return text;
}

// The draw group of page `page` in a written menu: from its start line up to the next
// page's; empty when there is no such page.
std::string pageOf(const std::string& menu, int page) {
  const std::size_t start = menu.find(pageStart(page));
  if (start == std::string::npos) return {};
  const std::size_t next = menu.find("<drawGroup", start + 1);
  return menu.substr(start, next == std::string::npos ? next : next - start);
}

// The page table: pages, thumbnails per page and buttons for each entry count. Every
// page is typed out, except for 99 entries: the first, a middle one and the last two.
TEST(MenuPages, PagesAndButtonsFollowTheEntryCount) {
  struct Case {
    int entries;
    int pages;
    std::vector<std::pair<int, std::string>> typed;  // page number and its draw group
  };
  const Case cases[] = {
      {1, 1, {{0, pageStart(0) + thumbnail(0, "0.86") + kPageEnd}}},
      // A multiple of six leaves an empty last page that only the up button leads off.
      {6,
       2,
       {{0, pageStart(0) + fullPage(0) + kPageEnd}, {1, pageStart(1) + upButton(0) + kPageEnd}}},
      // The seventh entry starts the second page at the top row.
      {7,
       2,
       {{0, pageStart(0) + fullPage(0) + downButton(1) + kPageEnd},
        {1, pageStart(1) + thumbnail(6, "0.86") + upButton(0) + kPageEnd}}},
      {12,
       3,
       {{0, pageStart(0) + fullPage(0) + downButton(1) + kPageEnd},
        {1, pageStart(1) + fullPage(6) + upButton(0) + kPageEnd},
        {2, pageStart(2) + upButton(1) + kPageEnd}}},
      {13,
       3,
       {{0, pageStart(0) + fullPage(0) + downButton(1) + kPageEnd},
        {1, pageStart(1) + fullPage(6) + upButton(0) + downButton(2) + kPageEnd},
        {2, pageStart(2) + thumbnail(12, "0.86") + upButton(1) + kPageEnd}}},
      {99,
       17,
       {{0, pageStart(0) + fullPage(0) + downButton(1) + kPageEnd},
        {8, pageStart(8) + fullPage(48) + upButton(7) + downButton(9) + kPageEnd},
        {15, pageStart(15) + fullPage(90) + upButton(14) + downButton(16) + kPageEnd},
        {16, pageStart(16) + thumbnail(96, "0.86") + thumbnail(97, "0.58") + thumbnail(98, "0.30") +
                 upButton(15) + kPageEnd}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.entries);
    EXPECT_EQ(menuPageCount(c.entries), c.pages);
    const std::string menu = menuOf(c.entries);
    std::string typedPages;
    for (const auto& [page, text] : c.typed) {
      EXPECT_EQ(pageOf(menu, page), text) << "page " << page;
      typedPages += text;
    }
    // Nothing but the pages: no page beyond the last, nothing between them.
    EXPECT_EQ(pageOf(menu, c.pages), "");
    if (c.typed.size() == static_cast<std::size_t>(c.pages)) {
      EXPECT_EQ(menu, typedPages);
    }

    std::string events;
    for (int page = 0; page < c.pages; ++page) events += pageEvents(page);
    EXPECT_EQ(eventsOf(c.entries), events);
  }
}

// The page events and an empty page, as their lines read.
TEST(MenuPages, PageEventsAndAnEmptyPageReadLineByLine) {
  EXPECT_EQ(eventsOf(1),
            "<event name=\"up00\">\n"
            "<targetSpace index=\"0\"/><topGroup name=\"menu00\" /></event>\n"
            "\n"
            "<event name=\"down00\">\n"
            "<targetSpace index=\"0\"/><topGroup name=\"menu00\" /></event>\n");
  EXPECT_EQ(pageOf(menuOf(6), 1),
            "<drawGroup name=\"menu01\" type=\"unit\" layer=\"back\"><drawUnit>\n"
            "<image shape=\"flat\" size=\"0.4\" image_data=\"up\" note=\"up\" "
            "coordinate=\"-1.664,-0.76,0.1\" ambient=\"255,255,255\" diffuse=\"0,0,0\" "
            "specular=\"0,0,0\" opacity=\"1.0\" event=\"up00\" />\n"
            "\n"
            "</drawUnit></drawGroup>\n"
            "\n");
}

}  // namespace
}  // namespace vesk
