#pragma once

#include <cstddef>
#include <utility>
#include <vector>

#include "model/exhibition_entry.h"

namespace vesk {

// The ordered entries of an exhibition with the current entry (the one selected in
// the view, -1 for none) and the working entry (the one being composed). Every
// rule about which entry becomes current after an edit lives here. `s` below is
// the view's selected index or -1.
class EntryList {
 public:
  // Inserts a copy of the working entry behind the current one (or at the end when
  // there is no current entry) and makes it current. False, changing nothing, when
  // one of its three paths is empty.
  bool addWorkingEntry();

  // Removes the current entry; the entry that followed it (or the new last one)
  // becomes current and is loaded. With none left, the working paths are emptied.
  // False, changing nothing, when there is no current entry.
  bool removeCurrent();

  // Exchange the selected entry with the one above / below it, keep it current and
  // load it. False when there is no current entry (nothing changes) or nothing can
  // move (the current index still becomes s).
  bool moveUp(int s);
  bool moveDown(int s);

  // Makes s current and, when `load` is set and s is a valid selection, loads it.
  // Does nothing while there is no current entry. True when it loaded.
  bool selectEntry(int s, bool load);

  // Copies the current entry into the working entry. Requires a valid current index.
  void loadWorkingEntry();

  // Appends a copy of the working entry without any check; the current index stays.
  void appendWorkingEntry();

  // Removes all entries; the current index and the working entry stay.
  void clearEntries();

  int currentIndex() const { return currentIndex_; }
  void setCurrentIndex(int index) { currentIndex_ = index; }

  std::size_t size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }
  const ExhibitionEntry& at(std::size_t index) const { return entries_.at(index); }
  const std::vector<ExhibitionEntry>& entries() const { return entries_; }
  std::vector<std::string>& dataFilesOf(std::size_t index) { return entries_.at(index).dataFiles; }
  // Puts `entry` in the place of the entry at `index`; the current index and the
  // working entry stay.
  void setEntry(std::size_t index, ExhibitionEntry entry) { entries_.at(index) = std::move(entry); }

  const ExhibitionEntry& workingEntry() const { return working_; }
  ExhibitionEntry& workingEntry() { return working_; }

 private:
  std::vector<ExhibitionEntry> entries_;
  int currentIndex_ = -1;
  ExhibitionEntry working_;
};

}  // namespace vesk
