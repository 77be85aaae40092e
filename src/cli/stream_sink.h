#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "editor/progress_model.h"
#include "messages/message_sink.h"
#include "package/build_progress.h"

namespace vesk::cli {

// Prints every message as UTF-8 lines on a stream; questions are answered No, since
// the command line has nobody to ask. Remembers how many messages it printed.
class StreamSink : public MessageSink {
 public:
  // `onTerminal`: the stream is a terminal that may hold a progress line, which each
  // message first clears.
  explicit StreamSink(std::ostream& out, bool onTerminal = false)
      : out_(out), onTerminal_(onTerminal) {}
  void showMessage(const Message& message) override;
  // Prints the question and answers No: nobody is there to answer.
  bool askYesNo(const std::string& text, DefaultAnswer defaultAnswer) override;
  int messageCount() const { return count_; }

 private:
  std::ostream& out_;
  bool onTerminal_;
  int count_ = 0;
};

// True when `err` is the process's standard error and that is a terminal or a
// console.
bool errIsTerminal(const std::ostream& err);

// The sink of the create commands: success messages go to `out`, every other
// message to `err`.
class CommandSink : public MessageSink {
 public:
  CommandSink(std::ostream& out, std::ostream& err);
  void showMessage(const Message& message) override;
  bool askYesNo(const std::string& text, DefaultAnswer defaultAnswer) override {
    return err_.askYesNo(text, defaultAnswer);
  }

 private:
  std::ostream& out_;
  StreamSink err_;
};

// Shows the progress of a create as one line that rewrites itself, for a terminal:
// the counts as the dialogs show them, then the name of the file being copied. At
// most ten redraws a second, the first at once.
class TerminalProgress : public BuildProgress {
 public:
  explicit TerminalProgress(std::ostream& out) : out_(out) {}
  ~TerminalProgress() override;
  void started(std::uint64_t totalBytes, std::uint64_t totalFiles) override;
  void fileStarted(const std::string& source) override;
  void advanced(std::uint64_t bytesDone, std::uint64_t filesDone) override;

 private:
  void draw(bool force);

  std::ostream& out_;
  ProgressState state_;
  long long lastDraw_ = 0;
  bool drawn_ = false;
};

}  // namespace vesk::cli
