#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/wait.h>
#endif

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "cli.h"
#include "support/picture_files.h"
#include "support/temp_dir.h"

namespace vesk {
namespace {

struct CliResult {
  int status;
  std::string out;
  std::string err;
};

CliResult runCli(const std::vector<std::string>& args) {
  std::ostringstream out;
  std::ostringstream err;
  const int status = cli::run(args, out, err);
  return {status, out.str(), err.str()};
}

const std::string kUp = std::string(VESK_DATA_DIR) + "/up.jpg";

TEST(ProbeCommand, PrintsWidthAndHeightOfTheButtonImage) {
  const CliResult result = runCli({"probe", kUp});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, kUp + "\t238\t95\n");
  EXPECT_EQ(result.err, "");
}

TEST(ProbeCommand, PrintsOneLineForEveryFileInOrderAndFailsWhenOneIsUnreadable) {
  test::TempDir folder;
  const std::string portrait = test::testPicture("portrait-36x52.png");
  const std::string damaged = folder.write("damaged.JPG", "\xFF\xD8\xFF\xD9");
  const std::string notes = folder.write("notes.txt", "not a picture");
  const std::string missing = folder.file("missing.bmp");
  const std::string noExtension = folder.file("README");

  const CliResult mixed = runCli({"probe", portrait, damaged, notes, missing, noExtension, kUp});
  EXPECT_EQ(mixed.status, 1);
  EXPECT_EQ(mixed.out, portrait + "\t36\t52\n" + damaged + "\tunreadable\n" + notes +
                           "\tskipped\n" + missing + "\tunreadable\n" + noExtension +
                           "\tskipped\n" + kUp + "\t238\t95\n");

  const CliResult skippedOnly = runCli({"probe", notes, noExtension});
  EXPECT_EQ(skippedOnly.status, 0);
  EXPECT_EQ(skippedOnly.out, notes + "\tskipped\n" + noExtension + "\tskipped\n");
}

TEST(ProbeCommand, UsageErrorsGiveStatusTwoAndAMessageOnTheErrorStream) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {}, {"probe"}, {"probe", "--colour", kUp}, {"measure", kUp}}) {
    const CliResult result = runCli(args);
    const std::string label = args.empty() ? "(no arguments)" : args[0] + " ...";
    EXPECT_EQ(result.status, 2) << label;
    EXPECT_EQ(result.out, "") << label;
    EXPECT_NE(result.err.find("使い方は vesk-cli --help で表示できます"), std::string::npos)
        << label;
  }
}

TEST(ProbeCommand, HelpGoesToStandardOutputWithStatusZero) {
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"--help"}, {"probe", "--help"}}) {
    const CliResult result = runCli(args);
    EXPECT_EQ(result.status, 0) << args.size();
    EXPECT_NE(result.out.find("画像のピクセル寸法を表示します"), std::string::npos);
    EXPECT_EQ(result.err, "");
  }
}

#ifdef _WIN32
std::string shellQuoted(const std::string& text) {
  return "\"" + text + "\"";
}
// cmd.exe wants the program's path with backslashes, and drops the quotes around the
// whole command line.
std::string shellCommand(std::string program, const std::string& arguments) {
  std::replace(program.begin(), program.end(), '/', '\\');
  std::string command = "\"";  // built by appends: GCC 12 misreads the chained form (-Wrestrict)
  command += shellQuoted(program);
  command += ' ';
  command += arguments;
  command += '"';
  return command;
}
int exitStatus(int status) {
  return status;
}
#else
std::string shellQuoted(const std::string& text) {
  return "'" + text + "'";
}
std::string shellCommand(const std::string& program, const std::string& arguments) {
  return shellQuoted(program) + " " + arguments;
}
int exitStatus(int status) {
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
#endif

TEST(ProbeCommand, TheBuiltProgramGivesTheSameLinesAndExitStatus) {
  test::TempDir folder;
  const std::string output = folder.file("out.txt");
  const std::string command = shellCommand(VESK_CLI_PATH, "probe " + shellQuoted(kUp) + " " +
                                                              shellQuoted(folder.file("gone.png")) +
                                                              " > " + shellQuoted(output));
  const int status = std::system(command.c_str());
  EXPECT_EQ(exitStatus(status), 1) << command;
  EXPECT_EQ(test::readFile(output),
            kUp + "\t238\t95\n" + folder.file("gone.png") + "\tunreadable\n");
}

}  // namespace
}  // namespace vesk
