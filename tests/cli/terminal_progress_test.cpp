#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "stream_sink.h"

namespace vesk::cli {
namespace {

TEST(TerminalProgress, DrawsTheDialogsCountsAndClearsItsLineAtTheEnd) {
  std::ostringstream out;
  {
    TerminalProgress progress(out);
    progress.started(1048575, 1234);
    EXPECT_EQ(out.str(), "\r\033[K0 B / 1.0 MB　0 / 1,234 ファイル  ");
    out.str("");
  }
  EXPECT_EQ(out.str(), "\r\033[K");
}

}  // namespace
}  // namespace vesk::cli
