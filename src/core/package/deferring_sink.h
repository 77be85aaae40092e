#pragma once

#include <string>
#include <vector>

#include "messages/message_sink.h"

namespace vesk {

// Holds back the success message of a create made in a working folder until the
// package is in place; passes everything else on at once.
class DeferringSink : public MessageSink {
 public:
  explicit DeferringSink(MessageSink& sink) : sink_(sink) {}
  void showMessage(const Message& message) override {
    if (message.kind == MessageKind::Success) {
      held_.push_back(message);
    } else {
      sink_.showMessage(message);
    }
  }
  bool askYesNo(const std::string& text, DefaultAnswer defaultAnswer) override {
    return sink_.askYesNo(text, defaultAnswer);
  }
  // Shows the held messages, a success message with `successText` when given.
  void release(const std::string& successText = {}) {
    for (auto message : held_) {
      if (message.kind == MessageKind::Success && !successText.empty()) message.text = successText;
      sink_.showMessage(message);
    }
    held_.clear();
  }

 private:
  MessageSink& sink_;
  std::vector<Message> held_;
};

}  // namespace vesk
