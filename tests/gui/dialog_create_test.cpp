#include <QApplication>
#include <QEvent>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include "create_progress_dialog.h"
#include "dialog_fixture.h"
#include "messages/messages.h"

namespace vesk::gui::testing {
namespace {

using CreateFromDialog = DialogTest;

// Counts the paint events of one widget.
class PaintCounter : public QObject {
 public:
  explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
  int paints = 0;
};

TEST_F(CreateFromDialog, RefusesNoEntriesAndMoreThan99WithoutAskingForAFolder) {
  chosenFolder = "/out";
  click(1007);
  EXPECT_EQ(sink.messages,
            std::vector<std::string>{"エラー　nuvファイルが一つも登録されていません"});
  for (int i = 0; i < 100; ++i) add("A");
  sink.messages.clear();
  click(1007);
  EXPECT_EQ(sink.messages,
            std::vector<std::string>{"エラー　登録されているnuvファイルが99個を超えています。\n"
                                     "登録数は99個以下にしてください"});
  EXPECT_TRUE(chooserStarts.empty());
}

TEST_F(CreateFromDialog, ACancelledChooserEndsSilently) {
  bool built = false;
  open([&](const CreateRequest&, MessageSink&, BuildProgress*) {
    built = true;
    return BuildReport{};
  });
  add("A");
  click(1007);
  ASSERT_EQ(chooserStarts.size(), 1u);
  EXPECT_EQ(chooserStarts[0], dialog->controller().browseStartPath());
  EXPECT_FALSE(built);
  EXPECT_TRUE(sink.messages.empty());
  EXPECT_FALSE(dialog->controller().busy());
}

// A build that reports progress, shows one message, then copies until it is
// cancelled. It gives up after a generous while so that a broken dialog fails the
// test instead of hanging it.
struct CancellableBuild {
  BuildReport operator()(const CreateRequest& request, MessageSink& sink, BuildProgress* progress) {
    destination = request.destination;
    entries = request.entries.size();
    workerThread = QThread::currentThread();
    sink.showMessage(errorMessage("00/フォルダ作成に失敗しました"));
    sawMessageClosed = messageClosed.load();
    progress->started(3u << 30, 3);
    progress->fileStarted("/src/big0.raw");
    progress->advanced(1u << 30, 1);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!progress->cancelRequested()) {
      if (std::chrono::steady_clock::now() > deadline) return BuildReport{};
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    cancelled = true;
    sink.showMessage(errorMessage(kCancelledMessage));
    BuildReport report;
    report.status = BuildStatus::Stopped;
    return report;
  }

  std::string destination;
  std::size_t entries = 0;
  QThread* workerThread = nullptr;
  std::atomic<bool> messageClosed{false};
  bool sawMessageClosed = false;
  bool cancelled = false;
};

// A message the job shows at once stays the window the operator answers: the progress
// window, due meanwhile, waits until the box is closed.
TEST_F(CreateFromDialog, TheProgressWindowNeverOpensOverAMessageBeingAnswered) {
  open([](const CreateRequest&, MessageSink& sink, BuildProgress*) {
    sink.showMessage(errorMessage(kSourceChangedMessage + std::string("/s/A.nuv")));
    return BuildReport{};
  });
  add("A");
  chosenFolder = "/out";
  bool progressOverBox = false;
  sink.onMessage = [&](const std::string&) {
    // The operator reads the box for longer than the window's delay.
    QTest::qWait(3 * kProgressWindowDelayMs);
    for (QWidget* window : QApplication::topLevelWidgets()) {
      if (qobject_cast<CreateProgressDialog*>(window) != nullptr && window->isVisible()) {
        progressOverBox = true;
      }
    }
  };
  click(1007);
  EXPECT_FALSE(progressOverBox);
  EXPECT_EQ(sink.messages.size(), 1u);
  EXPECT_FALSE(dialog->controller().busy());
}

TEST_F(CreateFromDialog, CopiesOnAWorkerBehindAProgressWindowUntilCancelled) {
  CancellableBuild build;
  open([&build](auto&&... args) { return build(args...); });
  add("A");
  add("B");
  chosenFolder = "/out";
  sink.onMessage = [&](const std::string&) { build.messageClosed = true; };

  PaintCounter paints(dialog.get());
  CreateProgressDialog* shown = nullptr;
  QString fileShown;
  bool repaintAsked = false;
  QObject::connect(&dialog->buildRunner(), &ThreadedBuildRunner::progressOpened,
                   [&](CreateProgressDialog* progress) {
                     shown = progress;
                     EXPECT_TRUE(progress->isModal());
                     QObject::connect(progress, &CreateProgressDialog::stateShown, [&, progress] {
                       if (!progress->fileLabel()->text().contains("big0.raw") || repaintAsked) {
                         return;
                       }
                       fileShown = progress->fileLabel()->text();
                       // The main dialog takes no command while the build runs...
                       click(1006);
                       click(1005);
                       // ...but still paints: Cancel is pressed once it has.
                       repaintAsked = true;
                       paints.paints = 0;
                       dialog->update();
                     });
                   });
  // Press Cancel on the first paint after the update above.
  class CancelOnPaint : public QObject {
   public:
    CancelOnPaint(CreateProgressDialog*& progress, bool& armed)
        : progress_(progress), armed_(armed) {}
    bool eventFilter(QObject*, QEvent* event) override {
      if (event->type() == QEvent::Paint && armed_ && progress_ != nullptr) {
        armed_ = false;
        QMetaObject::invokeMethod(
            progress_->cancelButton(),
            [button = progress_->cancelButton()] { QTest::mouseClick(button, Qt::LeftButton); },
            Qt::QueuedConnection);
      }
      return false;
    }

   private:
    CreateProgressDialog*& progress_;
    bool& armed_;
  } cancelOnPaint(shown, repaintAsked);
  dialog->installEventFilter(&cancelOnPaint);

  click(1007);

  EXPECT_EQ(build.destination, "/out");
  EXPECT_EQ(build.entries, 2u);
  EXPECT_NE(build.workerThread, QThread::currentThread());
  ASSERT_EQ(checkThreads.size(), 1u);
  EXPECT_NE(checkThreads[0], QThread::currentThread()) << "the check runs off the dialog's thread";
  EXPECT_TRUE(build.sawMessageClosed) << "the worker waits until the message is closed";
  EXPECT_TRUE(build.cancelled);
  EXPECT_TRUE(fileShown.contains("/src/big0.raw"));
  EXPECT_GE(paints.paints, 1);
  ASSERT_EQ(sink.messages,
            std::vector<std::string>({"00/フォルダ作成に失敗しました", kCancelledMessage}));
  for (QThread* thread : sink.threads) EXPECT_EQ(thread, QThread::currentThread());
  EXPECT_EQ(lines(), std::vector<std::string>({"/s/A.nuv", "/s/B.nuv"}));
  EXPECT_FALSE(dialog->controller().busy());
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "the progress window has gone";
  add("C");
  EXPECT_EQ(list()->count(), 3) << "commands work again";
}

TEST_F(CreateFromDialog, TheCheckShowsItsEntriesAndItsCancelEndsTheCreate) {
  bool built = false;
  open([&](const CreateRequest&, MessageSink&, BuildProgress*) {
    built = true;
    return BuildReport{};
  });
  add("A");
  add("B");
  chosenFolder = "/out";
  onCheck = [](const CheckRequest& request) {
    request.progress->started(0, 2);
    request.progress->fileStarted("/s/A.nuv");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!request.progress->cancelRequested() && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  };
  QString itemShown;
  QString countsShown;
  QObject::connect(
      &dialog->buildRunner(), &ThreadedBuildRunner::progressOpened,
      [&](CreateProgressDialog* progress) {
        QObject::connect(progress, &CreateProgressDialog::stateShown, [&, progress] {
          if (!itemShown.isEmpty() || !progress->fileLabel()->text().contains("A.nuv")) return;
          itemShown = progress->fileLabel()->text();
          countsShown = progress->countLabel()->text();
          QMetaObject::invokeMethod(
              progress->cancelButton(),
              [button = progress->cancelButton()] { QTest::mouseClick(button, Qt::LeftButton); },
              Qt::QueuedConnection);
        });
      });
  click(1007);
  EXPECT_EQ(itemShown.toStdString(), "確認中: /s/A.nuv");
  EXPECT_EQ(countsShown.toStdString(), "0 / 2 項目");
  EXPECT_FALSE(built);
  EXPECT_TRUE(sink.messages.empty());
  EXPECT_FALSE(dialog->controller().busy());
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// Needs the package builder: with it, a create through the dialog writes the package
// and reports success through the dialog's sink.
TEST_F(CreateFromDialog, TheRealBuildWritesThePackageIntoTheChosenFolder) {
  TempDir dir;
  addRealEntryAndChooseOut(dir);
  bool progressGone = false;
  sink.onMessage = [&](const std::string&) {
    progressGone = QApplication::activeModalWidget() == nullptr;
  };
  click(1007);
  EXPECT_TRUE(progressGone) << "the success box comes once the progress window has closed";
  // The success text, then the summary on its own line.
  ASSERT_EQ(sink.messages.size(), 1u);
  EXPECT_EQ(sink.messages[0].substr(0, sink.messages[0].find('\n')),
            "展示用nuvファイルを作成しました");
  for (const char* made : {"out/exhibition.nuv", "out/up.jpg", "out/down.jpg", "out/00/heart.nuv",
                           "out/00/heart_t.png", "out/00/heart_d.jpg"}) {
    EXPECT_TRUE(std::filesystem::exists(dir.file(made))) << made;
  }
  EXPECT_FALSE(dialog->controller().busy());
}

}  // namespace
}  // namespace vesk::gui::testing
