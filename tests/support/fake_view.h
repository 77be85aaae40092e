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

namespace vesk::test {

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
  ViewRect listBoxRect() const override { return listBox; }
  ViewPoint cursorPosition() const override { return cursor; }
  ViewRect lineRect(int index) const override { return {0, index * 10, 100, index * 10 + 10}; }
  bool showProblems(const std::vector<ProblemLine>& lines, bool canCreate) override {
    problemWindows.push_back({lines, canCreate});
    return answerCreate;
  }
  bool openFile(const std::string& path) override {
    openedFiles.push_back(path);
    return opens;
  }

  // The operator moves the highlight (as a click or a key would) and the list box
  // reports it.
  void highlight(int index) { selected = index; }
  // Puts the cursor over the middle of line `index`, in dialog coordinates.
  void pointAtLine(int index) { cursor = {listBox.left + 20, listBox.top + index * 10 + 5}; }
  void pointOutsideList() { cursor = {5, 5}; }

  ViewRect listBox{50, 40, 250, 240};
  std::vector<std::string> lines;
  int selected = -1;
  std::optional<std::string> count;  // empty until first written
  std::vector<std::string> fields{"", "", ""};
  ViewPoint cursor{5, 5};
  int listRedraws = 0;
  int fieldRedraws = 0;

  // Each problem window shown, and the operator's answer to every one (true: 作成).
  struct ProblemWindow {
    std::vector<ProblemLine> lines;
    bool canCreate = false;
  };
  std::vector<ProblemWindow> problemWindows;
  bool answerCreate = false;

  // Every file handed to the desktop to open, and whether that works.
  std::vector<std::string> openedFiles;
  bool opens = true;
};

}  // namespace vesk::test
