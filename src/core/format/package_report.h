#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vesk {

// Whether the package's manifest was checked when the report was made.
enum class ManifestState {
  VerifiedNow,  // every file listed in the manifest was found as listed, just now
  NotVerified,  // the package has a manifest that was not checked
  Mismatch,     // checked just now: a file is missing, extra or not as listed
  NoManifest,   // the package carries no manifest
};

// A thing on a menu page, where the document places it: the centre in the viewer's
// menu coordinates (x to the right, y upwards) and its width (the "size" value).
struct PlanPlace {
  double x = 0;
  double y = 0;
  double size = 0;
};

struct PlanThumbnail {
  int entry = -1;  // the entry its event shows (goto_obNN), -1 when it names none
  int row = -1;    // 0 at the top, -1 when it stands at none of the six rows
  PlanPlace place;
  double aspect = 0;      // height / width of its picture, 0 when unknown
  std::string sceneName;  // the entry's scene file name
};

enum class ButtonKind { Up, Down };

struct PlanButton {
  ButtonKind kind = ButtonKind::Up;
  PlanPlace place;
  double aspect = 0;    // height / width of its picture, 0 when unknown
  std::string event;    // the event it runs
  int targetPage = -1;  // the page that event shows, -1 when none
};

struct PlanPage {
  int number = 0;
  std::vector<PlanThumbnail> thumbnails;
  std::vector<PlanButton> buttons;
  bool reached = false;  // shown at start or by a button of a page that is reached
};

// A picture of the package as the report shows it.
struct ReportPicture {
  std::string fileName;
  std::optional<std::pair<int, int>> size;  // width and height in pixels, when readable
  std::string
      source;  // what the page's <img> loads: a relative URL or a data: URI; empty when missing
};

// A data file or folder that an entry's scene refers to.
struct ReportDataItem {
  std::string path;  // as the document names it, relative to the package
  bool folder = false;
  bool missing = false;
  std::uint64_t files = 0;  // the file, or the files directly inside the folder
  std::uint64_t bytes = 0;
};

struct ReportEntry {
  int number = 0;
  std::string sceneName;  // empty when the entry folder holds no scene
  ReportPicture thumbnail;
  ReportPicture description;
  std::vector<ReportDataItem> data;
};

// Everything the report page shows, gathered before it is written.
struct PackageReport {
  std::string packageName;  // the package folder's name
  std::vector<PlanPage> pages;
  std::vector<ReportEntry> entries;
  std::uint64_t files = 0;  // every file of the package's members
  std::uint64_t bytes = 0;
  ManifestState manifest = ManifestState::NoManifest;
  std::vector<std::string> problems;  // the operator's lines of the package check
  bool picturesEmbedded = false;      // pictures carried inside the page
  std::string toolVersion;
  std::string madeAt;  // local time the report was made, "YYYY-MM-DD HH:MM"
};

// True for a picture of known size higher than wide.
inline bool isPortrait(const ReportPicture& picture) {
  return picture.size && picture.size->second > picture.size->first;
}
// True for a picture of known size wider than high.
inline bool isLandscape(const ReportPicture& picture) {
  return picture.size && picture.size->first > picture.size->second;
}

}  // namespace vesk
