// bench-manifest: the cost of hashing every file while a create writes it (data-heavy
// and scene-heavy, the same create without hashing as the baseline; wall and processor
// time, each run's figure and the load average printed too), verify of every
// byte of a large package against sha256sum -c of the same files, and a replace after
// one of 99 entries changed against a full create and against copying just the changed
// entry and the document (the median of several replaces, each after its own change).
// Every timing includes the sync that puts its writes on disk.
//
//   bench-manifest [--work-dir DIR] [--verify-mib N] [--only hash|verify|replace]
//                  [--replaces N]
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "package/build_command.h"
#include "package/content_verify.h"
#include "package/package_layout.h"
#include "package/package_replace.h"
#include "quiet_run.h"
#include "workload.h"

namespace {

namespace fs = std::filesystem;
using vesk::bench::kMiB;
using vesk::bench::QuietSink;
using vesk::bench::seconds;

vesk::CreateRequest requestFor(const vesk::bench::Workload& workload, const fs::path& dest) {
  vesk::CreateRequest request;
  for (const auto& e : workload.entries)
    request.entries.push_back({e.scene, e.thumbnail, e.description, {}});
  request.destination = dest.string();
  request.programFolder = VESK_PROGRAM_DIR;
  return request;
}

double timedWithSync(const std::function<void()>& work) {
  ::sync();
  return seconds([&] {
    work();
    ::sync();
  });
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Sources an operator made long ago (older than any file system's time granularity).
void ageFiles(const fs::path& root) {
  const auto past = fs::file_time_type::clock::now() - std::chrono::hours(1);
  for (const auto& item : fs::recursive_directory_iterator(root))
    if (item.is_regular_file()) fs::last_write_time(item.path(), past);
}

std::uint64_t bytesUnder(const fs::path& root) {
  std::uint64_t bytes = 0;
  for (const auto& item : fs::recursive_directory_iterator(root))
    if (item.is_regular_file()) bytes += item.file_size();
  return bytes;
}

// Takes a timed run's package out of the way without freeing its inodes: moved into
// `aside` and its files emptied (their blocks and pages freed), to be removed once
// every run is done. Removed at once, it made the next run create its files while
// ext4 without a journal (as on the development VM) passed over the thousands of
// inodes freed moments before, which took either side 1 to 3 s more, at random.
void setAside(const fs::path& package, const fs::path& aside) {
  static int count = 0;
  fs::create_directories(aside);
  const fs::path to = aside / std::to_string(count++);
  fs::rename(package, to);
  for (const auto& item : fs::recursive_directory_iterator(to))
    if (item.is_regular_file()) fs::resize_file(item.path(), 0);
  ::sync();
}

double loadAverage() {
  double load = 0;
  return ::getloadavg(&load, 1) == 1 ? load : -1;
}

// The processor time (user and system, every thread) this process has taken so far.
double processorSeconds() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  const auto secondsOf = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
  };
  return secondsOf(usage.ru_utime) + secondsOf(usage.ru_stime);
}

// Each run's seconds, in the order run.
std::string listed(const std::vector<double>& values) {
  std::string text;
  char figure[32];
  for (const double value : values) {
    std::snprintf(figure, sizeof figure, text.empty() ? "%.2f" : " %.2f", value);
    text += figure;
  }
  return text;
}

// A create with and without hashing, alternating, `runs` times each: wall time with the
// flush, and processor time (what the hashing adds is there whatever else the machine
// and its disk do meanwhile).
void hashCost(const char* name, const vesk::bench::Workload& inputs, const fs::path& work,
              int runs) {
  QuietSink sink;
  std::vector<double> with, without, withCpu, withoutCpu;
  const double loadBefore = loadAverage();
  for (int i = 0; i < runs; ++i) {
    for (const bool hash : {false, true}) {
      const fs::path dest = work / "hash-cost";
      vesk::CreateRequest request = requestFor(inputs, dest);
      request.hashContent = hash;
      const double cpu = processorSeconds();
      const double t = timedWithSync([&] { vesk::createPackage(request, sink); });
      (hash ? with : without).push_back(t);
      (hash ? withCpu : withoutCpu).push_back(processorSeconds() - cpu);
      setAside(dest, work / "aside");
    }
  }
  std::printf(
      "%-12s create with hashing %.2f s, without %.2f s (medians of %d): ratio %.3f; "
      "processor %.2f s, %.2f s\n"
      "  runs with: %s; without: %s (load average %.2f to %.2f)\n",
      name, median(with), median(without), runs, median(with) / median(without), median(withCpu),
      median(withoutCpu), listed(with).c_str(), listed(without).c_str(), loadBefore, loadAverage());
}

}  // namespace

int main(int argc, char** argv) {
  fs::path base = VESK_BENCH_WORK_DIR;
  std::uint64_t verifyMiB = 2048;
  std::string only;
  int replaceRuns = 5;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--work-dir") base = argv[i + 1];
    if (option == "--verify-mib") verifyMiB = std::strtoull(argv[i + 1], nullptr, 10);
    if (option == "--only") only = argv[i + 1];
    if (option == "--replaces") replaceRuns = std::max(1, std::atoi(argv[i + 1]));
  }
  const auto runs = [&](const char* part) { return only.empty() || only == part; };
  const fs::path work = base / "bench-manifest";
  fs::remove_all(work);
  fs::create_directories(work);
  const fs::path thumb = fs::path(VESK_SAMPLE_DIR) / "01-heart/heart_thumb.jpg";
  const fs::path desc = fs::path(VESK_SAMPLE_DIR) / "01-heart/heart_desc.png";
  QuietSink sink;
  std::printf("work folder: %s\n", work.c_str());

  // 1. What hashing costs a create. Both workloads are made before the first run and
  // removed after the last, for the reason setAside gives.
  if (runs("hash")) {
    const auto heavy = vesk::bench::makeDataHeavy(work / "heavy-src",
                                                  {10, 4, 100 * kMiB, 1000, 4096}, thumb, desc);
    const auto scenes =
        vesk::bench::makeSceneHeavy(work / "scene-src", {99, kMiB, 100, 100}, thumb, desc);
    hashCost("data-heavy", heavy, work, 5);
    hashCost("scene-heavy", scenes, work, 5);
    for (const char* folder : {"heavy-src", "scene-src", "aside"}) fs::remove_all(work / folder);
  }

  // 2. Verify of every byte against sha256sum -c of the same files, warm.
  if (runs("verify")) {
    const int entries = 10;
    const auto inputs = vesk::bench::makeDataHeavy(
        work / "large-src", {entries, 4, verifyMiB * kMiB / entries, 100, 4096}, thumb, desc);
    const fs::path package = work / "large";
    vesk::createPackage(requestFor(inputs, package), sink);
    fs::remove_all(work / "large-src");
    const std::string document = (package / "exhibition.nuv").string();
    const std::string command =
        "cd '" + package.string() + "' && sha256sum --quiet -c exhibition.sha256";
    std::vector<double> vesk, tool;
    std::size_t problems = 0;
    int status = 0;
    for (int i = 0; i < 3; ++i) {
      vesk.push_back(seconds([&] {
        problems = vesk::verifyWholePackage(document, vesk::ContentCheck::Full).problems.size();
      }));
      tool.push_back(seconds([&] { status = std::system(command.c_str()); }));
    }
    const double quick =
        seconds([&] { (void)vesk::verifyWholePackage(document, vesk::ContentCheck::Quick); });
    std::printf(
        "verify of %.0f MiB: %.2f s (%zu problems); sha256sum -c %.2f s (status %d); "
        "ratio %.2f; --quick %.3f s\n",
        static_cast<double>(bytesUnder(package)) / kMiB, median(vesk), problems, median(tool),
        status, median(vesk) / median(tool), quick);
    fs::remove_all(package);
  }

  // 3. A replace after one of 99 entries changed.
  if (runs("replace")) {
    const auto inputs = vesk::bench::makeDataHeavy(work / "edit-src",
                                                   {99, 1, 10 * kMiB, 10, 100 * 1024}, thumb, desc);
    ageFiles(work / "edit-src");
    const fs::path package = work / "edit";
    const double full =
        timedWithSync([&] { vesk::createPackage(requestFor(inputs, package), sink); });
    struct stat before {};
    const fs::path unchanged = package / "00" / fs::path(inputs.entries[0].scene).filename();
    ::stat(unchanged.c_str(), &before);
    // An entry folder kept where it is keeps its own identity; one built anew has another.
    const auto folderIdentities = [&] {
      std::vector<ino_t> numbers;
      for (std::size_t i = 0; i < inputs.entries.size(); ++i) {
        struct stat folder {};
        ::stat((package / vesk::entryFolderName(static_cast<int>(i))).c_str(), &folder);
        numbers.push_back(folder.st_ino);
      }
      return numbers;
    };
    const std::vector<ino_t> foldersBefore = folderIdentities();

    // The changed entry: every file of its folder but the scene and pictures rewritten
    // with new bytes, before each replace. One run of a few hundredths of a second is
    // noise on a shared machine: the median of several, each after its own change, and
    // the baseline (copying just the changed entry and the document) after each.
    const fs::path changed = inputs.entryFolders[50];
    std::mt19937_64 random(7);
    const auto change = [&] {
      for (const auto& item : fs::recursive_directory_iterator(changed)) {
        if (!item.is_regular_file() || item.path().extension() == ".nuv" ||
            item.path().extension() == ".jpg" || item.path().extension() == ".png")
          continue;
        std::string bytes(item.file_size(), '\0');
        for (char& c : bytes) c = static_cast<char>(random());
        std::ofstream(item.path(), std::ios::binary) << bytes;
      }
    };
    const fs::path scratch = work / "just-the-change";
    std::vector<double> replaces, copies;
    vesk::BuildReport report;
    std::uint64_t changeBytes = 0;
    bool failed = false;
    for (int i = 0; i < replaceRuns; ++i) {
      change();
      replaces.push_back(
          timedWithSync([&] { report = vesk::replacePackage(requestFor(inputs, package), sink); }));
      failed = failed || report.status != vesk::BuildStatus::Written;
      // Baseline: copying just the changed entry's files and the document.
      fs::remove_all(scratch);
      copies.push_back(timedWithSync([&] {
        fs::create_directories(scratch);
        fs::copy(changed, scratch / "50", fs::copy_options::recursive);
        fs::copy_file(package / "exhibition.nuv", scratch / "exhibition.nuv");
      }));
      changeBytes = bytesUnder(scratch);
    }
    struct stat after {};
    ::stat(unchanged.c_str(), &after);
    const std::vector<ino_t> foldersAfter = folderIdentities();
    std::size_t keptFolders = 0;
    for (std::size_t i = 0; i < foldersBefore.size(); ++i) {
      if (foldersBefore[i] == foldersAfter[i]) ++keptFolders;
    }
    const std::uint64_t documentBytes = fs::file_size(package / "exhibition.nuv");
    const std::uint64_t written = report.bytesCopied - report.bytesReused + documentBytes;
    const double replace = median(replaces);
    const double justChange = median(copies);
    std::printf(
        "replace after 1 of 99 entries changed (median of %d, each after its own change): "
        "%.3f s (%.3f to %.3f)%s, %llu files reused (%s), %zu of %zu entry folders kept where "
        "they were, %.1f MiB written\n",
        replaceRuns, replace, *std::min_element(replaces.begin(), replaces.end()),
        *std::max_element(replaces.begin(), replaces.end()), failed ? " (A RUN FAILED)" : "",
        static_cast<unsigned long long>(report.filesReused),
        after.st_ino == before.st_ino ? "kept or hard links" : "reflinks or copies", keptFolders,
        foldersBefore.size(), static_cast<double>(written) / kMiB);
    std::printf("  full create %.2f s (%.0f MiB): ratio %.3f\n", full,
                static_cast<double>(report.bytesCopied) / kMiB, replace / full);
    std::printf(
        "  copy of the changed entry and the document %.3f s (%.3f to %.3f; %.1f MiB): time "
        "ratio %.2f, bytes ratio %.2f\n",
        justChange, *std::min_element(copies.begin(), copies.end()),
        *std::max_element(copies.begin(), copies.end()), static_cast<double>(changeBytes) / kMiB,
        replace / justChange, static_cast<double>(written) / static_cast<double>(changeBytes));

    // The first entry removed: every other one moves up a number, its folder renamed.
    vesk::CreateRequest shorter = requestFor(inputs, package);
    shorter.entries.erase(shorter.entries.begin());
    vesk::BuildReport removed;
    const double removal = timedWithSync([&] { removed = vesk::replacePackage(shorter, sink); });
    const std::uint64_t removedWritten =
        removed.bytesCopied - removed.bytesReused + fs::file_size(package / "exhibition.nuv");
    std::printf(
        "replace after the first entry was removed: %.2f s (%s), %llu of %llu files reused, "
        "%.1f MiB written\n",
        removal, removed.status == vesk::BuildStatus::Written ? "written" : "FAILED",
        static_cast<unsigned long long>(removed.filesReused),
        static_cast<unsigned long long>(removed.filesCopied),
        static_cast<double>(removedWritten) / kMiB);
  }
  fs::remove_all(work);
  return 0;
}
