#include "stream_sink.h"

#include <chrono>
#include <cstdio>
#include <ostream>

#include "base/path_terms.h"
#include "console_stream.h"

namespace vesk::cli {

void StreamSink::showMessage(const Message& message) {
  if (onTerminal_) out_ << "\r\033[K";
  out_ << message.text << '\n';
  out_.flush();
  ++count_;
}

bool StreamSink::askYesNo(const std::string& text, DefaultAnswer) {
  out_ << text << " [No]\n";
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
    out_ << message.text << '\n';
  } else {
    err_.showMessage(message);
  }
}

namespace {

std::string humanBytes(std::uint64_t bytes) {
  const char* units[] = {"B", "KiB", "MiB", "GiB", "TiB"};
  double value = static_cast<double>(bytes);
  int unit = 0;
  while (value >= 1024 && unit < 4) {
    value /= 1024;
    ++unit;
  }
  char text[32];
  std::snprintf(text, sizeof text, unit == 0 ? "%.0f %s" : "%.1f %s", value, units[unit]);
  return text;
}

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
  totalBytes_ = totalBytes;
  totalFiles_ = totalFiles;
  draw(true);
}

void TerminalProgress::fileStarted(const std::string& source) {
  current_ = fileNameOf(source);
  draw(false);
}

void TerminalProgress::advanced(std::uint64_t bytesDone, std::uint64_t filesDone) {
  bytes_ = bytesDone;
  files_ = filesDone;
  draw(false);
}

void TerminalProgress::draw(bool force) {
  const long long now = nowMs();
  if (!force && now - lastDraw_ < 100) return;
  lastDraw_ = now;
  drawn_ = true;
  out_ << "\r\033[K" << files_ << '/' << totalFiles_ << " files, " << humanBytes(bytes_) << " / "
       << humanBytes(totalBytes_) << "  " << current_ << std::flush;
}

}  // namespace vesk::cli
