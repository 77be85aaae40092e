#include "console_stream.h"

#include <gtest/gtest.h>

#include <string>

#include "messages/messages.h"
#include "support/temp_dir.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace vesk::cli {
namespace {

TEST(ConsoleStream, HoldsBackOnlyASequenceCutAtTheEnd) {
  const struct {
    std::string bytes;
    std::size_t complete;
  } cases[] = {
      {"", 0},
      {"abc", 3},
      {"a\xE3\x81\x82", 4},             // あ complete
      {"a\xE3\x81", 1},                 // あ without its last byte
      {"a\xE3", 1},                     // only the lead byte
      {"\xF0\x9F\x98", 0},              // 😀 without its last byte
      {"\xF0\x9F\x98\x80", 4},          // 😀 complete
      {"a\xC3", 1},                     // two-byte lead at the end
      {"a\x80\x80\x80", 4},             // stray continuation bytes are let through
      {"\xE3\x81\x82\xE3\x81\x84", 6},  // two complete characters
  };
  for (const auto& c : cases) {
    EXPECT_EQ(completeUtf8Length(c.bytes), c.complete) << testing::PrintToString(c.bytes);
  }
}

TEST(ConsoleStream, DropsTerminalControlSequencesOnly) {
  EXPECT_EQ(withoutEscapeSequences("\r\033[K3/9 files"), "\r3/9 files");
  EXPECT_EQ(withoutEscapeSequences("a\033[2;5Hb\033[0mc"), "abc");
  EXPECT_EQ(withoutEscapeSequences("展示\033"), "展示\033");
}

// A name may hold what a terminal acts on: shown written out, the rest as it is.
TEST(ConsoleStream, ShowsControlCharactersWrittenOut) {
  const std::pair<std::string, std::string> cases[] = {
      {"a\033[2Jb", "a\\x1B[2Jb"},
      {"bell\a, return\r, delete\x7F", "bell\\x07, return\\x0D, delete\\x7F"},
      {"c1 \xC2\x9B"
       "31m",
       "c1 \\u009B31m"},
      {"展示\t01\n\xC2\xA0", "展示\t01\n\xC2\xA0"},  // a tab, a line feed, a no-break space
  };
  for (const auto& [given, shown] : cases) EXPECT_EQ(shownText(given), shown);
}

#ifdef _WIN32
std::wstring wide(const std::string& text) {
  std::wstring result(text.size(), L'\0');
  result.resize(static_cast<std::size_t>(
      MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(),
                          static_cast<int>(result.size()))));
  return result;
}

// Runs vesk-cli with `arguments` (already quoted) and the given standard handles;
// returns its exit status.
DWORD runCli(const std::wstring& arguments, HANDLE out, HANDLE err) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = out;
  startup.hStdError = err;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  std::wstring commandLine = L"\"" + wide(VESK_CLI_PATH) + L"\" " + arguments;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return 98;
  }
  WaitForSingleObject(process.hProcess, 60000);
  DWORD status = 99;
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return status;
}

// The program itself, started with a Japanese path on its wide command line and its
// output redirected: the path arrives whole and comes back as UTF-8 bytes.
TEST(ConsoleStream, JapaneseArgumentsArriveWholeAndRedirectedOutputIsUtf8) {
  test::TempDir dir;
  dir.copyFrom(std::string(VESK_DATA_DIR) + "/up.jpg", "画像フォルダ/上ボタン.jpg");
  const std::string picture = dir.file("画像フォルダ/上ボタン.jpg");
  const std::string output = dir.file("出力.txt");

  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  const HANDLE out = CreateFileW(wide(output).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                 CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(out, INVALID_HANDLE_VALUE);
  const DWORD status = runCli(L"probe \"" + wide(picture) + L"\"", out, out);
  CloseHandle(out);

  EXPECT_EQ(status, 0u);
  EXPECT_EQ(dir.read("出力.txt"), picture + "\t238\t95\n");
}

// Output that cannot be written (here a pipe nobody reads) fails the run, as on POSIX.
TEST(ConsoleStream, OutputThatCannotBeWrittenFailsTheRun) {
  test::TempDir dir;
  dir.copyFrom(std::string(VESK_DATA_DIR) + "/up.jpg", "up.jpg");
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  ASSERT_TRUE(CreatePipe(&readEnd, &writeEnd, &inherit, 0));
  CloseHandle(readEnd);
  const HANDLE err = CreateFileW(wide(dir.file("err.txt")).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                 &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(err, INVALID_HANDLE_VALUE);
  const DWORD status = runCli(L"probe \"" + wide(dir.file("up.jpg")) + L"\"", writeEnd, err);
  CloseHandle(writeEnd);
  CloseHandle(err);

  EXPECT_EQ(status, 1u);
  EXPECT_NE(dir.read("err.txt").find(kOutputFailedMessage), std::string::npos)
      << dir.read("err.txt");
}
#endif

}  // namespace
}  // namespace vesk::cli
