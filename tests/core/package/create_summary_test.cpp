#include "package/create_summary.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <vector>

#include "messages/messages.h"

namespace vesk {
namespace {

TEST(CreateSummary, ByteSizesReadAsPeopleWriteThem) {
  const std::vector<std::pair<std::uint64_t, std::string>> cases = {
      {0, "0 B"},
      {1023, "1023 B"},
      {1024, "1.0 KB"},
      {1536, "1.5 KB"},
      {1048524, "1023.9 KB"},
      {1048575, "1.0 MB"},  // would show as 1024.0 KB
      {1288490189, "1.2 GB"},
      {5ull << 40, "5.0 TB"},
      {5000ull << 40, "5000.0 TB"},  // no larger unit
  };
  for (const auto& [bytes, text] : cases) EXPECT_EQ(byteSizeText(bytes), text) << bytes;
}

// The dialogs set the C library's locale to the system's, whose number format may
// write a decimal comma; the summary's numbers keep their point.
TEST(CreateSummary, DecimalsKeepTheirPointWhateverTheNumberFormat) {
  const std::string before = std::setlocale(LC_NUMERIC, nullptr);
  bool comma = false;
  for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8", "de_DE", "German"}) {
    if (std::setlocale(LC_NUMERIC, name) != nullptr) {
      comma = std::localeconv()->decimal_point[0] == ',';
      break;
    }
  }
  if (comma) {
    EXPECT_EQ(byteSizeText(1536), "1.5 KB");
    EXPECT_EQ(oneDecimal(3.45), "3.5");
  }
  std::setlocale(LC_NUMERIC, before.c_str());
  if (!comma) GTEST_SKIP() << "no locale with a decimal comma is installed";
}

TEST(CreateSummary, NumbersAreGroupedByThousands) {
  const std::vector<std::pair<std::uint64_t, std::string>> cases = {
      {0, "0"}, {999, "999"}, {1000, "1,000"}, {123456, "123,456"}, {1234567890, "1,234,567,890"}};
  for (const auto& [number, text] : cases) EXPECT_EQ(groupedNumber(number), text);
}

TEST(CreateSummary, DurationsInSecondsMinutesAndHours) {
  const std::vector<std::pair<double, std::string>> cases = {
      {0, "0.1 秒未満"},    {0.099, "0.1 秒未満"},      {0.1, "0.1 秒"},
      {2.345, "2.3 秒"},    {59.94, "59.9 秒"},         {59.96, "1 分 0 秒"},
      {125.4, "2 分 5 秒"}, {3725, "1 時間 2 分 5 秒"}, {-1, "0.1 秒未満"},
  };
  for (const auto& [seconds, text] : cases) EXPECT_EQ(durationText(seconds), text) << seconds;
}

TEST(CreateSummary, TheSuccessMessageKeepsItsFirstLine) {
  const std::string text = createdMessageText({3, 15, 1288490189, 2.31, 2});
  EXPECT_EQ(text, std::string(kCreatedMessage) +
                      "\n項目 3 件、ファイル 15 個、容量 1.2 GB（1,288,490,189 バイト）、"
                      "所要時間 2.3 秒、警告 2 件");
}

}  // namespace
}  // namespace vesk
