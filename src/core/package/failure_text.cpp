#include "package/failure_text.h"

#include <cstdio>

#include "messages/messages.h"

namespace vesk {

std::string writeFailureText(const Failure& failure) {
  switch (failure.code) {
    case FailureCode::UnencodableText: {
      char code[16];
      std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(failure.character));
      return std::string(kUnencodableCharacterMessage) + code + "「" + failure.context + "」";
    }
    case FailureCode::MalformedText:
      return kMalformedTextMessage;
    default:
      return kWriteFailedBefore + failure.path + kWriteFailedAfter +
             systemErrorText(failure.systemError);
  }
}

}  // namespace vesk
