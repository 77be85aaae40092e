#include "console_stream.h"

#include <cstdio>

#include "base/utf8.h"

#include <iostream>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace vesk::cli {

std::size_t completeUtf8Length(std::string_view bytes) {
  // Only the last three bytes can belong to an unfinished sequence.
  const std::size_t size = bytes.size();
  for (std::size_t back = 1; back <= 3 && back <= size; ++back) {
    const auto c = static_cast<unsigned char>(bytes[size - back]);
    if ((c & 0xC0) == 0x80) continue;  // a continuation byte: look further back
    const std::size_t length = c >= 0xF0 && c < 0xF8 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    return length > back ? size - back : size;
  }
  return size;
}

std::string shownText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  char code[8];
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if ((byte < 0x20 && byte != '\n' && byte != '\t') || byte == 0x7F) {
      std::snprintf(code, sizeof code, "\\x%02X", byte);
      out += code;
    } else if (byte == 0xC2 && i + 1 < text.size() &&
               static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
               static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
      std::snprintf(code, sizeof code, "\\u%04X", static_cast<unsigned char>(text[++i]));
      out += code;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string withoutEscapeSequences(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\033' && i + 1 < text.size() && text[i + 1] == '[') {
      std::size_t j = i + 2;
      while (j < text.size() && !(text[j] >= '@' && text[j] <= '~')) ++j;
      i = j;
      continue;
    }
    out += text[i];
  }
  return out;
}

#ifdef _WIN32

ConsoleStreamBuf::ConsoleStreamBuf(unsigned long which) : handle_(GetStdHandle(which)) {
  DWORD mode = 0;
  if (handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE && GetConsoleMode(handle_, &mode)) {
    console_ = true;
    escapes_ = (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0 ||
               SetConsoleMode(handle_, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != FALSE;
  }
}

ConsoleStreamBuf::~ConsoleStreamBuf() {
  flush(true);
}

ConsoleStreamBuf::int_type ConsoleStreamBuf::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  pending_ += traits_type::to_char_type(c);
  if (c == '\n' || pending_.size() >= 4096) flush(false);
  return c;
}

std::streamsize ConsoleStreamBuf::xsputn(const char* data, std::streamsize size) {
  pending_.append(data, static_cast<std::size_t>(size));
  if (pending_.find('\n') != std::string::npos || pending_.size() >= 4096) flush(false);
  return size;
}

int ConsoleStreamBuf::sync() {
  return flush(false) && !failed_ ? 0 : -1;
}

bool ConsoleStreamBuf::flush(bool all) {
  if (handle_ == nullptr || handle_ == INVALID_HANDLE_VALUE) {
    pending_.clear();
    failed_ = true;
    return false;
  }
  // A character split between two writes waits for its last bytes.
  const std::size_t ready = all ? pending_.size() : completeUtf8Length(pending_);
  if (ready == 0) return true;
  const std::string_view bytes(pending_.data(), ready);
  bool ok = true;
  if (console_) {
    const std::wstring wide = widen(escapes_ ? std::string(bytes) : withoutEscapeSequences(bytes));
    DWORD written = 0;
    ok = wide.empty() || WriteConsoleW(handle_, wide.data(), static_cast<DWORD>(wide.size()),
                                       &written, nullptr) != FALSE;
  } else {
    std::string_view rest = bytes;
    while (ok && !rest.empty()) {
      DWORD written = 0;
      ok = WriteFile(handle_, rest.data(), static_cast<DWORD>(rest.size()), &written, nullptr) !=
           FALSE;
      rest.remove_prefix(written);
    }
  }
  pending_.erase(0, ready);
  if (!ok) failed_ = true;
  return ok;
}

bool isConsoleStream(const std::ostream& stream) {
  const auto* buffer = dynamic_cast<const ConsoleStreamBuf*>(stream.rdbuf());
  return buffer != nullptr && buffer->isConsole();
}

#else

bool isConsoleStream(const std::ostream& stream) {
  return &stream == &std::cerr && isatty(2) == 1;
}

#endif

}  // namespace vesk::cli
