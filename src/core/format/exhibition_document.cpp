#include "format/exhibition_document.h"

#include <cassert>

#include "base/path_terms.h"
#include "format/menu_pages.h"
#include "format/scene_merge.h"
#include "format/scene_scan.h"
#include "format/two_digits.h"
#include "image/image_probe.h"

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
                     const std::string& picture, DocumentProblems& problems) {
  PictureSize size;
  if (!hasImageExtension(picture)) {
    // The probe measures nothing for other extensions: say so instead of "0, 0" silently.
    problems.unsupportedPictures.push_back(picture);
  } else if (const Result<PictureSize> probed = probeImageSize(picture)) {
    size = *probed;
  } else {
    problems.unreadablePictures.push_back(picture);
  }
  const int width = size.width;
  const int height = size.height;
  std::string type = extensionOf(picture);
  if (!type.empty()) type.erase(0, 1);
  text += "<data name=\"" + std::string(prefix) + nn + "\" type=\"image\" format=\"RGB\" size=\"" +
          std::to_string(width) + ", " + std::to_string(height) + "\" ><file type=\"" + type +
          "\" path=\"" + nn + "\\" + fileNameOf(picture) + "\" /></data>\n";
}

}  // namespace

std::string assembleExhibitionDocument(const std::vector<ExhibitionEntry>& packagedEntries,
                                       std::vector<std::string>& topGroupNames,
                                       DocumentProblems& problems) {
  std::vector<std::vector<std::string>> sceneLines;
  for (const auto& entry : packagedEntries) sceneLines.push_back(readSceneLines(entry.scenePath));
  return assembleExhibitionDocument(packagedEntries, sceneLines, topGroupNames, problems);
}

std::string assembleExhibitionDocument(const std::vector<ExhibitionEntry>& packagedEntries,
                                       const std::vector<std::vector<std::string>>& sceneLines,
                                       std::vector<std::string>& topGroupNames,
                                       DocumentProblems& problems) {
  const int count = static_cast<int>(packagedEntries.size());
  assert(count >= 1);

  std::string text = kHead;

  // Merged scenes, remembering each entry's first "Sur" group for its events.
  topGroupNames.clear();
  std::vector<std::string> entryTopGroup;
  for (int j = 0; j < count; ++j) {
    const std::size_t before = topGroupNames.size();
    mergeSceneLines(text, j, sceneLines[j], topGroupNames);
    entryTopGroup.push_back(topGroupNames.size() > before ? topGroupNames[before] : "");
    text += '\n';
  }
  text += '\n';

  for (int j = 0; j < count; ++j) {
    appendImageData(text, "me", twoDigits(j), packagedEntries[j].thumbnailPath, problems);
  }
  text += '\n';
  for (int j = 0; j < count; ++j) {
    appendImageData(text, "ex", twoDigits(j), packagedEntries[j].descriptionPath, problems);
  }
  text += '\n';

  text += kStartEventsHead;
  text += entryTopGroup.front();
  text += kStartEventsTail;
  writePageEvents(text, count);
  text += '\n';

  for (int j = 0; j < count; ++j) {
    text += "<event name=\"goto_ob" + twoDigits(j) + "\" >\n";
    text += "<targetSpace index=\"1\" /><topGroup name=\"" + entryTopGroup[j] + "\" />\n";
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
  return text;
}

}  // namespace vesk
