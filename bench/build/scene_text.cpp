#include "scene_text.h"

#include <algorithm>
#include <cstdio>

namespace vesk::bench {
namespace {

// Captions in code page 932: the two that a package removes, and a kept one.
constexpr const char* kSurfaceCaption =
    "\x83\x54\x81\x5b\x83\x74\x83\x46\x83\x43\x83\x58\x83\x8c\x83\x93\x83\x5f\x83\x8a\x83\x93\x83"
    "\x4f";
constexpr const char* kVolumeCaption =
    "\x83\x7b\x83\x8a\x83\x85\x81\x5b\x83\x80\x83\x8c\x83\x93\x83\x5f\x83\x8a\x83\x93\x83\x4f";
constexpr const char* kPartCaption = "\x95\x94\x95\x69";  // 部品

template <typename... Args>
void appendf(std::string& text, const char* format, Args... args) {
  char line[512];
  const int n = std::snprintf(line, sizeof line, format, args...);
  text.append(line, static_cast<std::size_t>(std::min<int>(n, sizeof line - 1)));
}

std::string groupName(int g) {
  char name[16];
  std::snprintf(name, sizeof name, g == 0 ? "Surface" : "Part%03d", g);
  return name;
}

// The data element name for data path i: d000, d001, ...
std::string dataName(std::size_t i) {
  char name[32];
  std::snprintf(name, sizeof name, "d%03zu", i);
  return name;
}

}  // namespace

std::string sceneText(const SceneShape& shape) {
  std::string text =
      "<?xml version=\"1.0\" encoding=\"Shift_JIS\" standalone=\"yes\"?>\r\n"
      "<NuvrelFile version=\"1.35\">\r\n\r\n<body>\r\n"
      "<firstSetting spaceNum=\"1\" firstEvent=\"start\" />\r\n\r\n";
  for (std::size_t i = 0; i < shape.dataPaths.size(); ++i) {
    const std::string& path = shape.dataPaths[i];
    const bool folder = !path.empty() && path.back() == '\\';
    appendf(
        text,
        "<data name=\"%s\" type=\"%s\" format=\"%s\" ><file type=\"%s\" path=\"%s\" /></data>\r\n",
        dataName(i).c_str(), folder ? "volume" : "polygon", folder ? "DICOM" : "OBJ",
        folder ? "dcm" : "obj", path.c_str());
  }
  text += "\r\n";

  const std::string closing =
      "\r\n<event name=\"start\" >\r\n<targetSpace index=\"0\" /><topGroup name=\"Surface\" />\r\n"
      "<reset scale=\"on\" trans=\"on\" /></event>\r\n</body>\r\n</NuvrelFile>\r\n";
  const std::size_t groups = static_cast<std::size_t>(std::max(shape.drawGroups, 0));
  const std::size_t fixed = text.size() + closing.size();
  const std::size_t perGroup =
      groups > 0 && shape.targetBytes > fixed ? (shape.targetBytes - fixed) / groups : 0;
  const std::size_t refs = std::max<std::size_t>(shape.dataPaths.size(), 1);

  unsigned seed = 12345;
  for (std::size_t g = 0; g < groups; ++g) {
    const std::size_t start = text.size();
    const char* caption = g == 0 ? kSurfaceCaption : g == 1 ? kVolumeCaption : kPartCaption;
    appendf(text, "<drawGroup name=\"%s\" caption=\"%s\" ", groupName(static_cast<int>(g)).c_str(),
            caption);
    if (g > 0) appendf(text, "friendGroup=\"%s\" ", groupName(static_cast<int>(g) - 1).c_str());
    text += "><drawUnit>\r\n";
    const std::string data = dataName(g % refs);
    const auto shade = static_cast<unsigned>(g % 150);
    appendf(text,
            "  <polygon coordinate_data=\"%s\" index_data=\"%s\" volume_data=\"%s\" "
            "clipCap_data=\"%s\" diffuse=\"%u,%u,%u\" opacity=\"1.0\" />\r\n",
            data.c_str(), data.c_str(), data.c_str(), data.c_str(), 40 + shade, 90u, 200 - shade);
    const std::string end = "</drawUnit></drawGroup>\r\n";
    // Geometry lines until the group has its share of the file.
    while (text.size() - start + 100 + end.size() <= perGroup) {
      seed = seed * 1103515245u + 12345u;
      const double x = (seed >> 8) % 20000 / 10000.0 - 1.0;
      const double y = (seed >> 4) % 20000 / 10000.0 - 1.0;
      appendf(text, "  <vertex position=\"%.6f,%.6f,%.6f\" normal=\"%.6f,%.6f,%.6f\" />\r\n", x, y,
              x * y, y, -x, 0.5);
    }
    text += end;
  }

  // Whatever is left to the target size goes into an event, which a package drops.
  const std::string padOpen = "<event name=\"idle\" ><!-- ";
  const std::string padClose = " --></event>\r\n";
  const std::size_t used = text.size() + closing.size();
  if (shape.targetBytes >= used + padOpen.size() + padClose.size()) {
    text += padOpen;
    text.append(shape.targetBytes - used - padOpen.size() - padClose.size(), '.');
    text += padClose;
  }
  return text + closing;
}

}  // namespace vesk::bench
