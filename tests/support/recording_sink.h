#pragma once

#include <string>
#include <vector>

#include "base/message_sink.h"

namespace vesk::test {

// Records every message and answers questions from a queue (No when it runs out).
class RecordingSink : public MessageSink {
 public:
  void showMessage(const std::string& text) override { messages.push_back(text); }
  bool askYesNo(const std::string& text) override {
    questions.push_back(text);
    if (answers.empty()) return false;
    const bool answer = answers.front();
    answers.erase(answers.begin());
    return answer;
  }

  std::vector<std::string> messages;
  std::vector<std::string> questions;
  std::vector<bool> answers;
};

}  // namespace vesk::test
