#include <unistd.h>
#include <filesystem>
#include <iostream>
#include <ostream>
#include <system_error>

#include "commands.h"
#include "generate/build_command.h"
#include "platform/file_system.h"
#include "reimport/package_reimport.h"
#include "stream_sink.h"

namespace vesk::cli {

namespace {

// True when `err` is the process's stderr and that is a terminal.
bool errIsTerminal(const std::ostream& err) {
  return &err == &std::cerr && isatty(2) == 1;
}

// Sends the success message to `out` and every other message to `err`.
class BuildSink : public MessageSink {
 public:
  BuildSink(std::ostream& out, std::ostream& err) : out_(out), err_(err, errIsTerminal(err)) {}
  void showMessage(const std::string& text) override {
    if (text == kCreatedMessage) {
      out_ << text << '\n';
    } else {
      err_.showMessage(text);
    }
  }
  bool askYesNo(const std::string& text) override { return err_.askYesNo(text); }

 private:
  std::ostream& out_;
  StreamSink err_;
};

}  // namespace

int runBuild(const BuildOptions& options, std::ostream& out, std::ostream& err) {
  BuildSink sink(out, err);
  EntryList list;
  if (!options.fromPackage.empty()) {
    if (!pathExists(options.fromPackage)) {
      err << "エラー　" << options.fromPackage << " が見つかりません\n";
      return 1;
    }
    reimportPackage(options.fromPackage, list, sink);
  }
  for (const auto& triple : options.entries) {
    list.workingEntry() = ExhibitionEntry{triple.at(0), triple.at(1), triple.at(2), {}};
    list.appendWorkingEntry();
  }

  // The destination is made only once the entry count has been accepted.
  const auto chooseDestination = [&](const std::string&) -> std::string {
    std::error_code ec;
    std::filesystem::create_directories(toFsPath(options.destination), ec);
    if (ec || !isDirectory(options.destination)) {
      err << "エラー　保存先フォルダを作成できませんでした: " << options.destination << '\n';
      return {};
    }
    return options.destination;
  };

  std::vector<std::string> topGroupNames;
  std::unique_ptr<TerminalProgress> progress;
  if (errIsTerminal(err)) progress = std::make_unique<TerminalProgress>(err);
  const BuildReport report = buildExhibition(list, chooseDestination, {}, topGroupNames, sink,
                                             progress.get(), options.programDir);
  return report.status == BuildStatus::Written ? 0 : 1;
}

}  // namespace vesk::cli
