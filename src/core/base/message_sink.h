#pragma once

#include <string>

namespace vesk {

// Where the core reports what the operator must see. Each front end implements it:
// the dialog as modal message boxes, the command line as lines on stderr.
// Texts are UTF-8 and may contain '\n', which starts a new line.
class MessageSink {
 public:
  virtual ~MessageSink() = default;

  // Shows the text and returns once the operator has acknowledged it.
  virtual void showMessage(const std::string& text) = 0;

  // Asks a Yes/No question and returns true for Yes.
  virtual bool askYesNo(const std::string& text) = 0;
};

}  // namespace vesk
