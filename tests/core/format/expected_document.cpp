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

std::string head() {
  return "<?xml version=\"1.0\" encoding=\"Shift_JIS\" standalone=\"yes\"?>\n"
         "<NuvrelFile version=\"1.35\">\n"
         "\n"
         "<body>\n"
         "<firstSetting spaceNum=\"2\" firstEvent=\"first\" />\n"
         "\n";
}

std::string startEvents(const std::string& topGroup) {
  return "<data name=\"up\"   type=\"image\" format=\"RGB\" size=\"238,95\" ><file type=\"jpg\" "
         "path=\"up.jpg\" /></data>\n"
         "<data name=\"down\" type=\"image\" format=\"RGB\" size=\"238,95\" ><file type=\"jpg\" "
         "path=\"down.jpg\" /></data>\n"
         "<event name=\"first\" >\n"
         "<fog mode=\"on\" /><shadow mode=\"1\" /><projection mode=\"perspective\" /><selectMode "
         "type=\"none\" />\n"
         "<appearance backgroundColor=\"0,0,0\" fullScreen=\"on\" />\n"
         "<captionText font=\"14,ＭＳ ゴシック\" color=\"255,255,255\" /><friendText "
         "font=\"14,ＭＳ ゴシック\" color=\"255,255,255\" />\n"
         "<idleEvent time=\"1\" name=\"waitAnimation\" />\n"
         "\n"
         "<targetSpace index=\"0\" /><topGroup name=\"menu00\" />\n"
         "<homeHandle scale=\"1.0\" trans=\" 0.0, 0.0\" clip=\"off\" /><reset scale=\"on\" "
         "trans=\"on\" />\n"
         "<handleAbility trans=\"on\" scale=\"off\" rot=\"off\" clip=\"off\" delete=\"off\" />\n"
         "\n"
         "<targetSpace index = \"1\" /><topGroup name=\"" +
         topGroup +
         "\" />\n"
         "<homeHandle scale=\"1.0\" trans=\" 0.90, 0.0\" /><reset scale=\"on\" trans=\"on\" />\n"
         "<handleAbility delete=\"off\" trans=\"on\" />\n"
         "\n"
         "<backgroundSpace index=\"0\" /><activeSpace index=\"1\" /></event>\n"
         "\n"
         "<event name=\"waitAnimation\" >\n"
         "<targetSpace index=\"1\" />\n"
         "<handleAnimation rot=\"0,1,0,1\" /><activeSpace index=\"1\" /></event>\n"
         "\n";
}

std::string entryEvent(int entry, const std::string& topGroup) {
  return "<event name=\"goto_ob" + nn(entry) +
         "\" >\n<targetSpace index=\"1\" /><topGroup name=\"" + topGroup +
         "\" />\n<reset scale=\"on\" trans=\"on\" rotCenter=\"on\" rot=\"on\" clip=\"on\" "
         "clipRot=\"on\" clipTrans=\"on\" target=\"on\" /><activeSpace index=\"1\" /></event>\n";
}

std::string descriptionGroup(int entry) {
  return "<drawGroup name=\"ex" + nn(entry) +
         "\" layer=\"back\" ><drawUnit>\n<image shape=\"flat\" size=\"2.0\" image_data=\"ex" +
         nn(entry) +
         "\" coordinate=\"-0.764,0.0,0.0\" ambient=\"255,255,255\" diffuse=\"0,0,0\" "
         "specular=\"0,0,0\" opacity=\"1.0\" /></drawUnit></drawGroup>\n\n";
}

std::string end() {
  return "</body>\n</NuvrelFile>\n";
}

std::string imageData(const char* prefix, int entry, int width, int height, const std::string& type,
                      const std::string& fileName) {
  return "<data name=\"" + std::string(prefix) + nn(entry) +
         "\" type=\"image\" format=\"RGB\" size=\"" + std::to_string(width) + ", " +
         std::to_string(height) + "\" ><file type=\"" + type + "\" path=\"" + nn(entry) + "\\" +
         fileName + "\" /></data>\n";
}

std::vector<Page> pageTable(int entries) {
  switch (entries) {
    case 1:
      return {{1, -1, -1}};
    case 6:
      return {{6, -1, -1}, {0, 0, -1}};
    case 7:
      return {{6, -1, 1}, {1, 0, -1}};
    case 12:
      return {{6, -1, 1}, {6, 0, -1}, {0, 1, -1}};
    case 13:
      return {{6, -1, 1}, {6, 0, 2}, {1, 1, -1}};
    case 99: {
      std::vector<Page> pages{{6, -1, 1}};
      for (int p = 1; p <= 15; ++p) pages.push_back({6, p - 1, p + 1});
      pages.push_back({3, 15, -1});
      return pages;
    }
  }
  return {};
}

std::string menu(const std::vector<Page>& pages) {
  static const char* rows[] = {"0.86", "0.58", "0.30", "0.02", "-0.26", "-0.54"};
  std::string text;
  int entry = 0;
  for (std::size_t p = 0; p < pages.size(); ++p) {
    text += pageStart(static_cast<int>(p));
    for (int t = 0; t < pages[p].thumbnails; ++t) text += thumbnail(entry++, rows[t]);
    if (pages[p].up >= 0) text += upButton(pages[p].up);
    if (pages[p].down >= 0) text += downButton(pages[p].down);
    text += kPageEnd;
  }
  return text;
}

std::string events(const std::vector<Page>& pages) {
  std::string text;
  for (std::size_t p = 0; p < pages.size(); ++p) text += pageEvents(static_cast<int>(p));
  return text;
}

}  // namespace vesk::test::expected
