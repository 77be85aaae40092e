#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/dialog_controller.h"
#include "messages/report_texts.h"
#include "package/package_plan.h"
#include "package/package_report_file.h"
#include "support/fake_view.h"
#include "support/recording_runner.h"
#include "support/recording_sink.h"
#include "support/temp_dir.h"

namespace vesk {
namespace {

using test::FakeView;
using test::StrictRecordingSink;

// A controller whose create "writes" a package in pkg/ and whose report writer is a
// double that records where it writes and fails where it is told to.
struct ReportDialog {
  ReportDialog()
      : controller(
            view, sink, [this](const std::string&) { return folder.file("pkg"); },
            [this](const CreateRequest&, MessageSink&, BuildProgress*) {
              BuildReport report;
              report.status = status;
              report.documentPath = folder.file("pkg/exhibition.nuv");
              return report;
            },
            [](const CheckRequest&) { return PackagePlan{}; }) {
    controller.initialise();
    controller.setReportServices(
        [this](const std::string& document, const std::string& page) -> Status {
          writes.push_back(document + " -> " + page);
          if (page == failing) return makeFailure(FailureCode::WriteFailed, page, 30);
          return {};
        },
        [this] { return folder.file("tmp"); });
  }

  void create() {
    controller.entryList().workingEntry() = {"/s/a.nuv", "/s/t.png", "/s/d.png", {}};
    controller.onAdd();
    controller.onCreate();
  }

  test::TempDir folder;
  FakeView view;
  StrictRecordingSink sink;
  BuildStatus status = BuildStatus::Written;
  std::vector<std::string> writes;
  std::string failing;  // the page the writer cannot write
  DialogController controller;
};

TEST(OpenReport, WithoutAPackageTheOperatorIsToldAndNothingIsWrittenOrOpened) {
  ReportDialog d;
  d.controller.onOpenReport();
  d.status = BuildStatus::Stopped;  // a create that wrote no document gives no package
  d.create();
  d.controller.onOpenReport();
  EXPECT_EQ(d.sink.messages,
            (std::vector<std::string>{kReportNoPackageMessage, kReportNoPackageMessage}));
  EXPECT_TRUE(d.writes.empty());
  EXPECT_TRUE(d.view.openedFiles.empty());
}

TEST(OpenReport, ThePageOfTheLastPackageCreatedIsWrittenIntoItAndOpened) {
  for (const auto status : {BuildStatus::Written, BuildStatus::WrittenWithProblems}) {
    ReportDialog d;
    d.status = status;
    d.create();
    d.controller.onOpenReport();
    const std::string page = d.folder.file("pkg/vesk-report.html");
    EXPECT_EQ(d.writes,
              std::vector<std::string>{d.folder.file("pkg/exhibition.nuv") + " -> " + page});
    EXPECT_EQ(d.view.openedFiles, std::vector<std::string>{page});
    EXPECT_TRUE(d.sink.messages.empty());
  }
}

TEST(OpenReport, AFolderThatTakesNoFileSendsThePageToTheTemporaryFolder) {
  ReportDialog d;
  d.create();
  d.failing = d.folder.file("pkg/vesk-report.html");
  d.controller.onOpenReport();
  const std::string page = d.folder.file("tmp/vesk-report-pkg.html");
  ASSERT_EQ(d.writes.size(), 2u);
  EXPECT_EQ(d.writes[1], d.folder.file("pkg/exhibition.nuv") + " -> " + page);
  EXPECT_EQ(d.view.openedFiles, std::vector<std::string>{page});
  EXPECT_TRUE(d.sink.messages.empty());
}

TEST(OpenReport, FailuresAreShownAndNothingIsOpened) {
  {
    ReportDialog d;  // the package's document cannot be read: no second try
    d.create();
    d.controller.setReportServices(
        [&](const std::string& document, const std::string&) -> Status {
          d.writes.push_back(document);
          return makeFailure(FailureCode::ReadFailed, document, 5);
        },
        [&] { return d.folder.file("tmp"); });
    d.controller.onOpenReport();
    EXPECT_EQ(d.writes.size(), 1u);
    EXPECT_EQ(d.sink.messages,
              std::vector<std::string>{reportFailureText(
                  makeFailure(FailureCode::ReadFailed, d.folder.file("pkg/exhibition.nuv"), 5))});
    EXPECT_TRUE(d.view.openedFiles.empty());
  }
  {
    ReportDialog d;  // the browser cannot be started
    d.create();
    d.view.opens = false;
    d.controller.onOpenReport();
    EXPECT_EQ(d.sink.messages, std::vector<std::string>{std::string(kReportNotOpenedMessage) +
                                                        d.folder.file("pkg/vesk-report.html")});
  }
}

// The page looks at every file of the package: it is written behind the progress
// window, as a check is, and a cancel there opens nothing.
TEST(OpenReport, ThePageIsWrittenBehindTheProgressWindowAndACancelOpensNothing) {
  for (const bool cancel : {false, true}) {
    ReportDialog d;
    d.create();
    test::RecordingRunner runner;
    runner.cancel = cancel;
    d.controller.setBuildRunner(&runner);
    d.controller.onOpenReport();
    EXPECT_EQ(runner.stages, std::vector<ProgressStage>{ProgressStage::Check});
    EXPECT_EQ(d.view.openedFiles.size(), cancel ? 0u : 1u);
    EXPECT_FALSE(d.controller.busy());
  }
}

TEST(OpenReport, ADroppedPackageDocumentReadBackIsTheOneReported) {
  ReportDialog d;
  const std::string document = d.folder.write("old/exhibition.nuv", "doc");
  d.folder.write("old/00/a.nuv", "scene");
  d.sink.answers = {true};
  d.controller.onFilesDropped({document});
  ASSERT_EQ(d.controller.entryList().size(), 1u);
  d.controller.onOpenReport();
  EXPECT_EQ(d.view.openedFiles, std::vector<std::string>{d.folder.file("old/vesk-report.html")});

  // Answered No, the drop changes nothing: the earlier package stays the reported one.
  d.sink.answers = {false};
  d.controller.onFilesDropped({d.folder.write("other/exhibition.nuv", "doc")});
  EXPECT_EQ(d.controller.reportedPackage(), document);
}

}  // namespace
}  // namespace vesk
