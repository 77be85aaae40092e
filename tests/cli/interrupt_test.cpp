// vesk-cli as the operator runs it, interrupted by a signal while it copies a large
// file: it stops within seconds, says that the create was cancelled, exits by that
// signal and leaves the earlier package in the destination as it was.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "interrupt_guard.h"
#include "messages/messages.h"
#include "support/temp_dir.h"

namespace vesk {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const std::string kPictures = std::string(VESK_TEST_DATA_DIR) + "/pictures/";

#ifndef _WIN32

// Every file below `folder` with its size, one line each, sorted.
std::vector<std::string> treeOf(const fs::path& folder) {
  std::vector<std::string> lines;
  std::error_code ec;
  for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const auto relative = it->path().lexically_relative(folder).generic_string();
    lines.push_back(relative +
                    (it->is_regular_file() ? " " + std::to_string(it->file_size()) : "/"));
  }
  std::sort(lines.begin(), lines.end());
  return lines;
}

// True once a copy of the large data file has bytes somewhere below `destination`
// (the earlier package's own v.raw holds 10).
bool copyBegun(const fs::path& destination) {
  std::error_code ec;
  for (fs::recursive_directory_iterator it(destination, ec), end; !ec && it != end;
       it.increment(ec)) {
    if (it->path().filename() == "v.raw" && it->is_regular_file(ec) && it->file_size(ec) > 10 &&
        !ec) {
      return true;
    }
  }
  return false;
}

struct Child {
  pid_t pid = -1;
};

// Starts vesk-cli with `args`, its stderr into `errPath`.
Child start(const std::vector<std::string>& args, const std::string& errPath) {
  std::vector<char*> argv;
  std::string program = VESK_CLI_PATH;
  argv.push_back(program.data());
  std::vector<std::string> copies = args;
  for (auto& arg : copies) argv.push_back(arg.data());
  argv.push_back(nullptr);
  Child child;
  child.pid = ::fork();
  if (child.pid == 0) {
    const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ::dup2(err, 2);
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, 1);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  return child;
}

// Waits for the child at most `limit`; kills it after that. The wait status, or -1.
int waitFor(const Child& child, std::chrono::seconds limit) {
  const auto deadline = Clock::now() + limit;
  int status = 0;
  while (Clock::now() < deadline) {
    if (::waitpid(child.pid, &status, WNOHANG) == child.pid) return status;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ::kill(child.pid, SIGKILL);
  ::waitpid(child.pid, &status, 0);
  return -1;
}

#endif

class CliInterrupt : public ::testing::Test {
 protected:
  // The arguments of a build into D of one entry whose data file has `dataBytes`.
  std::vector<std::string> buildArgs(const std::string& name, std::uintmax_t dataBytes) {
    const std::string folder = "src/" + name + "/";
    dir.write(folder + name + ".nuv",
              "<data name=\"v\"><file path=\"v.raw\" /></data>\r\n<drawGroup name=\"Surface\" "
              "></drawGroup>\r\n");
    dir.write(folder + "v.raw", "");
    // Sparse: a large file costs no disk until it is copied.
    fs::resize_file(dir.file(folder + "v.raw"), dataBytes);
    dir.copyFrom(kPictures + "landscape-320x240.jpg", folder + "t.jpg");
    dir.copyFrom(kPictures + "portrait-480x640.png", folder + "d.png");
    return {"build",
            "--dest",
            dir.file("D"),
            "--program-dir",
            VESK_PROGRAM_DIR,
            "--replace",
            "--entry",
            dir.file(folder + name + ".nuv"),
            dir.file(folder + "t.jpg"),
            dir.file(folder + "d.png")};
  }

  test::TempDir dir;
};

TEST_F(CliInterrupt, ASignalDuringALargeCopyCancelsTheReplaceAndKeepsTheEarlierPackage) {
#ifdef _WIN32
  GTEST_SKIP() << "POSIX signals; the console's events are sent by a console only";
#else
  struct Case {
    const char* label;
    int signal;
  };
  const Case cases[] = {{"SIGINT", SIGINT}, {"SIGTERM", SIGTERM}, {"SIGHUP", SIGHUP}};
  // The earlier package, small.
  const Child first = start(buildArgs("small", 10), dir.file("first.err"));
  ASSERT_EQ(waitFor(first, std::chrono::seconds(60)), 0) << dir.read("first.err");
  const std::vector<std::string> before = treeOf(dir.file("D"));
  const std::string document = dir.read("D/exhibition.nuv");

  // 2 GiB: far more than a copy of a few seconds' wait gets through.
  const std::vector<std::string> args = buildArgs("large", std::uintmax_t{2} << 30);
  for (const Case& c : cases) {
    const Child child = start(args, dir.file("build.err"));
    // The signal comes once the large copy has begun, wherever the run builds.
    const auto deadline = Clock::now() + std::chrono::seconds(60);
    while (!copyBegun(dir.file("D")) && Clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_TRUE(copyBegun(dir.file("D"))) << c.label << ": the copy never began";
    ::kill(child.pid, c.signal);
    // Seconds, not a measure: the latency itself is bench-cancel's.
    const int status = waitFor(child, std::chrono::seconds(20));
    ASSERT_NE(status, -1) << c.label << ": still running 20 s after the signal";
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.signal) << c.label << " " << status;
    const std::string err = dir.read("build.err");
    EXPECT_NE(err.find(kReplaceCancelledMessage), std::string::npos) << c.label << ": " << err;
    EXPECT_EQ(treeOf(dir.file("D")), before) << c.label;
    EXPECT_EQ(dir.read("D/exhibition.nuv"), document) << c.label;
  }
#endif
}

#ifndef _WIN32
// A signal delivered twice at once, as a wrapper such as timeout passes it on to its
// process group too, is one request to stop: the run still ends in order.
TEST(InterruptGuardSignals, TheSameSignalTwiceAtOnceIsOneRequest) {
  cli::InterruptGuard guard(nullptr);
  ::raise(SIGINT);
  ::raise(SIGINT);  // without the guard's answer, the test program would end here
  EXPECT_TRUE(guard.cancelRequested());
  EXPECT_EQ(guard.signal(), SIGINT);
}
#endif

}  // namespace
}  // namespace vesk
