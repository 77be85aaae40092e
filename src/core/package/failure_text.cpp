#include "package/failure_text.h"

#include <cstdio>

#include "messages/message_template.h"
#include "messages/messages.h"
#include "package/failure_reason.h"

namespace vesk {

std::string writeFailureText(const Failure& failure) {
  switch (failure.code) {
    case FailureCode::UnencodableText:
      return fillTemplate(
          kUnencodableCharacterMessage,
          {{"character", codePointText(failure.character)}, {"context", failure.context}});
    case FailureCode::MalformedText:
      return kMalformedTextMessage;
    default:
      return fillTemplate(kWriteFailedMessage,
                          {{"path", failure.path}, {"reason", systemReason(failure.systemError)}});
  }
}

std::string codePointText(char32_t character) {
  char code[16];
  std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(character));
  return code;
}

}  // namespace vesk
