#include "stream_sink.h"

#include <chrono>
#include <ostream>

#include "base/path_terms.h"
#include "console_stream.h"
#include "messages/command_line_texts.h"

namespace vesk::cli {

void StreamSink::showMessage(const Message& message) {
  if (onTerminal_) out_ << "\r\033[K";
  out_ << shownText(message.text) << '\n';
  out_.flush();
  ++count_;
}

bool StreamSink::askYesNo(const std::string& text, DefaultAnswer) {
  out_ << shownText(text) << kCliAnsweredNo << '\n';
  ++count_;
  return false;
}

bool errIsTerminal(const std::ostream& err) {
  return isConsoleStream(err);
}

CommandSink::CommandSink(std::ostream& out, std::ostream& err)
    : out_(out), err_(err, errIsTerminal(err)) {}

void CommandSink::showMessage(const Message& message) {
  if (message.kind == MessageKind::Success) {
    out_ << shownText(message.text) << '\n';
  } else {
    err_.showMessage(message);
  }
}

namespace {

long long nowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

TerminalProgress::~TerminalProgress() {
  if (drawn_) out_ << "\r\033[K" << std::flush;
}

void TerminalProgress::started(std::uint64_t totalBytes, std::uint64_t totalFiles) {
  state_.start(totalBytes, totalFiles);
  draw(true);
}

void TerminalProgress::fileStarted(const std::string& source) {
  state_.beginItem(fileNameOf(source));
  draw(false);
}

void TerminalProgress::advanced(std::uint64_t bytesDone, std::uint64_t filesDone) {
  state_.advance(bytesDone, filesDone);
  draw(false);
}

void TerminalProgress::draw(bool force) {
  const long long now = nowMs();
  if (!force && now - lastDraw_ < 100) return;
  lastDraw_ = now;
  drawn_ = true;
  out_ << "\r\033[K" << progressCountsText(state_) << "  " << shownText(state_.currentItem)
       << std::flush;
}

}  // namespace vesk::cli
