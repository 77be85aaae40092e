#include "package/create_summary.h"

#include <array>
#include <charconv>
#include <cmath>
#include <system_error>

#include "messages/message_template.h"
#include "messages/messages.h"

namespace vesk {

std::string byteSizeText(std::uint64_t bytes) {
  if (bytes < 1024) return std::to_string(bytes) + " B";
  static constexpr std::array<const char*, 4> kUnits = {"KB", "MB", "GB", "TB"};
  double value = static_cast<double>(bytes) / 1024.0;
  std::size_t unit = 0;
  // Step up while the shown (rounded) value would reach 1024.
  while (unit + 1 < kUnits.size() && std::round(value * 10.0) / 10.0 >= 1024.0) {
    value /= 1024.0;
    ++unit;
  }
  return oneDecimal(value) + " " + kUnits[unit];
}

std::string oneDecimal(double value) {
  // Not printf, whose decimal point follows the C library's number format (a comma
  // where the system's settings say so).
  char text[64];
  const auto written = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 1);
  return written.ec == std::errc() ? std::string(text, written.ptr) : std::string("?");
}

std::string groupedNumber(std::uint64_t number) {
  const std::string digits = std::to_string(number);
  std::string text;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) text += ',';
    text += digits[i];
  }
  return text;
}

std::string durationText(double seconds) {
  // A run too short to show in tenths says so instead of "0.0".
  if (!(seconds >= 0.1)) return kDurationUnderATenth;
  if (seconds < 59.95) {
    return fillTemplate(kDurationSeconds, {{"seconds", oneDecimal(seconds)}});
  }
  const auto whole = static_cast<unsigned long long>(std::llround(seconds));
  const std::string hours = std::to_string(whole / 3600);
  const std::string minutes = std::to_string(whole / 60 % 60);
  const std::string rest = std::to_string(whole % 60);
  if (whole < 3600)
    return fillTemplate(kDurationMinutes, {{"minutes", minutes}, {"seconds", rest}});
  return fillTemplate(kDurationHours, {{"hours", hours}, {"minutes", minutes}, {"seconds", rest}});
}

std::string createSummaryText(const CreateSummary& summary) {
  return fillTemplate(kCreateSummary, {{"entries", groupedNumber(summary.entries)},
                                       {"files", groupedNumber(summary.files)},
                                       {"size", byteSizeText(summary.bytes)},
                                       {"bytes", groupedNumber(summary.bytes)},
                                       {"time", durationText(summary.seconds)},
                                       {"warnings", groupedNumber(summary.warnings)}});
}

std::string createdMessageText(const CreateSummary& summary) {
  std::string text = std::string(kCreatedMessage) + "\n" + createSummaryText(summary);
  if (summary.reused > 0) {
    text += '\n';
    text += fillTemplate(kSummaryReused, {{"count", groupedNumber(summary.reused)},
                                          {"bytes", byteSizeText(summary.reusedBytes)}});
  }
  return text;
}

}  // namespace vesk
