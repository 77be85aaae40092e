#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vesk {

// What a finished create tells the operator below its success text.
struct CreateSummary {
  std::size_t entries = 0;
  std::uint64_t files = 0;  // files copied, button images included
  std::uint64_t bytes = 0;
  double seconds = 0;  // the whole create, by a steady clock
  std::size_t warnings = 0;
  std::uint64_t reused = 0;  // of `files`: taken from the earlier package, not copied
  std::uint64_t reusedBytes = 0;
};

// A byte count for people: "512 B" below 1 KB, else one decimal in the largest unit
// of 1024 (KB, MB, GB, TB) that keeps the number below 1024, e.g. "1.2 GB".
std::string byteSizeText(std::uint64_t bytes);

// `value` with one decimal after a point ("1.5"), whatever the C library's number
// format says.
std::string oneDecimal(double value);

// A count with thousands separated by commas: "1,234,567".
std::string groupedNumber(std::uint64_t number);

// A duration: "0.1 秒未満" below a tenth of a second, "3.4 秒" below a minute,
// "2 分 5 秒" below an hour, else "1 時間 2 分 5 秒".
std::string durationText(double seconds);

// The summary line: entries, files, bytes (human readable and exact), time, warnings.
std::string createSummaryText(const CreateSummary& summary);

// The success message of a create: the success text, then the summary on its own line,
// and when files were reused, a line saying how many.
std::string createdMessageText(const CreateSummary& summary);

}  // namespace vesk
