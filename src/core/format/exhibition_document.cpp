#include "format/exhibition_document.h"

#include <cassert>

#include "base/path_terms.h"
#include "format/menu_pages.h"
#include "format/scene_merge.h"
#include "format/two_digits.h"

namespace vesk {

namespace {

constexpr const char* kHead =
    "<?xml version=\"1.0\" encoding=\"Shift_JIS\" standalone=\"yes\"?>\n"
    "<NuvrelFile version=\"1.35\">\n"
    "\n"
    "<body>\n"
    "<firstSetting spaceNum=\"2\" firstEvent=\"first\" />\n"
    "\n";

// Button images and the first event, up to its second target space's top group.
constexpr const char* kStartEventsHead =
    "<data name=\"up\"   type=\"image\" format=\"RGB\" size=\"238,95\" ><file type=\"jpg\" "
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
    "<targetSpace index = \"1\" /><topGroup name=\"";

constexpr const char* kStartEventsTail =
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

constexpr const char* kEnd =
    "</body>\n"
    "</NuvrelFile>\n";

// One image data element: `prefix` is "me" for a thumbnail, "ex" for a description.
void appendImageData(std::string& text, const char* prefix, const std::string& nn,
                     const DocumentPicture& picture) {
  const std::string& path = picture.path;
  const int width = picture.width;
  const int height = picture.height;
  std::string type = extensionOf(path);
  if (!type.empty()) type.erase(0, 1);
  text += "<data name=\"" + std::string(prefix) + nn + "\" type=\"image\" format=\"RGB\" size=\"" +
          std::to_string(width) + ", " + std::to_string(height) + "\" ><file type=\"" + type +
          "\" path=\"" + nn + "\\" + fileNameOf(path) + "\" /></data>\n";
}

}  // namespace

void appendDocumentHead(std::string& text) {
  text += kHead;
}

void appendDocumentTail(std::string& text, const std::vector<DocumentEntryFacts>& entries) {
  const int count = static_cast<int>(entries.size());
  assert(count >= 1);
  text += '\n';

  for (int j = 0; j < count; ++j) {
    appendImageData(text, "me", twoDigits(j), entries[j].thumbnail);
  }
  text += '\n';
  for (int j = 0; j < count; ++j) {
    appendImageData(text, "ex", twoDigits(j), entries[j].description);
  }
  text += '\n';

  text += kStartEventsHead;
  text += entries.front().topGroup;
  text += kStartEventsTail;
  writePageEvents(text, count);
  text += '\n';

  for (int j = 0; j < count; ++j) {
    text += "<event name=\"goto_ob" + twoDigits(j) + "\" >\n";
    text += "<targetSpace index=\"1\" /><topGroup name=\"" + entries[j].topGroup + "\" />\n";
    text +=
        "<reset scale=\"on\" trans=\"on\" rotCenter=\"on\" rot=\"on\" clip=\"on\" clipRot=\"on\" "
        "clipTrans=\"on\" target=\"on\" /><activeSpace index=\"1\" /></event>\n";
  }
  text += '\n';

  writeMenuPages(text, count);
  text += '\n';

  for (int j = 0; j < count; ++j) {
    const std::string nn = twoDigits(j);
    text += "<drawGroup name=\"ex" + nn + "\" layer=\"back\" ><drawUnit>\n";
    text += "<image shape=\"flat\" size=\"2.0\" image_data=\"ex" + nn +
            "\" coordinate=\"-0.764,0.0,0.0\" ambient=\"255,255,255\" diffuse=\"0,0,0\" "
            "specular=\"0,0,0\" opacity=\"1.0\" /></drawUnit></drawGroup>\n";
    text += '\n';
  }
  text += '\n';

  text += kEnd;
}

std::string assembleExhibitionDocument(const std::vector<DocumentEntry>& entries,
                                       std::vector<std::string>& topGroupNames) {
  assert(!entries.empty());
  std::string text;
  appendDocumentHead(text);

  // Merged scenes, remembering each entry's first "Sur" group for its events.
  topGroupNames.clear();
  std::vector<DocumentEntryFacts> facts;
  for (std::size_t j = 0; j < entries.size(); ++j) {
    const std::size_t before = topGroupNames.size();
    mergeSceneLines(text, static_cast<int>(j), entries[j].sceneLines, topGroupNames);
    facts.push_back({entries[j].thumbnail, entries[j].description,
                     topGroupNames.size() > before ? topGroupNames[before] : ""});
    text += '\n';
  }
  appendDocumentTail(text, facts);
  return text;
}

}  // namespace vesk
