// Which paths of the list a create into a package's folder re-points at their copies.
#include "package/packaged_entries.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/path_terms.h"

namespace vesk {
namespace {

const std::string S(1, kPathSeparator);

std::string at(const std::string& relative) {
  return S + "pkg" + S + relative;
}

PlannedItem copy(PlannedRole role, const std::string& source, const std::string& target) {
  PlannedItem item;
  item.entryNumber = 0;
  item.role = role;
  item.source = source;
  item.target = target;
  return item;
}

TEST(PackagedEntries, OnlyFilesOfEntryFoldersAreReplacedByTheirCopies) {
  const struct {
    const char* name;
    ExhibitionEntry before;
    std::vector<PlannedItem> items;
    ExhibitionEntry after;
  } cases[] = {
      {"files of the earlier package's folder 01 now copied to 00",
       {at("01" + S + "s.nuv"), at("01" + S + "t.jpg"), "/src/d.png", {}},
       {copy(PlannedRole::Scene, at("01" + S + "s.nuv"), "00" + S + "s.nuv"),
        copy(PlannedRole::Thumbnail, at("01" + S + "t.jpg"), "00" + S + "t.jpg"),
        copy(PlannedRole::Description, "/src/d.png", "00" + S + "d.png")},
       {at("00" + S + "s.nuv"), at("00" + S + "t.jpg"), "/src/d.png", {}}},
      {"the operator's sources beside the package stay",
       {at("raw" + S + "s.nuv"), at("t.jpg"), at("01x" + S + "d.png"), {}},
       {copy(PlannedRole::Scene, at("raw" + S + "s.nuv"), "00" + S + "s.nuv"),
        copy(PlannedRole::Thumbnail, at("t.jpg"), "00" + S + "t.jpg"),
        copy(PlannedRole::Description, at("01x" + S + "d.png"), "00" + S + "d.png")},
       {at("raw" + S + "s.nuv"), at("t.jpg"), at("01x" + S + "d.png"), {}}},
      {"one picture in two roles, copied once",
       {at("03" + S + "s.nuv"), at("03" + S + "sq.png"), at("03" + S + "sq.png"), {}},
       {copy(PlannedRole::Scene, at("03" + S + "s.nuv"), "00" + S + "s.nuv"),
        copy(PlannedRole::Thumbnail, at("03" + S + "sq.png"), "00" + S + "sq.png")},
       {at("00" + S + "s.nuv"), at("00" + S + "sq.png"), at("00" + S + "sq.png"), {}}},
  };
  PackagePlan plan;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    plan.items = c.items;
    const auto after = entriesAfterCreate(plan, {c.before}, S + "pkg");
    ASSERT_EQ(after.size(), 1u);
    EXPECT_EQ(after[0], c.after);
  }
}

}  // namespace
}  // namespace vesk
