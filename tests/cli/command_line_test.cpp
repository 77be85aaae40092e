// How vesk-cli answers a command line it cannot follow, and its help: in Japanese,
// naming what is wrong, exit status 2.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli.h"

namespace vesk {
namespace {

struct Outcome {
  int status;
  std::string out, err;
};

Outcome run(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int status = cli::run(args, out, err);
  return {status, out.str(), err.str()};
}

TEST(CommandLine, SaysInJapaneseWhatIsWrongWithIt) {
  const std::string help = "使い方は vesk-cli --help で表示できます\n";
  const struct {
    std::vector<std::string> args;
    std::string err;
  } cases[] = {
      {{},
       "エラー　サブコマンド（probe、build、check、demo、reimport、verify、report）を指定してくださ"
       "い\n"},
      {{"verify"}, "エラー　PACKAGE_DOC を指定してください\n"},
      {{"build", "--entry", "a.nuv", "t.jpg", "d.jpg"}, "エラー　--dest を指定してください\n"},
      {{"check", "--dest", "", "--entry", "a.nuv", "t.jpg", "d.jpg"},
       "エラー　--dest を指定してください\n"},
      {{"demo", ""}, "エラー　DIR を指定してください\n"},
      {{"check", "--dest", "x", "--entry", "a.nuv", "t.jpg"},
       "エラー　--entry にはシーン、サムネイル、説明画像の三つのパスを指定してください\n"},
      {{"verify", "a.nuv", "b.nuv", "c.nuv"}, "エラー　次の引数は使えません: b.nuv c.nuv\n"},
      {{"build", "--entry"},
       "エラー　--entry にはシーン、サムネイル、説明画像の三つのパスを指定してください\n"},
      {{"build", "--dest", "x", "--entry", "a", "b", "c", "--entry"},
       "エラー　--entry にはシーン、サムネイル、説明画像の三つのパスを指定してください\n"},
      {{"verify", "--quick=maybe", "a.nuv"}, "エラー　--quick には値を付けられません\n"},
      {{"build", "--dest", "x", "--nope"}, "エラー　次の引数は使えません: --nope\n"},
      {{"report", "a.nuv", "--out"}, "エラー　--out に渡す値の数が正しくありません\n"},
      {{"check", "--dest", "x", "--dest", "y"}, "エラー　--dest は一度だけ指定できます\n"},
      // A word that is no subcommand is answered with the list of those there are.
      {{"unknown"},
       "エラー　サブコマンド（probe、build、check、demo、reimport、verify、report）を指定してくださ"
       "い\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args));
    const Outcome result = run(c.args);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err, c.err + help);
    EXPECT_EQ(result.out, "");
  }
}

TEST(CommandLine, HelpIsInJapaneseWithItsColumnsInLine) {
  const Outcome result = run({"build", "--help"});
  EXPECT_EQ(result.status, 0);
  EXPECT_NE(result.out.find("使い方: vesk-cli build [オプション]\n"), std::string::npos)
      << result.out;
  // Value names stay ASCII, so every description starts in the same column.
  EXPECT_NE(result.out.find("  --dest FOLDER               保存先フォルダ"), std::string::npos)
      << result.out;
  EXPECT_NE(result.out.find("  --report                    パッケージの"), std::string::npos)
      << result.out;
}

}  // namespace
}  // namespace vesk
