#pragma once

// What the package benchmarks share: a sink that prints only what went wrong, and a
// wall-clock timer.

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "messages/message_sink.h"

namespace vesk::bench {

// Prints every message but the success message to stderr; answers every question No.
class QuietSink : public MessageSink {
 public:
  void showMessage(const Message& message) override {
    if (message.kind != MessageKind::Success) std::fprintf(stderr, "%s\n", message.text.c_str());
  }
  bool askYesNo(const std::string&, DefaultAnswer) override { return false; }
};

// The wall-clock seconds `work` takes.
inline double seconds(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace vesk::bench
