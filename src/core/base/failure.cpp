#include "base/failure.h"

#include <cerrno>
#include <system_error>

#ifdef _WIN32
#include <windows.h>

#include "base/file_system.h"
#endif

namespace vesk {

#ifndef _WIN32

std::string systemErrorText(int systemError) {
  return std::generic_category().message(systemError);
}

int outOfMemoryError() {
  return ENOMEM;
}

#else

std::string systemErrorText(int systemError) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(systemError), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring wide(text != nullptr ? text : L"", length);
  LocalFree(text);
  while (!wide.empty() && (wide.back() == L'\n' || wide.back() == L'\r' || wide.back() == L' ')) {
    wide.pop_back();
  }
  return fromFsPath(std::filesystem::path(wide));
}

int outOfMemoryError() {
  return ERROR_NOT_ENOUGH_MEMORY;
}

#endif

}  // namespace vesk
