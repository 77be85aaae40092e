#include "package/report_page.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "messages/report_texts.h"
#include "support/report_structure.h"

namespace vesk {
namespace {

constexpr const char* kHostile = "<b>&\"'x</b>";
constexpr const char* kEscaped = "&lt;b&gt;&amp;&quot;&#39;x&lt;/b&gt;";

PackageReport hostileReport() {
  PackageReport report;
  report.packageName = kHostile;
  PlanPage page;
  page.reached = true;
  page.thumbnails.push_back({0, 0, {-1.664, 0.86, 0.4}, 0.75, kHostile});
  report.pages.push_back(page);
  ReportEntry entry;
  entry.sceneName = kHostile;
  entry.thumbnail = {kHostile, {{240, 320}}, std::string("00/") + kHostile};
  entry.description = {kHostile, {{640, 480}}, ""};
  entry.data.push_back({kHostile, false, false, 1, 3});
  report.entries.push_back(entry);
  report.problems.push_back(kHostile);
  report.toolVersion = kHostile;
  report.madeAt = kHostile;
  return report;
}

std::size_t occurrences(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

TEST(ReportPage, EveryNameFromThePackageIsEscapedWhereverItStands) {
  const std::string html = renderReportPage(hostileReport());
  EXPECT_EQ(occurrences(html, kHostile), 0u);
  // Title, heading, plan label, entry heading, two captions, alt, src, data row,
  // problem, version and time.
  EXPECT_EQ(occurrences(html, kEscaped), 12u);
  EXPECT_EQ(occurrences(html, "<script"), 0u);
}

TEST(ReportPage, MarksAPortraitThumbnailALandscapeDescriptionAndAMissingPicture) {
  const std::string html = renderReportPage(hostileReport());
  EXPECT_NE(html.find(kReportPortraitMark), std::string::npos);
  EXPECT_NE(html.find(kReportLandscapeMark), std::string::npos);
  EXPECT_EQ(occurrences(html, kReportPictureMissing), 1u);  // the description has no source

  PackageReport plain = hostileReport();
  plain.entries[0].thumbnail.size = {{320, 240}};
  plain.entries[0].description.size = {{480, 640}};
  const std::string quiet = renderReportPage(plain);
  EXPECT_EQ(quiet.find(kReportPortraitMark), std::string::npos);
  EXPECT_EQ(quiet.find(kReportLandscapeMark), std::string::npos);
}

TEST(ReportPage, AnUnreachedEmptyPageIsMarkedAndButtonsNameTheirTargets) {
  PackageReport report;
  PlanPage first;
  first.reached = true;
  first.buttons.push_back({ButtonKind::Down, {-1.664, -0.92, 0.4}, 0.4, "down01", 1});
  PlanPage second;
  second.number = 1;
  second.buttons.push_back({ButtonKind::Up, {-1.664, -0.76, 0.4}, 0.4, "nowhere", -1});
  report.pages = {first, second};
  const std::string html = renderReportPage(report);
  EXPECT_EQ(test::reportStructure(html),
            (std::vector<std::string>{"count 項目数 0", "count ファイル数 0", "page 00",
                                      "button down 01", "page 01 unreached", "button up none"}));
  EXPECT_EQ(occurrences(html, kReportUnreached), 1u);
  EXPECT_EQ(occurrences(html, kReportEmptyPage), 2u);
  EXPECT_NE(html.find(std::string(kReportNoTarget) + " nowhere"), std::string::npos);
}

TEST(ReportPage, TheManifestStateAndThePicturesWayAreSaid) {
  const struct {
    ManifestState state;
    const char* text;
  } cases[] = {{ManifestState::VerifiedNow, kReportManifestVerified},
               {ManifestState::NotVerified, kReportManifestNotVerified},
               {ManifestState::NoManifest, kReportManifestNone}};
  for (const auto& c : cases) {
    PackageReport report;
    report.manifest = c.state;
    report.picturesEmbedded = c.state == ManifestState::VerifiedNow;
    const std::string html = renderReportPage(report);
    EXPECT_NE(html.find(std::string("<td>") + c.text + "</td>"), std::string::npos) << c.text;
    EXPECT_NE(html.find(report.picturesEmbedded ? kReportPicturesEmbedded : kReportPicturesLinked),
              std::string::npos);
  }
}

}  // namespace
}  // namespace vesk
