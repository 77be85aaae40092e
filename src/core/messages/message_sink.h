#pragma once

#include <string>
#include <utility>

namespace vesk {

// What a message tells the operator; a front end chooses its presentation by this,
// never by the text.
enum class MessageKind {
  Error,     // something failed
  Warning,   // the work went on, but something needs the operator's attention
  Success,   // the work is done
  Question,  // a Yes/No question (asked through askYesNo)
};

// One message: its kind and its text (UTF-8; '\n' starts a new line).
struct Message {
  MessageKind kind = MessageKind::Error;
  std::string text;
};

inline Message errorMessage(std::string text) {
  return {MessageKind::Error, std::move(text)};
}
inline Message warningMessage(std::string text) {
  return {MessageKind::Warning, std::move(text)};
}
inline Message successMessage(std::string text) {
  return {MessageKind::Success, std::move(text)};
}

// The answer a question gives when the operator just presses Enter: Yes, or No where
// Yes would discard something the operator made.
enum class DefaultAnswer { Yes, No };

// The icon of the message box that shows a message: a question mark for a question,
// the exclamation mark for every other message, failures and successes alike.
enum class MessageIcon { Exclamation, Question };

inline MessageIcon messageIcon(MessageKind kind) {
  return kind == MessageKind::Question ? MessageIcon::Question : MessageIcon::Exclamation;
}

// Where the core reports what the operator must see. Each front end implements it:
// the dialog as modal message boxes, the command line as lines on stdout and stderr.
class MessageSink {
 public:
  virtual ~MessageSink() = default;

  // Shows the message and returns once the operator has acknowledged it.
  virtual void showMessage(const Message& message) = 0;

  // Asks a Yes/No question (kind Question) with `defaultAnswer` as the default button
  // and returns true for Yes.
  virtual bool askYesNo(const std::string& text, DefaultAnswer defaultAnswer) = 0;
};

}  // namespace vesk
