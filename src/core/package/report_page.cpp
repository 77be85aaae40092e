#include "package/report_page.h"

#include <cstdio>
#include <fstream>

#include "base/file_system.h"
#include "format/html_text.h"
#include "format/two_digits.h"
#include "messages/report_texts.h"
#include "package/create_summary.h"

namespace vesk {

namespace {

// The plan's window onto the menu, in the document's coordinates; the plan is drawn
// 100 units to one.
constexpr double kLeft = -1.95;
constexpr double kRight = 1.05;
constexpr double kTop = 1.10;
constexpr double kBottom = -1.05;
constexpr double kScale = 100;
// The aspect drawn for a picture of unknown size.
constexpr double kUnknownAspect = 0.75;

constexpr const char* kStyle = R"(<style>
@page { size: A4; margin: 12mm; }
* { box-sizing: border-box; }
body { font-family: "Noto Sans CJK JP", "Yu Gothic", "Meiryo", "MS UI Gothic", sans-serif;
  font-size: 10pt; color: #111; max-width: 186mm; margin: 0 auto; padding: 4mm; background: #fff; }
h1 { font-size: 16pt; margin: 0 0 3mm; }
h2 { font-size: 13pt; border-bottom: 2px solid #333; margin: 6mm 0 2mm; }
h3 { font-size: 11pt; margin: 0 0 1mm; }
table { border-collapse: collapse; }
th, td { border: 1px solid #bbb; padding: 1px 5px; text-align: left; vertical-align: top; }
th { white-space: nowrap; }
td.n { text-align: right; }
.problems { color: #b00; }
.pages { display: grid; grid-template-columns: 1fr 1fr; gap: 3mm; }
figure.page { margin: 0; border: 1px solid #888; padding: 1.5mm; break-inside: avoid; }
figure.page.unreached { border: 2px dashed #c00; }
figure.page figcaption { font-weight: bold; }
.badge { color: #b00; font-weight: bold; margin-left: 2mm; }
svg.plan { display: block; width: 100%; height: auto; background: #222; }
svg.plan text { font-size: 11px; fill: #fff; }
svg.plan .thumb rect { fill: #6b8fb5; stroke: #fff; stroke-width: 0.8; }
svg.plan .thumb rect.unknown { stroke-dasharray: 3 2; }
svg.plan .button rect { fill: #d9a441; stroke: #fff; stroke-width: 0.8; }
svg.plan .button text { fill: #ffd98a; }
section.entry { border-top: 1px solid #999; padding: 2mm 0; break-inside: avoid; }
.pictures { display: flex; gap: 4mm; align-items: flex-start; }
.pictures figure { margin: 0; flex: 1; }
.pictures img { display: block; max-width: 100%; max-height: 40mm; border: 1px solid #ccc; }
.mark { color: #b00; font-weight: bold; }
.missing { color: #b00; }
</style>
)";

std::string number(double value) {
  return oneDecimal(value);
}

double planX(double x) {
  return (x - kLeft) * kScale;
}
double planY(double y) {
  return (kTop - y) * kScale;
}

// A rectangle of the plan centred on `place`, `place.size` wide.
std::string rect(const PlanPlace& place, double aspect, const char* extraClass = nullptr) {
  const double width = place.size * kScale;
  const double height = width * (aspect > 0 ? aspect : kUnknownAspect);
  std::string out = "<rect";
  if (extraClass != nullptr) out += std::string(" class=\"") + extraClass + "\"";
  out += " x=\"" + number(planX(place.x) - width / 2) + "\" y=\"" +
         number(planY(place.y) - height / 2) + "\" width=\"" + number(width) + "\" height=\"" +
         number(height) + "\"/>";
  return out;
}

// The place of a label to the right of a thing at `place`.
std::string labelAt(const PlanPlace& place) {
  return "x=\"" + number(planX(place.x) + place.size * kScale / 2 + 4) + "\" y=\"" +
         number(planY(place.y) + 4) + "\"";
}

std::string pageName(int page) {
  return std::string(kReportPage) + " " + twoDigits(page);
}

std::string planPage(const PlanPage& page) {
  std::string out = "<figure class=\"page";
  if (!page.reached) out += " unreached";
  out += "\" data-page=\"" + twoDigits(page.number) + "\" data-reached=\"" +
         (page.reached ? "yes" : "no") + "\">\n<figcaption>" + pageName(page.number);
  if (page.thumbnails.empty())
    out += std::string("<span class=\"badge\">") + kReportEmptyPage + "</span>";
  if (!page.reached) out += std::string("<span class=\"badge\">") + kReportUnreached + "</span>";
  out += "</figcaption>\n<svg class=\"plan\" xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 " +
         number((kRight - kLeft) * kScale) + " " + number((kTop - kBottom) * kScale) + "\">\n";
  for (const auto& thumbnail : page.thumbnails) {
    out += "<g class=\"thumb\" data-entry=\"" + twoDigits(thumbnail.entry) + "\" data-row=\"" +
           std::to_string(thumbnail.row) + "\">" +
           rect(thumbnail.place, thumbnail.aspect, thumbnail.aspect > 0 ? nullptr : "unknown") +
           "<text " + labelAt(thumbnail.place) + ">" + twoDigits(thumbnail.entry) + " " +
           escapeHtml(thumbnail.sceneName) + "</text></g>\n";
  }
  for (const auto& button : page.buttons) {
    const bool up = button.kind == ButtonKind::Up;
    out +=
        std::string("<g class=\"button\" data-kind=\"") + (up ? "up" : "down") +
        "\" data-target=\"" + (button.targetPage >= 0 ? twoDigits(button.targetPage) : "none") +
        "\">" + rect(button.place, button.aspect) + "<text " + labelAt(button.place) + ">" +
        (up ? kReportUpButton : kReportDownButton) + " → " +
        (button.targetPage >= 0 ? pageName(button.targetPage)
                                : kReportNoTarget + std::string(" ") + escapeHtml(button.event)) +
        "</text></g>\n";
  }
  out += "</svg>\n</figure>\n";
  return out;
}

std::string pictureFigure(const char* role, const ReportPicture& picture, const char* mark) {
  std::string out =
      std::string("<figure><figcaption>") + role + ": " + escapeHtml(picture.fileName) + " ";
  if (picture.size) {
    out +=
        std::to_string(picture.size->first) + " × " + std::to_string(picture.size->second) + " px";
  } else {
    out += std::string("<span class=\"missing\">") + kReportSizeUnknown + "</span>";
  }
  if (mark != nullptr) out += std::string(" <span class=\"mark\">") + mark + "</span>";
  out += "</figcaption>";
  if (picture.source.empty()) {
    out += std::string("<p class=\"missing\">") + kReportPictureMissing + "</p>";
  } else {
    out += "<img src=\"" + escapeHtml(picture.source) + "\" alt=\"" + escapeHtml(picture.fileName) +
           "\">";
  }
  return out + "</figure>";
}

std::string entrySection(const ReportEntry& entry) {
  std::string out = "<section class=\"entry\" data-entry=\"" + twoDigits(entry.number) +
                    "\">\n<h3>" + twoDigits(entry.number) + " ";
  out += entry.sceneName.empty()
             ? std::string("<span class=\"missing\">") + kReportSceneMissing + "</span>"
             : escapeHtml(entry.sceneName);
  out += "</h3>\n<div class=\"pictures\">" +
         pictureFigure(kReportThumbnail, entry.thumbnail,
                       isPortrait(entry.thumbnail) ? kReportPortraitMark : nullptr) +
         pictureFigure(kReportDescription, entry.description,
                       isLandscape(entry.description) ? kReportLandscapeMark : nullptr) +
         "</div>\n";
  if (entry.data.empty()) return out + "<p>" + kReportNoData + "</p>\n</section>\n";
  out += std::string("<table class=\"data\"><tr><th>") + kReportData + "</th><th></th><th>" +
         kReportFiles + "</th><th>" + kReportBytes + "</th></tr>\n";
  for (const auto& item : entry.data) {
    out += "<tr><td>" + escapeHtml(item.path) + "</td><td>" +
           (item.folder ? kReportFolder : kReportFile) + "</td>";
    if (item.missing) {
      out += std::string("<td colspan=\"2\" class=\"missing\">") + kReportMissing + "</td></tr>\n";
    } else {
      out += "<td class=\"n\">" + groupedNumber(item.files) + "</td><td class=\"n\">" +
             groupedNumber(item.bytes) + "</td></tr>\n";
    }
  }
  return out + "</table>\n</section>\n";
}

const char* manifestText(ManifestState state) {
  switch (state) {
    case ManifestState::VerifiedNow:
      return kReportManifestVerified;
    case ManifestState::NotVerified:
      return kReportManifestNotVerified;
    case ManifestState::Mismatch:
      return kReportManifestMismatch;
    case ManifestState::NoManifest:
      break;
  }
  return kReportManifestNone;
}

std::string row(const char* heading, const std::string& value) {
  return std::string("<tr><th>") + heading + "</th><td>" + value + "</td></tr>\n";
}

// How every page begins, up to the package's name.
std::string pageOpening() {
  return std::string(
             "<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"utf-8\">\n<title>") +
         kReportTitle + " ";
}

}  // namespace

std::string renderReportPage(const PackageReport& report) {
  const std::string name = escapeHtml(report.packageName);
  std::string out = pageOpening() + name + "</title>\n" + kStyle + "</head>\n<body>\n<h1>" +
                    kReportTitle + " " + name + "</h1>\n";

  out += std::string("<h2>") + kReportPackageHeading + "</h2>\n<table class=\"package\">\n";
  out += row(kReportEntryCount, std::to_string(report.entries.size()));
  out += row(kReportFiles, groupedNumber(report.files));
  out += row(kReportBytes, byteSizeText(report.bytes) + "（" + groupedNumber(report.bytes) + " " +
                               kReportByteUnit + "）");
  out += row(kReportManifest, manifestText(report.manifest));
  std::string check;
  if (report.problems.empty()) {
    check = kReportNoProblems;
  } else {
    check = "<div class=\"problems\">" + std::to_string(report.problems.size()) +
            kReportProblemCount + "<ul>\n";
    for (const auto& problem : report.problems) check += "<li>" + escapeHtml(problem) + "</li>\n";
    check += "</ul></div>";
  }
  out += row(kReportCheck, check);
  out += row(kReportPictures,
             report.picturesEmbedded ? kReportPicturesEmbedded : kReportPicturesLinked);
  out += row(kReportTool, "Vesk " + escapeHtml(report.toolVersion));
  out += row(kReportMadeAt, escapeHtml(report.madeAt));
  out += "</table>\n";

  out += std::string("<h2>") + kReportMenuHeading + "</h2>\n<div class=\"pages\">\n";
  for (const auto& page : report.pages) out += planPage(page);
  out += "</div>\n";

  out += std::string("<h2>") + kReportEntriesHeading + "</h2>\n";
  for (const auto& entry : report.entries) out += entrySection(entry);
  out += "</body>\n</html>\n";
  return out;
}

bool isReportPageFile(const std::string& path) {
  const std::string opening = pageOpening();
  std::ifstream in(toOpenablePath(path), std::ios::binary);
  std::string start(opening.size(), '\0');
  return in.read(start.data(), static_cast<std::streamsize>(start.size())) && start == opening;
}

}  // namespace vesk
