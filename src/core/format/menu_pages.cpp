#include "format/menu_pages.h"

#include "format/two_digits.h"

namespace vesk {

namespace {

// Vertical position of each row of thumbnails, from the top of the page.
constexpr const char* kMenuRowY[kEntriesPerPage] = {"0.86", "0.58",  "0.30",
                                                    "0.02", "-0.26", "-0.54"};

}  // namespace

int menuPageCount(int entryCount) {
  return entryCount / kEntriesPerPage + 1;
}

void writePageEvents(std::string& text, int entryCount) {
  for (int page = 0; page < menuPageCount(entryCount); ++page) {
    const std::string nn = twoDigits(page);
    const std::string show =
        "<targetSpace index=\"0\"/><topGroup name=\"menu" + nn + "\" /></event>\n";
    text += "<event name=\"up" + nn + "\">\n" + show + "\n";
    text += "<event name=\"down" + nn + "\">\n" + show;
  }
}

void writeMenuPages(std::string& text, int entryCount) {
  for (int page = 0; page < menuPageCount(entryCount); ++page) {
    text +=
        "<drawGroup name=\"menu" + twoDigits(page) + "\" type=\"unit\" layer=\"back\"><drawUnit>\n";
    const int first = page * kEntriesPerPage;
    for (int i = first; i < entryCount && i < first + kEntriesPerPage; ++i) {
      const std::string nn = twoDigits(i);
      text += "<image shape=\"flat\" size=\"0.4\" image_data=\"me" + nn +
              "\" note=\"img\" coordinate=\"-1.664, " + kMenuRowY[i % kEntriesPerPage] +
              ", 0.0\" ambient=\"255,255,255\" diffuse=\"0,0,0\" specular=\"0,0,0\" "
              "opacity=\"1.0\" event=\"goto_ob" +
              nn + "\" />\n";
    }
    if (page != 0) {
      text +=
          "<image shape=\"flat\" size=\"0.4\" image_data=\"up\" note=\"up\" "
          "coordinate=\"-1.664,-0.76,0.1\" ambient=\"255,255,255\" diffuse=\"0,0,0\" "
          "specular=\"0,0,0\" opacity=\"1.0\" event=\"up" +
          twoDigits(page - 1) + "\" />\n";
    }
    if ((page + 1) * kEntriesPerPage < entryCount) {
      text +=
          "<image shape=\"flat\" size=\"0.4\" image_data=\"down\" note=\"down\" "
          "coordinate=\"-1.664,-0.92,0.1\" ambient=\"255,255,255\" diffuse=\"0,0,0\" "
          "specular=\"0,0,0\" opacity=\"1.0\" event=\"down" +
          twoDigits(page + 1) + "\" />\n";
    }
    text += "\n</drawUnit></drawGroup>\n\n";
  }
}

}  // namespace vesk
