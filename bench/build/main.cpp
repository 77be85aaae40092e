// Times `vesk-cli build` on generated workloads against `cp -r` of the same inputs
// into the same file system, and against `cp -r` followed by `sync -f` on the copy
// (the create flushes its copies once before it writes the document), in one run:
//   data-heavy  10 entries, each 100 MiB of data files and a data folder of 1,000
//               files: create / (cp -r && sync -f) at most 1.0;
//   scene-heavy 99 entries, each a 1 MiB scene with 100 data elements and 100 draw
//               groups: create / cp -r at most 3, peak memory at most 64 MiB.
// With --workload scaling (or all): scene-heavy packages whose scenes total 10, 100
// and 400 MiB (linear time: the ratio to cp -r within 1.3 times across the three,
// as each has the same files; peak memory flat: the largest at most 1.25 times the
// smallest), and one 200 MB scene without a line
// break (create / cp -r at most 3, peak at most 64 MiB plus the scene's size).
// Creates and copies alternate; each figure is the median of the repeats. Everything
// generated lives in one temporary folder that is removed at the end.

#include <sys/statvfs.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "child_process.h"
#include "workload.h"

namespace vesk::bench {
namespace {

namespace fs = std::filesystem;

constexpr double kMaxDataHeavyRatio = 1.0;   // to cp -r && sync -f
constexpr double kMaxSceneHeavyRatio = 3.0;  // to cp -r
constexpr double kMaxSceneHeavyMiB = 64.0;
constexpr double kMaxRatioSpread = 1.3;  // highest / lowest create / cp -r across totals
constexpr double kMaxPeakSpread = 1.25;  // largest / smallest peak memory
constexpr double kOneLineBytes = 200e6;

volatile std::sig_atomic_t interrupted = 0;

void checkInterrupted() {
  if (interrupted) throw std::runtime_error("interrupted");
}

struct Options {
  fs::path workDir;
  fs::path cli = VESK_CLI_PATH;
  fs::path programDir = VESK_PROGRAM_DIR;
  int repeats = 5;
  std::string workloads = "both";
  bool small = false;
  bool generateOnly = false;
  bool keep = false;
};

// The folder everything is generated in; removed on destruction unless kept.
class ScratchFolder {
 public:
  ScratchFolder(const fs::path& parent, bool keep) : keep_(keep) {
    std::string pattern = (parent / "vesk-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
      throw std::runtime_error("cannot create a folder in " + parent.string());
    path_ = pattern;
  }
  ~ScratchFolder() {
    std::error_code ec;
    if (keep_)
      std::cout << "kept " << path_.string() << "\n";
    else
      fs::remove_all(path_, ec);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
  bool keep_;
};

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n == 0 ? 0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double mib(std::uint64_t bytes) {
  return static_cast<double>(bytes) / kMiB;
}

struct TreeSize {
  std::uint64_t files = 0;
  std::uint64_t bytes = 0;
};

TreeSize treeSize(const fs::path& root) {
  TreeSize size;
  for (const auto& item : fs::recursive_directory_iterator(root)) {
    if (!item.is_regular_file()) continue;
    ++size.files;
    size.bytes += item.file_size();
  }
  return size;
}

std::string tail(const fs::path& log) {
  std::ifstream in(log);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  std::string text;
  for (std::size_t i = lines.size() > 10 ? lines.size() - 10 : 0; i < lines.size(); ++i)
    text += "  | " + lines[i] + "\n";
  return text;
}

struct Timings {
  ChildRun check, verify, replace;
  std::vector<ChildRun> creates, copies, syncedCopies;
  TreeSize created, copied;
};

// One timed run into the fresh folder `out`, which is removed afterwards. Pending
// writes of earlier steps are flushed first so that they do not land in this run.
ChildRun timedRun(const std::vector<std::string>& argv, const fs::path& out, const fs::path& log,
                  TreeSize* size, bool remove = true) {
  sync();
  const ChildRun run = runChild(argv, log.string());
  checkInterrupted();
  if (!run.exited || run.status != 0) {
    throw std::runtime_error(argv[0] + (run.exited ? " exited with status " : " ended by signal ") +
                             std::to_string(run.status) + "; its output:\n" + tail(log));
  }
  if (size) *size = treeSize(out);
  if (remove) fs::remove_all(out);
  return run;
}

Timings measure(const Workload& w, const Options& o, const fs::path& scratch) {
  std::vector<std::string> create = {o.cli.string(),       "build", "--dest", "", "--program-dir",
                                     o.programDir.string()};
  for (const auto& e : w.entries) {
    create.insert(create.end(), {"--entry", e.scene, e.thumbnail, e.description});
  }
  const fs::path out = scratch / "out";
  const fs::path log = scratch / "run.log";
  create[3] = out.string();
  // cp -r alone, and cp -r then one flush of the destination's file system (sync -f),
  // so that both sides pay for making the copies durable as the create does.
  std::vector<std::string> copy = {"cp", "-r"};
  for (const auto& folder : w.entryFolders) copy.push_back(folder.string());
  copy.push_back((o.programDir / "up.jpg").string());
  copy.push_back((o.programDir / "down.jpg").string());
  copy.push_back(out.string());
  std::vector<std::string> syncedCopy = {
      "sh", "-c", "for last; do :; done; cp -r \"$@\" && exec sync -f \"$last\"", "sh"};
  syncedCopy.insert(syncedCopy.end(), copy.begin() + 2, copy.end());

  Timings t;
  // The check alone (the plan the create starts with), a replace of the finished
  // package by the same entries (every file unchanged) and the verify of the package
  // alone, once each: what of the create's peak memory each part takes, and what a
  // rebuild that changes nothing costs.
  std::vector<std::string> check = create;
  check[1] = "check";
  t.check = timedRun(check, out, log, nullptr);
  (void)timedRun(create, out, log, nullptr, false);
  std::vector<std::string> replace = create;
  replace.insert(replace.begin() + 2, "--replace");
  t.replace = timedRun(replace, out, log, nullptr, false);
  t.verify =
      timedRun({o.cli.string(), "verify", (out / "exhibition.nuv").string()}, out, log, nullptr);
  for (int r = 0; r < o.repeats; ++r) {
    for (int step = 0; step < 3; ++step) {
      switch ((step + r) % 3) {  // each goes first in turn
        case 0:
          t.creates.push_back(timedRun(create, out, log, r == 0 ? &t.created : nullptr));
          break;
        case 1:
          fs::create_directory(out);
          t.copies.push_back(timedRun(copy, out, log, r == 0 ? &t.copied : nullptr));
          break;
        default:
          fs::create_directory(out);
          t.syncedCopies.push_back(timedRun(syncedCopy, out, log, nullptr));
          break;
      }
    }
  }
  return t;
}

// Prints one figure of every run and gives their median.
template <typename Figure>
double runs(const char* what, const std::vector<ChildRun>& runs, Figure figure) {
  std::vector<double> values;
  std::printf("    %-16s", what);
  for (const auto& run : runs) {
    values.push_back(figure(run));
    std::printf(" %7.3f", values.back());
  }
  std::printf("\n");
  return median(values);
}

struct Result {
  std::string name;
  double sceneMiB = 0;
  double create = 0, copy = 0, syncedCopy = 0, createCpu = 0, copyCpu = 0, peakMiB = 0;
};

Result runWorkload(const std::string& name, const Workload& w, const Options& o,
                   const fs::path& scratch) {
  Result result{name};
  result.sceneMiB = mib(w.sceneBytes);
  if (o.generateOnly) return result;
  const Timings t = measure(w, o, scratch);
  std::printf("  %s: create wrote %llu files (%.1f MiB), cp -r %llu files (%.1f MiB)\n",
              name.c_str(), static_cast<unsigned long long>(t.created.files), mib(t.created.bytes),
              static_cast<unsigned long long>(t.copied.files), mib(t.copied.bytes));
  const auto wall = [](const ChildRun& r) { return r.seconds; };
  const auto cpu = [](const ChildRun& r) { return r.cpuSeconds; };
  result.create = runs("create s", t.creates, wall);
  result.copy = runs("cp -r s", t.copies, wall);
  result.syncedCopy = runs("cp+sync s", t.syncedCopies, wall);
  result.createCpu = runs("create cpu s", t.creates, cpu);
  result.copyCpu = runs("cp -r cpu s", t.copies, cpu);
  result.peakMiB = runs("create peak MiB", t.creates,
                        [](const ChildRun& r) { return static_cast<double>(r.peakKiB) / 1024; });
  std::printf(
      "    check alone %.3f s, peak %.1f MiB; verify of the package alone %.3f s, peak %.1f MiB\n"
      "    replace of the package by the same entries %.3f s (%.2f of the create), peak %.1f "
      "MiB\n",
      t.check.seconds, static_cast<double>(t.check.peakKiB) / 1024, t.verify.seconds,
      static_cast<double>(t.verify.peakKiB) / 1024, t.replace.seconds,
      t.replace.seconds / result.create, static_cast<double>(t.replace.peakKiB) / 1024);
  return result;
}

void checkFreeSpace(const fs::path& dir, std::uint64_t needed) {
  struct statvfs vfs {};
  if (statvfs(dir.c_str(), &vfs) != 0) return;
  const std::uint64_t free = static_cast<std::uint64_t>(vfs.f_bavail) * vfs.f_frsize;
  if (free < needed) {
    throw std::runtime_error("needs " + std::to_string(needed / kMiB) + " MiB free in " +
                             dir.string() + ", has " + std::to_string(free / kMiB));
  }
}

const char* verdict(bool met) {
  return met ? "met" : "MISSED";
}

// The scene-heavy workload `name` of `shape`, generated, timed and removed.
void sceneWorkload(const std::string& name, const SceneHeavyShape& shape, const Options& o,
                   const fs::path& scratch, const fs::path& thumb, const fs::path& desc,
                   std::vector<Result>& results) {
  const Workload w = makeSceneHeavy(scratch / name, shape, thumb, desc);
  checkInterrupted();
  std::printf(
      "  %s: %d entries, each a %.2f MiB scene%s with %d data elements and %d draw groups; "
      "%llu files, %.1f MiB\n",
      name.c_str(), shape.entries, mib(shape.sceneBytes), shape.oneLine ? " (one line)" : "",
      shape.dataElements, shape.drawGroups, static_cast<unsigned long long>(w.files), mib(w.bytes));
  results.push_back(runWorkload(name, w, o, scratch));
  if (!o.keep) fs::remove_all(w.root);
}

int run(const Options& o) {
  DataHeavyShape data;
  SceneHeavyShape scene;
  // Scene totals of the scaling mode, in MiB, and the one-line scene's size.
  std::vector<std::uint64_t> totals = {10, 100, 400};
  std::uint64_t oneLine = static_cast<std::uint64_t>(kOneLineBytes);
  if (o.small) {
    data = {2, 2, 4 * kMiB, 20, 4096};
    scene = {5, 64 * 1024, 10, 10, false};
    totals = {1, 2, 4};
    oneLine = 2 * kMiB;
  }
  const bool all = o.workloads == "all";
  const bool doData = all || o.workloads == "both" || o.workloads == "data";
  const bool doScene = all || o.workloads == "both" || o.workloads == "scene";
  const bool doScaling = all || o.workloads == "scaling";

  // Inputs plus one output at a time, with room to spare.
  const std::uint64_t dataBytes = static_cast<std::uint64_t>(data.entries) *
                                  (data.dataBytes + data.folderFiles * data.folderFileBytes);
  const std::uint64_t sceneBytes = doScaling ? totals.back() * kMiB * 3 + oneLine * 3 : 0;
  checkFreeSpace(o.workDir, (doData ? dataBytes : 0) * 5 / 2 + sceneBytes + 512 * kMiB);

  ScratchFolder scratch(o.workDir, o.keep);
  const fs::path thumb = o.programDir / "up.jpg";
  const fs::path desc = o.programDir / "down.jpg";
  std::printf("work folder %s, %d runs each, create, cp -r and cp -r && sync -f in turn, medians\n",
              scratch.path().c_str(), o.repeats);

  std::vector<Result> results;
  if (doData) {
    const Workload w = makeDataHeavy(scratch.path() / "data-heavy", data, thumb, desc);
    checkInterrupted();
    std::printf(
        "  data-heavy: %d entries, each %d data files of %.1f MiB and a folder of %d "
        "files; %llu files, %.1f MiB\n",
        data.entries, data.dataFiles, mib(data.dataBytes) / data.dataFiles, data.folderFiles,
        static_cast<unsigned long long>(w.files), mib(w.bytes));
    results.push_back(runWorkload("data-heavy", w, o, scratch.path()));
    if (!o.keep) fs::remove_all(w.root);
  }
  if (doScene) sceneWorkload("scene-heavy", scene, o, scratch.path(), thumb, desc, results);
  if (doScaling) {
    for (const std::uint64_t total : totals) {
      SceneHeavyShape shape = scene;
      shape.sceneBytes = total * kMiB / static_cast<std::uint64_t>(shape.entries);
      sceneWorkload("scenes-" + std::to_string(total) + "MiB", shape, o, scratch.path(), thumb,
                    desc, results);
    }
    SceneHeavyShape shape = scene;
    shape.entries = 1;
    shape.sceneBytes = oneLine;
    shape.oneLine = true;
    sceneWorkload("one-line", shape, o, scratch.path(), thumb, desc, results);
  }
  if (o.generateOnly) return 0;

  // The cpu ratio is a second view, less disturbed by other load on the machine.
  std::printf("\n%-16s %7s %8s %8s %8s %7s %9s %8s %8s %8s   %s\n", "workload", "scenes",
              "create s", "cp -r s", "cp+sync", "/cp -r", "/cp+sync", "cpu", "s/MiB", "peak MiB",
              o.small ? "targets (not judged: --small)" : "targets");
  std::vector<const Result*> scaled;
  for (const auto& r : results) {
    const double ratio = r.copy > 0 ? r.create / r.copy : 0;
    const double syncedRatio = r.syncedCopy > 0 ? r.create / r.syncedCopy : 0;
    const double cpuRatio = r.copyCpu > 0 ? r.createCpu / r.copyCpu : 0;
    const double perMiB = r.sceneMiB > 0 ? r.create / r.sceneMiB : 0;
    std::printf("%-16s %7.1f %8.3f %8.3f %8.3f %7.2f %9.2f %8.2f %8.4f %8.1f   ", r.name.c_str(),
                r.sceneMiB, r.create, r.copy, r.syncedCopy, ratio, syncedRatio, cpuRatio, perMiB,
                r.peakMiB);
    const auto judged = [&](bool met) { return o.small ? "-" : verdict(met); };
    if (r.name == "data-heavy") {
      std::printf("create/(cp+sync) <= %.2f: %s\n", kMaxDataHeavyRatio,
                  judged(syncedRatio <= kMaxDataHeavyRatio));
    } else if (r.name == "one-line") {
      const double limit = kMaxSceneHeavyMiB + r.sceneMiB;
      std::printf("create/cp <= %.0f: %s; peak <= %.0f MiB: %s\n", kMaxSceneHeavyRatio,
                  judged(ratio <= kMaxSceneHeavyRatio), limit, judged(r.peakMiB <= limit));
    } else {
      std::printf("create/cp <= %.0f: %s; peak <= %.0f MiB: %s\n", kMaxSceneHeavyRatio,
                  judged(ratio <= kMaxSceneHeavyRatio), kMaxSceneHeavyMiB,
                  judged(r.peakMiB <= kMaxSceneHeavyMiB));
      if (r.name.rfind("scenes-", 0) == 0) scaled.push_back(&r);
    }
  }
  if (!scaled.empty()) {
    // Each total has the same number of files, whose cost per file both sides pay:
    // linear time shows as the same ratio to cp -r whatever the total.
    double lowRatio = 1e300, highRatio = 0, fastest = 1e300, slowest = 0, least = 1e300, most = 0;
    for (const Result* r : scaled) {
      const double ratio = r->create / r->copy;
      const double perMiB = r->create / r->sceneMiB;
      lowRatio = std::min(lowRatio, ratio);
      highRatio = std::max(highRatio, ratio);
      fastest = std::min(fastest, perMiB);
      slowest = std::max(slowest, perMiB);
      least = std::min(least, r->peakMiB);
      most = std::max(most, r->peakMiB);
    }
    std::printf(
        "scaling: create/cp -r %.2f to %.2f (spread %.2f, <= %.2f: %s); time per MiB of scenes "
        "%.4f to %.4f s; peak %.1f to %.1f MiB (spread %.2f, <= %.2f: %s)\n",
        lowRatio, highRatio, highRatio / lowRatio, kMaxRatioSpread,
        o.small ? "-" : verdict(highRatio / lowRatio <= kMaxRatioSpread), fastest, slowest, least,
        most, most / least, kMaxPeakSpread,
        o.small ? "-" : verdict(most / least <= kMaxPeakSpread));
  }
  return 0;
}

}  // namespace
}  // namespace vesk::bench

int main(int argc, char** argv) {
  using namespace vesk::bench;
  Options o;
  const char* tmp = std::getenv("TMPDIR");
  o.workDir = tmp && *tmp ? tmp : VESK_BENCH_WORK_DIR;

  CLI::App app{"Times vesk-cli build against cp -r of the same inputs", "bench-build"};
  app.add_option("--work-dir", o.workDir,
                 "Folder to generate in and copy to (default $TMPDIR, else the build folder)")
      ->check(CLI::ExistingDirectory);
  app.add_option("--cli", o.cli, "The vesk-cli to time")->check(CLI::ExistingFile);
  app.add_option("--program-dir", o.programDir, "Folder holding up.jpg and down.jpg")
      ->check(CLI::ExistingDirectory);
  app.add_option("--repeats", o.repeats, "Runs of each command")->check(CLI::Range(1, 99));
  app.add_option("--workload", o.workloads,
                 "Which workloads: both (data and scene), data, scene, scaling, all")
      ->check(CLI::IsMember({"both", "data", "scene", "scaling", "all"}));
  app.add_flag("--small", o.small, "Scaled-down workloads, to try the harness");
  app.add_flag("--generate-only", o.generateOnly, "Generate the workloads, time nothing");
  app.add_flag("--keep", o.keep, "Leave the generated folder in place");
  CLI11_PARSE(app, argc, argv);

  std::setvbuf(stdout, nullptr, _IOLBF, 0);  // progress lines before any error text
  std::signal(SIGINT, [](int) { interrupted = 1; });
  std::signal(SIGTERM, [](int) { interrupted = 1; });
  try {
    return run(o);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bench-build: %s\n", e.what());
    return 1;
  }
}
