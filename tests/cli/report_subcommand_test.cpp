#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli.h"
#include "messages/messages.h"
#include "messages/report_texts.h"
#include "support/temp_dir.h"

namespace vesk {
namespace {

namespace fs = std::filesystem;

// The first 22 characters of every <img> source of a page. Found by plain search:
// std::regex recurses once per character and overflows the stack on a picture
// embedded as a data: URI.
std::vector<std::string> imageSources(const std::string& html) {
  static const std::string kImage = "<img src=\"";
  std::vector<std::string> sources;
  for (auto at = html.find(kImage); at != std::string::npos; at = html.find(kImage, at)) {
    at += kImage.size();
    const auto end = html.find('"', at);
    sources.push_back(html.substr(at, std::min<std::size_t>(end - at, 22)));
  }
  return sources;
}

class CliReport : public ::testing::Test {
 public:
  void SetUp() override {
    fs::copy(std::string(VESK_TEST_DATA_DIR) + "/verify/sound", dir.file("pkg"),
             fs::copy_options::recursive);
  }
  int run(std::vector<std::string> args) {
    out.str("");
    err.str("");
    return cli::run(args, out, err);
  }
  test::TempDir dir;
  std::ostringstream out, err;
};

TEST_F(CliReport, PicturesAreLinkedInOrBesideThePackageAndEmbeddedElsewhere) {
  const std::string document = dir.file("pkg/exhibition.nuv");
  ASSERT_EQ(run({"report", document}), 0) << err.str();
  EXPECT_EQ(out.str(),
            std::string(kReportWrittenMessage) + dir.file("pkg/vesk-report.html") + "\n");
  const auto inside = imageSources(dir.read("pkg/vesk-report.html"));
  ASSERT_EQ(inside.size(), 4u);
  EXPECT_EQ(inside[0], "00/heart_thumb.jpg");

  ASSERT_EQ(run({"report", document, "--out", dir.file("beside.html")}), 0) << err.str();
  EXPECT_EQ(imageSources(dir.read("beside.html"))[0], "pkg/00/heart_thumb.jpg");

  dir.makeFolder("away");
  ASSERT_EQ(run({"report", document, "--out", dir.file("away/r.html")}), 0) << err.str();
  for (const auto& source : imageSources(dir.read("away/r.html"))) {
    EXPECT_TRUE(source.rfind("data:image/", 0) == 0) << source;
  }
  // Only the pages asked for were written; the package is as it was.
  EXPECT_EQ(dir.names(), (std::vector<std::string>{"away", "beside.html", "pkg"}));
  EXPECT_EQ(run({"verify", document}), 0) << err.str();
}

// At the package's top, only a page Vesk wrote is replaced: the operator's own page of
// that name is kept, and named.
TEST_F(CliReport, OnlyAPageVeskWroteIsReplacedAtThePackagesTop) {
  const std::string document = dir.file("pkg/exhibition.nuv");
  ASSERT_EQ(run({"report", document}), 0) << err.str();
  ASSERT_EQ(run({"report", document}), 0) << err.str();
  dir.write("pkg/vesk-report.html", "<p>the operator's page</p>");
  EXPECT_EQ(run({"report", document}), 1);
  EXPECT_NE(err.str().find(std::string(kReportPageNotOurs) + dir.file("pkg/vesk-report.html")),
            std::string::npos)
      << err.str();
  EXPECT_EQ(dir.read("pkg/vesk-report.html"), "<p>the operator's page</p>");
}

TEST_F(CliReport, ADocumentThatIsNoPackagesAndAnUnwritablePageExitOne) {
  dir.write("exhibition.nuv", "x");
  EXPECT_EQ(run({"report", dir.file("exhibition.nuv")}), 1);
  EXPECT_EQ(err.str(), std::string(kNotAPackageMessage) + dir.file("exhibition.nuv") + "\n");
  EXPECT_EQ(dir.names(), (std::vector<std::string>{"exhibition.nuv", "pkg"}));

  EXPECT_EQ(run({"report", dir.file("pkg/exhibition.nuv"), "--out", dir.file("no/such/r.html")}),
            1);
  EXPECT_NE(err.str().find(dir.file("no/such")), std::string::npos) << err.str();
  EXPECT_EQ(out.str(), "");

  // A file of that name beside a folder 00 that does not start as a document is
  // refused unread, as verify refuses it.
  dir.write("big/exhibition.nuv", std::string(1 << 20, 'a'));
  dir.makeFolder("big/00");
  EXPECT_EQ(run({"report", dir.file("big/exhibition.nuv")}), 1);
  EXPECT_EQ(err.str(), std::string(kNotAPackageMessage) + dir.file("big/exhibition.nuv") + "\n");
}

// The page never goes over a file of the package: its document, manifest, a button
// image or a file of an entry folder.
TEST_F(CliReport, APageNamedAsAFileOfThePackageIsRefusedAndTheFileKept) {
  for (const std::string name : {"exhibition.nuv", "up.jpg", "00/heart.nuv"}) {
    const std::string kept = dir.read("pkg/" + name);
    EXPECT_EQ(run({"report", dir.file("pkg/exhibition.nuv"), "--out", dir.file("pkg/" + name)}), 1)
        << name;
    EXPECT_EQ(err.str(), std::string(kReportOutIsPackageFile) + dir.file("pkg/" + name) + "\n");
    EXPECT_EQ(dir.read("pkg/" + name), kept) << name;
  }
}

#ifndef _WIN32
// Nor in place of a link, which is not Vesk's to remove.
TEST_F(CliReport, APageNamedAsALinkIsRefusedAndTheLinkKept) {
  dir.write("mine.html", "the operator's page");
  fs::create_symlink(dir.file("mine.html"), dir.file("shortcut.html"));
  EXPECT_EQ(run({"report", dir.file("pkg/exhibition.nuv"), "--out", dir.file("shortcut.html")}), 1);
  EXPECT_EQ(err.str(), std::string(kReportOutIsLink) + dir.file("shortcut.html") + "\n");
  EXPECT_TRUE(fs::is_symlink(dir.file("shortcut.html")));
  EXPECT_EQ(dir.read("mine.html"), "the operator's page");
}
#endif

}  // namespace
}  // namespace vesk
