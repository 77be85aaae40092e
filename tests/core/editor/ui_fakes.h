#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "editor/dialog_view.h"
#include "messages/message_sink.h"
#include "support/recording_sink.h"

namespace vesk::testing {

// A view that records what the controller writes. Lines are 10 pixels high and
// 100 wide; the list box sits at (50, 40) in the dialog with a 2-pixel frame.
class FakeView : public DialogView {
 public:
  void setListLines(const std::vector<std::string>& newLines) override {
    lines = newLines;
    selected = -1;
    ++listRedraws;
  }
  void selectLine(int index) override {
    selected = index >= 0 && index < static_cast<int>(lines.size()) ? index : -1;
  }
  int selectedLine() const override { return selected; }
  void setCountText(const std::string& text) override { count = text; }
  void setPathFields(const std::string& scene, const std::string& thumbnail,
                     const std::string& description) override {
    fields = {scene, thumbnail, description};
    ++fieldRedraws;
  }
  ViewRect listBoxRect() const override { return {50, 40, 250, 240}; }
  ViewPoint cursorPosition() const override { return cursor; }
  ViewRect lineRect(int index) const override { return {0, index * 10, 100, index * 10 + 10}; }

  // The operator moves the highlight (as a click or a key would) and the list box
  // reports it.
  void highlight(int index) { selected = index; }
  // Puts the cursor over the middle of line `index`, in dialog coordinates.
  void pointAtLine(int index) { cursor = {50 + 20, 40 + index * 10 + 5}; }
  void pointOutsideList() { cursor = {5, 5}; }

  std::vector<std::string> lines;
  int selected = -1;
  std::optional<std::string> count;  // empty until first written
  std::vector<std::string> fields{"", "", ""};
  ViewPoint cursor{5, 5};
  int listRedraws = 0;
  int fieldRedraws = 0;
};

// The shared recording sink, failing the test on a question it has no answer for.
class RecordingSink : public vesk::test::RecordingSink {
 public:
  RecordingSink() { failOnUnscriptedQuestion = true; }
};

// A temporary folder removed with everything in it at the end of the test.
class TempFolder {
 public:
  TempFolder() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ = std::filesystem::temp_directory_path() /
            ("vesk-ui-" + std::string(info->test_suite_name()) + "-" + info->name());
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The full path of `relative` inside the folder, as UTF-8 text.
  std::string at(const std::string& relative) const { return (path_ / relative).string(); }

  // Writes a text file (creating its folders) and returns its path.
  std::string writeText(const std::string& relative, const std::string& text) const {
    const auto file = path_ / relative;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
    return file.string();
  }

  // Copies one of the test pictures (landscape.png 8x6, portrait.jpg 6x8,
  // square.bmp 5x5) to `relative` and returns its path.
  std::string picture(const std::string& relative, const std::string& sample) const {
    const auto file = path_ / relative;
    std::filesystem::create_directories(file.parent_path());
    std::filesystem::copy_file(std::filesystem::path(VESK_TEST_DATA_DIR) / "gui" / sample, file,
                               std::filesystem::copy_options::overwrite_existing);
    return file.string();
  }

 private:
  std::filesystem::path path_;
};

}  // namespace vesk::testing
