#include "expected_document.h"

namespace vesk::test::expected {

std::string nn(int number) {
  return (number < 10 ? "0" : "") + std::to_string(number);
}

std::string thumbnail(int entry, const std::string& rowY) {
  return "<image shape=\"flat\" size=\"0.4\" image_data=\"me" + nn(entry) +
         "\" note=\"img\" coordinate=\"-1.664, " + rowY +
         ", 0.0\" ambient=\"255,255,255\" diffuse=\"0,0,0\" specular=\"0,0,0\" opacity=\"1.0\" "
         "event=\"goto_ob" +
         nn(entry) + "\" />\n";
}

std::string fullPage(int firstEntry) {
  return thumbnail(firstEntry, "0.86") + thumbnail(firstEntry + 1, "0.58") +
         thumbnail(firstEntry + 2, "0.30") + thumbnail(firstEntry + 3, "0.02") +
         thumbnail(firstEntry + 4, "-0.26") + thumbnail(firstEntry + 5, "-0.54");
}

std::string upButton(int targetPage) {
  return "<image shape=\"flat\" size=\"0.4\" image_data=\"up\" note=\"up\" "
         "coordinate=\"-1.664,-0.76,0.1\" ambient=\"255,255,255\" diffuse=\"0,0,0\" "
         "specular=\"0,0,0\" opacity=\"1.0\" event=\"up" +
         nn(targetPage) + "\" />\n";
}

std::string downButton(int targetPage) {
  return "<image shape=\"flat\" size=\"0.4\" image_data=\"down\" note=\"down\" "
         "coordinate=\"-1.664,-0.92,0.1\" ambient=\"255,255,255\" diffuse=\"0,0,0\" "
         "specular=\"0,0,0\" opacity=\"1.0\" event=\"down" +
         nn(targetPage) + "\" />\n";
}

std::string pageStart(int page) {
  return "<drawGroup name=\"menu" + nn(page) + "\" type=\"unit\" layer=\"back\"><drawUnit>\n";
}

const std::string kPageEnd = "\n</drawUnit></drawGroup>\n\n";

std::string pageEvents(int page) {
  const std::string show =
      "<targetSpace index=\"0\"/><topGroup name=\"menu" + nn(page) + "\" /></event>\n";
  return "<event name=\"up" + nn(page) + "\">\n" + show + "\n<event name=\"down" + nn(page) +
         "\">\n" + show;
}

}  // namespace vesk::test::expected
