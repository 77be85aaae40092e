#include "package/replace_journal.h"

#include <algorithm>
#include <cstdint>
#include <sstream>
#include <vector>

#include "base/atomic_file.h"
#include "base/file_system.h"
#include "base/path_terms.h"
#include "package/package_layout.h"

namespace vesk {

namespace {

constexpr const char* kHeading = "Vesk replace journal 1";

std::string journalPath(const std::string& folder) {
  std::string path = folder;
  if (!path.empty() && !isPathSeparator(path.back())) path += kPathSeparator;
  return path + kJournalName;
}

// A member's name: an entry folder's or one of the files at the top of a package. A
// journal naming anything else is not Vesk's, and nothing it names is moved.
bool memberName(const std::string& name) {
  if (isEntryFolderName(name)) return true;
  const std::vector<std::string> top = packageTopFileNames();
  return std::find(top.begin(), top.end(), name) != top.end();
}

}  // namespace

std::string journalText(const ReplaceJournal& journal) {
  std::string text = std::string(kHeading) + "\n";
  for (const auto& name : journal.earlier) text += "earlier " + name + "\n";
  for (const auto& name : journal.incoming) text += "incoming " + name + "\n";
  for (const auto& name : journal.kept) text += "kept " + name + "\n";
  for (const auto& [from, to] : journal.moved) text += "moved " + from + " " + to + "\n";
  return text;
}

std::optional<ReplaceJournal> parseJournal(const std::string& text) {
  std::istringstream lines(text);
  std::string line;
  if (!std::getline(lines, line) || line != kHeading) return std::nullopt;
  ReplaceJournal journal;
  while (std::getline(lines, line)) {
    const auto blank = line.find(' ');
    if (blank == std::string::npos) return std::nullopt;
    const std::string kind = line.substr(0, blank);
    std::string name = line.substr(blank + 1);
    if (kind == "moved") {
      const auto second = name.find(' ');
      if (second == std::string::npos) return std::nullopt;
      std::string to = name.substr(second + 1);
      name.resize(second);
      if (!memberName(name) || !memberName(to)) return std::nullopt;
      journal.moved.emplace_back(std::move(name), std::move(to));
      continue;
    }
    if (!memberName(name)) return std::nullopt;
    if (kind == "earlier") {
      journal.earlier.push_back(std::move(name));
    } else if (kind == "incoming") {
      journal.incoming.push_back(std::move(name));
    } else if (kind == "kept") {
      journal.kept.push_back(std::move(name));
    } else {
      return std::nullopt;
    }
  }
  return journal;
}

Status writeJournal(const std::string& workingFolder, const ReplaceJournal& journal) {
  return writeFileAtomically(journalPath(workingFolder), journalText(journal));
}

std::optional<ReplaceJournal> readJournal(const std::string& workingFolder) {
  // The journal of the largest package takes a few KiB: a file far larger is no
  // journal of Vesk's, and is not read into memory.
  constexpr std::uint64_t kMaxJournalBytes = std::uint64_t{1} << 16;
  const std::string path = journalPath(workingFolder);
  if (const auto size = fileSize(path); !size || *size > kMaxJournalBytes) return std::nullopt;
  const auto text = readFile(path);
  if (!text) return std::nullopt;
  return parseJournal(*text);
}

}  // namespace vesk
