#include "format/menu_plan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "format/menu_pages.h"

namespace vesk {
namespace {

// The parts of a combined document the plan reads: the image data, the start event
// showing menu00, the page events and the menu pages of `n` entries.
std::string documentOf(int n) {
  std::string text;
  for (int i = 0; i < n; ++i) {
    text += "<data name=\"me" + std::string(i < 10 ? "0" : "") + std::to_string(i) +
            "\" type=\"image\" format=\"RGB\" size=\"320, 240\" ><file type=\"jpg\" "
            "path=\"x\" /></data>\n";
  }
  text +=
      "<data name=\"up\"   type=\"image\" format=\"RGB\" size=\"238,95\" ><file type=\"jpg\" "
      "path=\"up.jpg\" /></data>\n"
      "<data name=\"down\" type=\"image\" format=\"RGB\" size=\"238,95\" ><file "
      "type=\"jpg\" path=\"down.jpg\" /></data>\n"
      "<event name=\"first\" >\n<targetSpace index=\"0\" /><topGroup name=\"menu00\" />\n"
      "<targetSpace index = \"1\" /><topGroup name=\"00_Sur\" />\n</event>\n";
  writePageEvents(text, n);
  writeMenuPages(text, n);
  return text;
}

// One page as a line: "P: thumbnails T, up -> U, down -> D[, unreached]".
std::string summary(const PlanPage& page) {
  std::string line = std::to_string(page.number) + ": " + std::to_string(page.thumbnails.size());
  for (const auto& button : page.buttons) {
    line += button.kind == ButtonKind::Up ? ", up " : ", down ";
    line += std::to_string(button.targetPage);
  }
  if (!page.reached) line += ", unreached";
  return line;
}

TEST(MenuPlan, PagesThumbnailsAndButtonTargetsFollowTheEntryCount) {
  const struct {
    int n;
    std::vector<std::string> pages;
  } cases[] = {
      {1, {"0: 1"}},
      {6, {"0: 6", "1: 0, up 0, unreached"}},
      {7, {"0: 6, down 1", "1: 1, up 0"}},
      {12, {"0: 6, down 1", "1: 6, up 0", "2: 0, up 1, unreached"}},
      {13, {"0: 6, down 1", "1: 6, up 0, down 2", "2: 1, up 1"}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> pages;
    for (const auto& page : planMenuPages(documentOf(c.n), {})) pages.push_back(summary(page));
    EXPECT_EQ(pages, c.pages) << c.n << " entries";
  }
}

TEST(MenuPlan, NinetyNineEntriesGiveSeventeenPagesAllReached) {
  const auto pages = planMenuPages(documentOf(99), {});
  ASSERT_EQ(pages.size(), 17u);
  EXPECT_EQ(summary(pages[0]), "0: 6, down 1");
  for (int p = 1; p <= 15; ++p) {
    EXPECT_EQ(summary(pages[p]), std::to_string(p) + ": 6, up " + std::to_string(p - 1) +
                                     ", down " + std::to_string(p + 1));
  }
  EXPECT_EQ(summary(pages[16]), "16: 3, up 15");
  EXPECT_EQ(pages[16].thumbnails.back().entry, 98);
}

TEST(MenuPlan, ThumbnailsAndButtonsKeepTheDocumentsPlacesRowsAndAspects) {
  const auto pages = planMenuPages(documentOf(8), {"a.nuv", "b&<c>.nuv"});
  ASSERT_EQ(pages.size(), 2u);
  const PlanThumbnail& second = pages[0].thumbnails[1];
  EXPECT_EQ(second.entry, 1);
  EXPECT_EQ(second.row, 1);
  EXPECT_DOUBLE_EQ(second.place.x, -1.664);
  EXPECT_DOUBLE_EQ(second.place.y, 0.58);
  EXPECT_DOUBLE_EQ(second.place.size, 0.4);
  EXPECT_DOUBLE_EQ(second.aspect, 0.75);
  EXPECT_EQ(second.sceneName, "b&<c>.nuv");
  EXPECT_EQ(pages[1].thumbnails[0].row, 0);  // entry 06 starts page 01 at the top
  EXPECT_EQ(pages[1].thumbnails[0].sceneName, "");
  const PlanButton& down = pages[0].buttons.at(0);
  EXPECT_EQ(down.kind, ButtonKind::Down);
  EXPECT_DOUBLE_EQ(down.place.y, -0.92);
  EXPECT_DOUBLE_EQ(down.aspect, 95.0 / 238.0);
  EXPECT_EQ(down.event, "down01");
}

// Events a scene holds, in its draw groups before the document's own, never change
// where the menu starts: one closed in its start tag, and one of the start's name.
TEST(MenuPlan, TheStartIsTheDocumentsOwnWhateverTheScenesHold) {
  for (const std::string scene :
       {"<drawGroup name=\"00_Sur\" >x<event name=\"y\" /></drawGroup>\n",
        "<drawGroup name=\"00_Sur\" ><event name=\"first\"><topGroup name=\"menu01\" />"
        "</event></drawGroup>\n"}) {
    std::vector<std::string> pages;
    for (const auto& page : planMenuPages(scene + documentOf(7), {})) {
      pages.push_back(summary(page));
    }
    EXPECT_EQ(pages, (std::vector<std::string>{"0: 6, down 1", "1: 1, up 0"})) << scene;
  }
}

// A scene may hold any number of events closed in their start tags. Each runs to the
// next event; looking for a closing marker after each one anew read the rest of the
// text once per event (minutes for the 200,000 here), where now it is read once.
TEST(MenuPlan, ManyEventsWithoutClosingMarkersAreReadInOnePass) {
  std::string scene = "<drawGroup name=\"00_Sur\" >\n";
  for (int i = 0; i < 200000; ++i) scene += "<event name=\"y\" />\n";
  scene += "</drawGroup>\n";
  std::vector<std::string> pages;
  for (const auto& page : planMenuPages(scene + documentOf(7), {})) pages.push_back(summary(page));
  EXPECT_EQ(pages, (std::vector<std::string>{"0: 6, down 1", "1: 1, up 0"}));
}

// Names that give no number (a sign, a letter) make no page and no thumbnail: every
// number the plan gives is one a page or an entry can have.
TEST(MenuPlan, NamesWithoutANumberMakeNoPageOrThumbnail) {
  const std::string odd =
      "<drawGroup name=\"menuX\" ></drawGroup>\n"
      "<drawGroup name=\"menu-1\" ><image image_data=\"me00\" event=\"goto_ob-1\" /></drawGroup>\n";
  const auto pages = planMenuPages(documentOf(1) + odd, {});
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_EQ(summary(pages[0]), "0: 1");
}

TEST(MenuPlan, AButtonWhoseEventShowsNoPageHasNoTargetAndReachesNothing) {
  std::string text = documentOf(7);
  const std::string event = "<event name=\"down01\">";
  text.replace(text.find(event), event.size(), "<event name=\"gone01\">");
  const auto pages = planMenuPages(text, {});
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(summary(pages[0]), "0: 6, down -1");
  EXPECT_EQ(summary(pages[1]), "1: 1, up 0, unreached");
}

}  // namespace
}  // namespace vesk
