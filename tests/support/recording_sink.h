#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "messages/message_sink.h"
#include "messages/messages.h"

namespace vesk::test {

// Records every message with its kind and answers questions from a script (No when
// it runs out; with `failOnUnscriptedQuestion` such a question also fails the test).
class RecordingSink : public MessageSink {
 public:
  void showMessage(const Message& message) override {
    messages.push_back(message.text);
    kinds.push_back(message.kind);
  }
  bool askYesNo(const std::string& text, DefaultAnswer defaultAnswer) override {
    questions.push_back(text);
    questionDefaults.push_back(defaultAnswer);
    if (answers.empty()) {
      if (failOnUnscriptedQuestion) ADD_FAILURE() << "unexpected question: " << text;
      return false;
    }
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
  }

  std::vector<std::string> messages;
  std::vector<MessageKind> kinds;  // of each message, in the same order
  std::vector<std::string> questions;
  std::vector<DefaultAnswer> questionDefaults;  // of each question, in the same order
  std::deque<bool> answers;
  bool failOnUnscriptedQuestion = false;
};

// A recording sink that fails the test on a question it has no answer for.
class StrictRecordingSink : public RecordingSink {
 public:
  StrictRecordingSink() { failOnUnscriptedQuestion = true; }
};

// The messages with the summary that follows a create's success text left out, so
// that a test can compare the messages of a create whole.
inline std::vector<std::string> withoutSummary(std::vector<std::string> messages) {
  const std::string created = std::string(kCreatedMessage) + "\n";
  for (auto& message : messages) {
    if (message.rfind(created, 0) == 0) message.resize(created.size() - 1);
  }
  return messages;
}

}  // namespace vesk::test
