#pragma once

#include <string>
#include <utility>
#include <variant>

namespace vesk {

// What went wrong, as a code; the wording for the operator is added where the
// failure is shown.
enum class FailureCode {
  NotFound,           // nothing at the path, or a part of it is missing
  NotRegularFile,     // a folder or another kind of file where a file was expected
  AlreadyExists,      // something exists where a new file or folder was to be made
  ReadFailed,         // a file could not be opened or read
  WriteFailed,        // a file or folder could not be made or written
  UnencodableText,    // a character code page 932 cannot represent
  MalformedText,      // text that is not UTF-8
  UnreadablePicture,  // no usable size in a picture's header
  Cancelled,          // the caller asked the operation to stop; what it made is removed
  HashUnavailable,    // the SHA-256 library gave no digest: the content cannot be vouched for
};

// One failure of a base or image operation.
struct Failure {
  FailureCode code = FailureCode::ReadFailed;
  std::string path;        // the file or folder concerned; empty for a failure of text
  int systemError = 0;     // errno (GetLastError on Windows); 0 when the system gave none
  char32_t character = 0;  // UnencodableText: the character
  std::string context;     // UnencodableText: the character with up to ten neighbours
                           // of its line on either side
};

// A failure with a code, the path concerned and the system's error number.
inline Failure makeFailure(FailureCode code, std::string path = {}, int systemError = 0) {
  Failure failure;
  failure.code = code;
  failure.path = std::move(path);
  failure.systemError = systemError;
  return failure;
}

// The system's own description of an error number (errno, GetLastError on Windows).
std::string systemErrorText(int systemError);

// The system's error number for memory that could not be had (ENOMEM,
// ERROR_NOT_ENOUGH_MEMORY on Windows), for a failure that ran out of it.
int outOfMemoryError();

// A value or the failure that prevented it.
template <typename T>
class [[nodiscard]] Result {
 public:
  Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
  Result(Failure failure) : state_(std::in_place_index<1>, std::move(failure)) {}

  bool ok() const { return state_.index() == 0; }
  explicit operator bool() const { return ok(); }

  // The value; only when ok().
  T& value() { return std::get<0>(state_); }
  const T& value() const { return std::get<0>(state_); }
  T& operator*() { return value(); }
  const T& operator*() const { return value(); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }
  // The value, or `fallback` on failure.
  T value_or(T fallback) const { return ok() ? value() : std::move(fallback); }

  // The failure; only when !ok().
  const Failure& failure() const { return std::get<1>(state_); }

 private:
  std::variant<T, Failure> state_;
};

// Success without a value, or a failure.
template <>
class [[nodiscard]] Result<void> {
 public:
  Result() = default;
  Result(Failure failure) : failure_(std::move(failure)), ok_(false) {}

  bool ok() const { return ok_; }
  explicit operator bool() const { return ok_; }
  const Failure& failure() const { return failure_; }

 private:
  Failure failure_;
  bool ok_ = true;
};

using Status = Result<void>;

}  // namespace vesk
