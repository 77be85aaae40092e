#include "format/menu_plan.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <map>
#include <optional>

#include "format/text_ops.h"

namespace vesk {

namespace {

// Vertical positions of the six thumbnail rows, from the top.
constexpr double kRowY[] = {0.86, 0.58, 0.30, 0.02, -0.26, -0.54};

// Every element from `open` through `close`, in order; an unclosed one ends the list.
std::vector<std::string_view> elements(std::string_view text, std::string_view open,
                                       std::string_view close) {
  std::vector<std::string_view> found;
  std::size_t pos = 0;
  while (const auto start = findFrom(text, open, pos)) {
    const auto end = findFrom(text, close, *start + open.size());
    if (!end) break;
    found.push_back(text.substr(*start, *end + close.size() - *start));
    pos = *end + close.size();
  }
  return found;
}

// The number after `prefix` in `name` ("menu07" -> 7); nullopt when there is none.
std::optional<int> numberAfter(std::string_view name, std::string_view prefix) {
  if (name.substr(0, prefix.size()) != prefix || name.size() == prefix.size()) return std::nullopt;
  // Digits only: a sign makes no page or entry number.
  if (name[prefix.size()] < '0' || name[prefix.size()] > '9') return std::nullopt;
  int number = 0;
  const char* begin = name.data() + prefix.size();
  const char* end = name.data() + name.size();
  const auto [stop, error] = std::from_chars(begin, end, number);
  if (error != std::errc() || stop != end) return std::nullopt;
  return number;
}

// The number at the start of `text` after blanks, 0 when there is none. Read as the
// document writes it, with a point, whatever the C library's number format says.
double toNumber(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double number = 0;
  const auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  return error == std::errc() ? number : 0;
}

// The x and y of a coordinate value "X, Y, Z" (blanks allowed).
PlanPlace placeOf(std::string_view image) {
  PlanPlace place;
  const std::string coordinate = attributeValue(image, "coordinate=\"");
  const std::size_t comma = coordinate.find(',');
  place.x = toNumber(std::string_view(coordinate).substr(0, comma));
  if (comma != std::string::npos)
    place.y = toNumber(std::string_view(coordinate).substr(comma + 1));
  place.size = toNumber(attributeValue(image, "size=\""));
  return place;
}

// Height / width of a size value "W, H"; 0 when it is not two positive numbers.
double aspectOf(std::string_view size) {
  const std::size_t comma = size.find(',');
  if (comma == std::string_view::npos) return 0;
  const double width = toNumber(size.substr(0, comma));
  const double height = toNumber(size.substr(comma + 1));
  return width > 0 && height > 0 ? height / width : 0;
}

int rowOf(double y) {
  for (int row = 0; row < 6; ++row) {
    if (std::abs(y - kRowY[row]) < 0.005) return row;
  }
  return -1;
}

}  // namespace

std::vector<PlanPage> planMenuPages(std::string_view text,
                                    const std::vector<std::string>& sceneNames) {
  std::map<std::string, double> aspects;  // image data name -> height / width
  for (const auto element : elements(text, "<data", "</data>")) {
    aspects[attributeValue(element, "name=\"")] = aspectOf(attributeValue(element, "size=\""));
  }
  // The menu page each event shows: the first menu group it names. An event runs to its
  // closing marker or to the next event, whichever comes first, so that one a scene
  // closes in its start tag never takes in the events after it; of events sharing a
  // name the last counts, as the document's own stand after every scene.
  std::map<std::string, int> shownPage;
  constexpr std::string_view kEventOpen = "<event name=\"";
  // The closing marker after an event, looked for again only once the events have
  // passed it: many events without one read the text once, not once per event.
  std::optional<std::size_t> close;
  bool closeLooked = false;
  for (auto start = findFrom(text, kEventOpen, 0); start;) {
    const std::size_t from = *start + kEventOpen.size();
    const auto next = findFrom(text, kEventOpen, from);
    if (!closeLooked || (close && *close < from)) {
      close = findFrom(text, "</event>", from);
      closeLooked = true;
    }
    const std::size_t end = std::min(next.value_or(text.size()), close.value_or(text.size()));
    const std::string_view event = text.substr(*start, end - *start);
    start = next;
    const std::string name = attributeValue(event, "name=\"");
    std::size_t pos = 0;
    while (const auto group = findFrom(event, "<topGroup name=\"", pos)) {
      pos = *group + 1;
      if (const auto page = numberAfter(attributeValue(event.substr(*group), "name=\""), "menu")) {
        shownPage[name] = *page;
        break;
      }
    }
  }
  const auto first = shownPage.find("first");
  const std::optional<int> startPage =
      first != shownPage.end() ? std::optional<int>(first->second) : std::nullopt;

  std::vector<PlanPage> pages;
  for (const auto group : elements(text, "<drawGroup name=\"menu", "</drawGroup>")) {
    // A group whose name gives no page number is no menu page.
    const std::optional<int> number = numberAfter(attributeValue(group, "name=\""), "menu");
    if (!number) continue;
    PlanPage page;
    page.number = *number;
    for (const auto image : elements(group, "<image ", "/>")) {
      const std::string data = attributeValue(image, "image_data=\"");
      const std::string event = attributeValue(image, "event=\"");
      const double aspect = aspects.count(data) != 0 ? aspects[data] : 0;
      if (const auto entry = numberAfter(event, "goto_ob")) {
        PlanThumbnail thumbnail;
        thumbnail.entry = *entry;
        thumbnail.place = placeOf(image);
        thumbnail.row = rowOf(thumbnail.place.y);
        thumbnail.aspect = aspect;
        if (*entry >= 0 && static_cast<std::size_t>(*entry) < sceneNames.size()) {
          thumbnail.sceneName = sceneNames[*entry];
        }
        page.thumbnails.push_back(thumbnail);
        continue;
      }
      PlanButton button;
      const bool down = data == "down" || attributeValue(image, "note=\"") == "down";
      button.kind = down ? ButtonKind::Down : ButtonKind::Up;
      button.place = placeOf(image);
      button.aspect = aspect;
      button.event = event;
      button.targetPage = shownPage.count(event) != 0 ? shownPage[event] : -1;
      page.buttons.push_back(button);
    }
    pages.push_back(page);
  }

  // Pages reached from the start page by buttons: each page is visited once, so that
  // the walk takes time in proportion to the pages and buttons whatever they link.
  std::multimap<int, std::size_t> pagesNumbered;
  for (std::size_t i = 0; i < pages.size(); ++i) pagesNumbered.emplace(pages[i].number, i);
  std::vector<std::size_t> toVisit;
  const auto reach = [&](int number) {
    const auto [from, to] = pagesNumbered.equal_range(number);
    for (auto it = from; it != to; ++it) {
      if (pages[it->second].reached) continue;
      pages[it->second].reached = true;
      toVisit.push_back(it->second);
    }
  };
  if (startPage) reach(*startPage);
  while (!toVisit.empty()) {
    const std::size_t visiting = toVisit.back();
    toVisit.pop_back();
    for (const auto& button : pages[visiting].buttons) reach(button.targetPage);
  }
  return pages;
}

}  // namespace vesk
