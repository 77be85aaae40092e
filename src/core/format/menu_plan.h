#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "format/package_report.h"

namespace vesk {

// The plan of every menu page of a combined document (UTF-8 text, LF line ends), as
// the document itself lays it out: each draw group menuNN in document order, its
// thumbnails (images whose event is goto_obNN) and its buttons (the images "up" and
// "down"), with the coordinates and sizes the document gives them and the aspect
// ratio of the image data each one shows. A button's target is the menu page its
// event shows; a page is reached when the start event shows it or a button of a
// reached page leads to it. `sceneNames` names entry i's scene; an entry beyond it
// gets no name. Never fails: what the text lacks stays unset.
std::vector<PlanPage> planMenuPages(std::string_view text,
                                    const std::vector<std::string>& sceneNames);

}  // namespace vesk
