#include "format/menu_pages.h"

#include <gtest/gtest.h>

#include <string>
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

TEST(MenuPages, OneEntryGivesOnePageWithOneThumbnailAndNoButtons) {
  EXPECT_EQ(menuOf(1), pageStart(0) + thumbnail(0, "0.86") + kPageEnd);
  EXPECT_EQ(eventsOf(1), pageEvents(0));
}

TEST(MenuPages, SixEntriesGiveAnEmptySecondPageWithOnlyAnUpButton) {
  EXPECT_EQ(menuOf(6), pageStart(0) + thumbnail(0, "0.86") + thumbnail(1, "0.58") +
                           thumbnail(2, "0.30") + thumbnail(3, "0.02") + thumbnail(4, "-0.26") +
                           thumbnail(5, "-0.54") + kPageEnd + pageStart(1) + upButton(0) +
                           kPageEnd);
  EXPECT_EQ(eventsOf(6), pageEvents(0) + pageEvents(1));
}

TEST(MenuPages, SeventhEntryStartsTheSecondPageAtTheTopRow) {
  EXPECT_EQ(menuOf(7), pageStart(0) + thumbnail(0, "0.86") + thumbnail(1, "0.58") +
                           thumbnail(2, "0.30") + thumbnail(3, "0.02") + thumbnail(4, "-0.26") +
                           thumbnail(5, "-0.54") + downButton(1) + kPageEnd + pageStart(1) +
                           thumbnail(6, "0.86") + upButton(0) + kPageEnd);
}

// Pages, thumbnails per page and buttons, as the page table lists them.
TEST(MenuPages, PagesAndButtonsFollowTheEntryCount) {
  for (int n : {1, 6, 7, 12, 13, 99}) {
    const std::vector<Page> pages = pageTable(n);
    EXPECT_EQ(menuPageCount(n), static_cast<int>(pages.size())) << n;
    EXPECT_EQ(menuOf(n), menu(pages)) << n;
    EXPECT_EQ(eventsOf(n), events(pages)) << n;
  }
}

}  // namespace
}  // namespace vesk
