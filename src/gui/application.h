#pragma once

#include <QApplication>
#include <string>

namespace vesk::gui {

// The arguments the application object is made with: the program's name alone. The
// program takes no command line, so Qt's own options (-style, -reverse, -platform
// and the like) are not taken from it either. Must outlive the application object.
class BareArguments {
 public:
  // `programName` is argv[0], which may be null.
  explicit BareArguments(const char* programName);
  BareArguments(const BareArguments&) = delete;
  BareArguments& operator=(const BareArguments&) = delete;

  int& argc() { return argc_; }
  char** argv() { return argv_; }

 private:
  std::string name_;
  int argc_ = 1;
  char* argv_[2] = {nullptr, nullptr};
};

// Prepares the application object for the dialogs: the embedded resources, the
// application icon, Qt's own texts in Japanese, and the dialog's font for every
// window, so that message boxes, menus and tips match the dialog.
void setUpApplication(QApplication& app);

}  // namespace vesk::gui
