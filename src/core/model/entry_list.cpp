#include "model/entry_list.h"

#include <cassert>
#include <utility>

namespace vesk {

bool EntryList::addWorkingEntry() {
  if (working_.scenePath.empty() || working_.thumbnailPath.empty() ||
      working_.descriptionPath.empty()) {
    return false;
  }
  const int count = static_cast<int>(entries_.size());
  if (currentIndex_ == -1 || currentIndex_ == count) {
    entries_.push_back(working_);
    currentIndex_ = count;
  } else {
    entries_.insert(entries_.begin() + currentIndex_ + 1, working_);
    ++currentIndex_;
  }
  return true;
}

bool EntryList::removeCurrent() {
  const int count = static_cast<int>(entries_.size());
  const int current = currentIndex_;
  if (current == -1 || count == 0) return false;
  entries_.erase(entries_.begin() + current);
  if (count == 1) {
    currentIndex_ = -1;
  } else if (current == count - 1) {
    currentIndex_ = count - 2;
  }  // otherwise the following entry moved up into `current`
  if (currentIndex_ == -1) {
    working_.scenePath.clear();
    working_.thumbnailPath.clear();
    working_.descriptionPath.clear();
  } else {
    loadWorkingEntry();
  }
  return true;
}

bool EntryList::moveUp(int s) {
  if (currentIndex_ == -1) return false;
  currentIndex_ = s;
  if (s <= 0) return false;
  std::swap(entries_.at(s - 1), entries_.at(s));
  currentIndex_ = s - 1;
  loadWorkingEntry();
  return true;
}

bool EntryList::moveDown(int s) {
  if (currentIndex_ == -1) return false;
  currentIndex_ = s;
  if (s == -1 || s + 1 >= static_cast<int>(entries_.size())) return false;
  std::swap(entries_.at(s), entries_.at(s + 1));
  currentIndex_ = s + 1;
  loadWorkingEntry();
  return true;
}

bool EntryList::selectEntry(int s, bool load) {
  if (currentIndex_ == -1) return false;
  currentIndex_ = s;
  if (s == -1 || !load) return false;
  loadWorkingEntry();
  return true;
}

void EntryList::loadWorkingEntry() {
  assert(currentIndex_ >= 0 && currentIndex_ < static_cast<int>(entries_.size()));
  working_ = entries_.at(currentIndex_);
}

void EntryList::appendWorkingEntry() {
  entries_.push_back(working_);
}

void EntryList::clearEntries() {
  entries_.clear();
}

}  // namespace vesk
