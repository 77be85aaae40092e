#pragma once

#include <string>
#include <vector>

// Lines of the combined document, typed from its layout, to compare what the code
// writes against.
namespace vesk::test::expected {

std::string nn(int number);

std::string thumbnail(int entry, const std::string& rowY);
std::string upButton(int targetPage);
std::string downButton(int targetPage);
std::string pageStart(int page);
extern const std::string kPageEnd;
std::string pageEvents(int page);

std::string head();
std::string startEvents(const std::string& topGroup);
std::string entryEvent(int entry, const std::string& topGroup);
std::string descriptionGroup(int entry);
std::string end();

// One image data element: prefix "me" or "ex".
std::string imageData(const char* prefix, int entry, int width, int height, const std::string& type,
                      const std::string& fileName);

// What a page holds: its thumbnails and its buttons' target pages (-1 for none).
struct Page {
  int thumbnails;
  int up;
  int down;
};

// The pages of the menu for 1, 6, 7, 12, 13 or 99 entries, as the page table lists
// them.
std::vector<Page> pageTable(int entries);

// The menu's draw groups and the page events for the given pages.
std::string menu(const std::vector<Page>& pages);
std::string events(const std::vector<Page>& pages);

}  // namespace vesk::test::expected
