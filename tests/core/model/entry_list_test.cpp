#include "model/entry_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vesk {
namespace {

ExhibitionEntry entry(const std::string& name) {
  return {name + ".nuv", name + "_t.jpg", name + "_d.jpg", {name + ".raw"}};
}

// A list holding the named entries, with the given current index and an unrelated
// working entry.
EntryList listOf(const std::string& names, int current) {
  EntryList list;
  for (char c : names) {
    list.workingEntry() = entry(std::string(1, c));
    list.appendWorkingEntry();
  }
  list.setCurrentIndex(current);
  list.workingEntry() = entry("W");
  return list;
}

std::string namesOf(const EntryList& list) {
  std::string names;
  for (const auto& e : list.entries()) names += e.scenePath.substr(0, e.scenePath.size() - 4);
  return names;
}

TEST(EntryList, StartsEmptyWithoutCurrentEntry) {
  EntryList list;
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(list.currentIndex(), -1);
  EXPECT_EQ(list.workingEntry(), ExhibitionEntry{});
}

TEST(EntryList, AddToEmptyListMakesTheFirstEntryCurrent) {
  EntryList list;
  list.workingEntry() = entry("A");
  EXPECT_TRUE(list.addWorkingEntry());
  EXPECT_EQ(namesOf(list), "A");
  EXPECT_EQ(list.currentIndex(), 0);
}

TEST(EntryList, AddWithAnyPathMissingChangesNothing) {
  for (int missing = 0; missing < 3; ++missing) {
    EntryList list = listOf("AB", 1);
    ExhibitionEntry incomplete = entry("D");
    std::string* fields[] = {&incomplete.scenePath, &incomplete.thumbnailPath,
                             &incomplete.descriptionPath};
    fields[missing]->clear();
    list.workingEntry() = incomplete;
    EXPECT_FALSE(list.addWorkingEntry()) << "missing field " << missing;
    EXPECT_EQ(namesOf(list), "AB");
    EXPECT_EQ(list.currentIndex(), 1);
  }
}

TEST(EntryList, AddInsertsBehindTheCurrentEntry) {
  struct Case {
    int current;
    std::string names;
    int newCurrent;
  };
  for (const Case& c :
       {Case{-1, "ABCD", 3}, Case{0, "ADBC", 1}, Case{1, "ABDC", 2}, Case{2, "ABCD", 3}}) {
    EntryList list = listOf("ABC", c.current);
    list.workingEntry() = entry("D");
    EXPECT_TRUE(list.addWorkingEntry());
    EXPECT_EQ(namesOf(list), c.names) << "current " << c.current;
    EXPECT_EQ(list.currentIndex(), c.newCurrent) << "current " << c.current;
  }
}

TEST(EntryList, TwoAddsInARowGiveTwoEqualEntriesAndTheSecondIsCurrent) {
  EntryList list = listOf("AB", 0);
  list.workingEntry() = entry("D");
  ASSERT_TRUE(list.addWorkingEntry());
  ASSERT_TRUE(list.addWorkingEntry());
  EXPECT_EQ(namesOf(list), "ADDB");
  EXPECT_EQ(list.currentIndex(), 2);
  EXPECT_EQ(list.workingEntry(), entry("D"));
}

TEST(EntryList, RemoveCurrentSelectsAndLoadsTheNeighbour) {
  struct Case {
    int current;
    std::string names;
    int newCurrent;
    std::string loaded;
  };
  for (const Case& c : {Case{0, "BC", 0, "B"}, Case{1, "AC", 1, "C"}, Case{2, "AB", 1, "B"}}) {
    EntryList list = listOf("ABC", c.current);
    EXPECT_TRUE(list.removeCurrent());
    EXPECT_EQ(namesOf(list), c.names) << "current " << c.current;
    EXPECT_EQ(list.currentIndex(), c.newCurrent) << "current " << c.current;
    EXPECT_EQ(list.workingEntry(), entry(c.loaded)) << "current " << c.current;
  }
}

TEST(EntryList, RemovingTheOnlyEntryEmptiesTheWorkingPathsButKeepsItsDataFiles) {
  EntryList list = listOf("A", 0);
  EXPECT_TRUE(list.removeCurrent());
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(list.currentIndex(), -1);
  EXPECT_EQ(list.workingEntry(), (ExhibitionEntry{"", "", "", {"W.raw"}}));
}

TEST(EntryList, EditsDoNothingWithoutCurrentEntry) {
  EntryList list = listOf("ABC", -1);
  EXPECT_FALSE(list.removeCurrent());
  EXPECT_FALSE(list.moveUp(2));
  EXPECT_FALSE(list.moveDown(0));
  EXPECT_FALSE(list.selectEntry(1, true));
  EXPECT_EQ(namesOf(list), "ABC");
  EXPECT_EQ(list.currentIndex(), -1);
  EXPECT_EQ(list.workingEntry(), entry("W"));
}

TEST(EntryList, MovesExchangeNeighboursAndLoadTheMovedEntry) {
  struct Case {
    bool up;
    int selected;
    bool moved;
    std::string names;
    int newCurrent;
    std::string working;
  };
  for (const Case& c : {
           Case{true, 2, true, "ACB", 1, "C"},
           Case{true, 1, true, "BAC", 0, "B"},
           Case{true, 0, false, "ABC", 0, "W"},
           Case{true, -1, false, "ABC", -1, "W"},
           Case{false, 0, true, "BAC", 1, "A"},
           Case{false, 1, true, "ACB", 2, "B"},
           Case{false, 2, false, "ABC", 2, "W"},
           Case{false, -1, false, "ABC", -1, "W"},
       }) {
    EntryList list = listOf("ABC", 1);
    const bool moved = c.up ? list.moveUp(c.selected) : list.moveDown(c.selected);
    const auto label = (c.up ? "up " : "down ") + std::to_string(c.selected);
    EXPECT_EQ(moved, c.moved) << label;
    EXPECT_EQ(namesOf(list), c.names) << label;
    EXPECT_EQ(list.currentIndex(), c.newCurrent) << label;
    EXPECT_EQ(list.workingEntry(), entry(c.working)) << label;
  }
}

TEST(EntryList, MoveCarriesTheWholeEntryWithItsDataFiles) {
  EntryList list = listOf("AB", 0);
  list.dataFilesOf(1) = {"x", "y"};
  ASSERT_TRUE(list.moveUp(1));
  EXPECT_EQ(list.at(0).dataFiles, (std::vector<std::string>{"x", "y"}));
  EXPECT_EQ(list.at(1).dataFiles, (std::vector<std::string>{"A.raw"}));
}

TEST(EntryList, SelectEntryLoadsOnlyWhenAsked) {
  EntryList list = listOf("ABC", 0);
  EXPECT_FALSE(list.selectEntry(2, false));
  EXPECT_EQ(list.currentIndex(), 2);
  EXPECT_EQ(list.workingEntry(), entry("W"));
  EXPECT_TRUE(list.selectEntry(1, true));
  EXPECT_EQ(list.currentIndex(), 1);
  EXPECT_EQ(list.workingEntry(), entry("B"));
  EXPECT_FALSE(list.selectEntry(-1, true));
  EXPECT_EQ(list.currentIndex(), -1);
}

TEST(EntryList, HoldsMoreThanNinetyNineEntries) {
  EntryList list;
  list.workingEntry() = entry("A");
  for (int i = 0; i < 100; ++i) ASSERT_TRUE(list.addWorkingEntry());
  EXPECT_EQ(list.size(), 100u);
  EXPECT_EQ(list.currentIndex(), 99);
}

TEST(EntryList, RemovingAnEntryRenumbersThoseBehindIt) {
  EntryList list = listOf("ABCD", 1);
  ASSERT_TRUE(list.removeCurrent());
  EXPECT_EQ(namesOf(list), "ACD");
  EXPECT_EQ(list.at(1).scenePath, "C.nuv");
  EXPECT_EQ(list.at(2).scenePath, "D.nuv");
}

TEST(EntryList, ClearAndAppendKeepCurrentIndexAndWorkingEntry) {
  EntryList list = listOf("AB", 1);
  list.clearEntries();
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(list.currentIndex(), 1);
  list.appendWorkingEntry();
  EXPECT_EQ(namesOf(list), "W");
  EXPECT_EQ(list.currentIndex(), 1);
}

}  // namespace
}  // namespace vesk
