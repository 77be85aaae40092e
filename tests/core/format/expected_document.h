#pragma once

#include <string>

// Lines of the menu pages, typed from their layout, to compare what the code writes
// against.
namespace vesk::test::expected {

std::string nn(int number);

// A thumbnail line of entry `entry` at the row position `rowY`.
std::string thumbnail(int entry, const std::string& rowY);
// The six thumbnails of a full page, from `firstEntry` on, top row first.
std::string fullPage(int firstEntry);
std::string upButton(int targetPage);
std::string downButton(int targetPage);
std::string pageStart(int page);
extern const std::string kPageEnd;
std::string pageEvents(int page);

}  // namespace vesk::test::expected
