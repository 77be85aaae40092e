#pragma once

#include <string>

namespace vesk {

// Thumbnails on one menu page.
inline constexpr int kEntriesPerPage = 6;

// Number of menu pages for `entryCount` entries: one more than the full pages, so a
// multiple of six entries ends with an empty page.
int menuPageCount(int entryCount);

// Appends the events upNN and downNN of every menu page, each showing page NN.
void writePageEvents(std::string& text, int entryCount);

// Appends the draw group menuNN of every page: its thumbnails, an up button on every
// page but the first and a down button where the next page holds an entry.
void writeMenuPages(std::string& text, int entryCount);

}  // namespace vesk
