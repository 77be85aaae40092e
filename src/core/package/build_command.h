#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "messages/message_sink.h"
#include "model/entry_list.h"
#include "package/build_progress.h"

namespace vesk {

// Most entries a package holds.
inline constexpr std::size_t kMaxEntries = 99;

// Gives the destination folder for a create, starting at `startPath`; the empty text
// when the operator cancels. Called only after the entry count has been accepted.
using ChooseDestination = std::function<std::string(const std::string& startPath)>;

enum class BuildStatus {
  Refused,              // no entries or more than 99: its message was shown, nothing else happened
  ChooserCancelled,     // the operator cancelled the folder chooser: nothing happened
  Stopped,              // the package builder stopped at a failure or a cancel: no document written
  DocumentFailed,       // the document could not be written: its message was shown
  WrittenWithProblems,  // the document was written, but a problem was reported: no success message
  Written,              // the document was written and the success message shown
};

struct BuildReport {
  BuildStatus status = BuildStatus::Refused;
  std::string documentPath;  // where exhibition.nuv was (to be) written
  std::size_t entryCount = 0;
  std::size_t menuPageCount = 0;
  std::uint64_t filesCopied = 0;  // files copied, button images included
  std::uint64_t bytesCopied = 0;
};

// Turns the entry list into a package: checks the count, asks for the destination,
// rescans every scene's data files (the only change to `list`), lays out the package
// folders, assembles the combined document and writes it as exhibition.nuv.
// `topGroupNames` is emptied and refilled. Every operator-visible message goes to
// `sink`; `progress` may be null. The button images come from `programFolder`, by
// default the folder of the running executable.
//
// A failure is never reported as success: when the package builder stops, no
// document is written (an existing one stays as it was); when a problem was reported
// but the run went on, the document is written without the success message.
BuildReport buildExhibition(EntryList& list, const ChooseDestination& chooseDestination,
                            const std::string& browseStartPath,
                            std::vector<std::string>& topGroupNames, MessageSink& sink,
                            BuildProgress* progress = nullptr,
                            const std::string& programFolder = {});

}  // namespace vesk
