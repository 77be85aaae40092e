#pragma once

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "main_dialog.h"
#include "support/recording_sink.h"
#include "support/temp_dir.h"

namespace vesk::gui::testing {

using vesk::test::TempDir;

// Records messages and questions with the thread they arrived on; answers from a
// script. `onMessage` runs inside showMessage, as the operator would act on a box.
class GuiRecordingSink : public vesk::test::StrictRecordingSink {
 public:
  void showMessage(const Message& message) override {
    threads.push_back(QThread::currentThread());
    StrictRecordingSink::showMessage(message);
    if (onMessage) onMessage(message.text);
  }
  bool askYesNo(const std::string& text, DefaultAnswer defaultAnswer) override {
    threads.push_back(QThread::currentThread());
    return RecordingSink::askYesNo(text, defaultAnswer);
  }
  std::vector<QThread*> threads;
  std::function<void(const std::string&)> onMessage;
};

// A shown main dialog whose message boxes, folder chooser, check, problem window
// and build are doubles.
class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override { open(); }

  // Opens the dialog with `build` as its build function (the real one when empty).
  void open(BuildFunction build = {}) {
    DialogServices services;
    services.sink = &sink;
    services.chooseDestination = [this](const std::string& start) {
      chooserStarts.push_back(start);
      return chosenFolder;
    };
    services.build = std::move(build);
    services.check = [this](const CheckRequest& request) {
      checks.push_back(request);
      checkThreads.push_back(QThread::currentThread());
      if (onCheck) onCheck(request);
      // The real plan of the entries, with the problems the test asks for.
      PackagePlan plan = planPackage(request);
      plan.problems = problems;
      return plan;
    };
    services.answerProblems = [this](ProblemWindow& window) {
      if (!onProblems) {
        ADD_FAILURE() << "unexpected problem window";
        return false;
      }
      return onProblems(window);
    };
    services.openFile = [this](const std::string& path) {
      openedFiles.push_back(path);
      return true;
    };
    dialog = std::make_unique<MainDialog>(std::move(services));
    dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
  }

  QLineEdit* field(int id) const { return qobject_cast<QLineEdit*>(dialog->control(id)); }
  QListWidget* list() const { return qobject_cast<QListWidget*>(dialog->control(1004)); }
  QPushButton* button(int id) const { return qobject_cast<QPushButton*>(dialog->control(id)); }
  void click(int id) { QTest::mouseClick(button(id), Qt::LeftButton); }

  // Adds one real entry (a scene, a landscape thumbnail, a portrait description made in
  // `dir`'s src/) and makes out/ in `dir` the folder the chooser answers.
  void addRealEntryAndChooseOut(const TempDir& dir) {
    auto& working = dialog->controller().entryList().workingEntry();
    working.scenePath =
        dir.write("src/heart.nuv", "<NuvrelFile version=\"1.35\">\n</NuvrelFile>\n");
    working.thumbnailPath = dir.picture("src/heart_t.png", "landscape.png");
    working.descriptionPath = dir.picture("src/heart_d.jpg", "portrait.jpg");
    click(1006);
    std::filesystem::create_directories(dir.file("out"));
    chosenFolder = dir.file("out");
  }

  std::vector<std::string> fields() const {
    return {field(1001)->text().toStdString(), field(1002)->text().toStdString(),
            field(1003)->text().toStdString()};
  }
  std::vector<std::string> lines() const {
    std::vector<std::string> texts;
    for (int i = 0; i < list()->count(); ++i)
      texts.push_back(list()->item(i)->text().toStdString());
    return texts;
  }
  int selectedRow() const {
    const auto selected = list()->selectedItems();
    return selected.isEmpty() ? -1 : list()->row(selected.first());
  }
  std::string count() const { return field(1008)->text().toStdString(); }

  // Puts an entry named `name` into the working entry and presses Add.
  void add(const std::string& name) {
    dialog->controller().entryList().workingEntry() = {
        "/s/" + name + ".nuv", "/s/" + name + "_t.png", "/s/" + name + "_d.png", {}};
    click(1006);
  }

  GuiRecordingSink sink;
  std::string chosenFolder;
  std::vector<std::string> chooserStarts;
  // What the check finds, the checks made, and the operator at the problem window.
  std::vector<CheckProblem> problems;
  std::vector<CheckRequest> checks;
  std::vector<QThread*> checkThreads;
  std::function<void(const CheckRequest&)> onCheck;  // runs inside the check, on its thread
  std::function<bool(ProblemWindow&)> onProblems;
  // The files the dialog handed to the desktop to open.
  std::vector<std::string> openedFiles;
  std::unique_ptr<MainDialog> dialog;
};

}  // namespace vesk::gui::testing
