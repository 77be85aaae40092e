#pragma once

#include <cstddef>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>

namespace vesk::cli {

// The length of the longest prefix of `bytes` that does not end inside a UTF-8
// sequence: the rest waits for the bytes that complete it. Bytes that cannot start
// or continue a sequence count as complete, so that they are never held back.
std::size_t completeUtf8Length(std::string_view bytes);

// `text` as a terminal shows it safely: every control character but the line feed and
// the tab (C0, DEL and the C1 characters, which a name may hold and a terminal would
// act on) written out as "\x1B" or "\u009B"; everything else as it is.
std::string shownText(std::string_view text);

// `text` without its terminal control sequences (ESC [ ... final letter), for a
// console that does not interpret them.
std::string withoutEscapeSequences(std::string_view text);

#ifdef _WIN32
// A stream buffer over a standard handle of a Windows process. On a console it
// writes UTF-16 with WriteConsoleW, so that Japanese text reads right whatever the
// console's code page; redirected to a file or a pipe it writes the UTF-8 bytes
// unchanged. A write that fails (a full disk, a closed pipe) makes every later sync
// fail, so that the stream's flush reports it.
class ConsoleStreamBuf : public std::streambuf {
 public:
  // `which`: STD_OUTPUT_HANDLE or STD_ERROR_HANDLE.
  explicit ConsoleStreamBuf(unsigned long which);
  ~ConsoleStreamBuf() override;

  bool isConsole() const { return console_; }

 protected:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char* data, std::streamsize size) override;
  int sync() override;

 private:
  bool flush(bool all);

  void* handle_;
  bool console_ = false;
  bool escapes_ = false;  // the console interprets control sequences
  bool failed_ = false;   // a write failed: every later sync reports it
  std::string pending_;
};
#endif

// True when `stream` writes to a console or a terminal that shows a rewritten
// progress line.
bool isConsoleStream(const std::ostream& stream);

}  // namespace vesk::cli
