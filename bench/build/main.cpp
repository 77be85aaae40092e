// Times `vesk-cli build` on two generated workloads against `cp -r` of the same
// inputs into the same file system followed by `sync -f` on the copy (the create
// flushes its copies once before it writes the document), in one run:
//   data-heavy  10 entries, each 100 MiB of data files and a data folder of 1,000
//               files: create time / copy time, target at most 1.15;
//   scene-heavy 99 entries, each a 1 MiB scene with 100 data elements and 100 draw
//               groups: create time and peak memory, targets 5 s and 300 MiB.
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

constexpr double kMaxDataHeavyRatio = 1.15;
constexpr double kMaxSceneHeavySeconds = 5.0;
constexpr double kMaxSceneHeavyMiB = 300.0;

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
  std::vector<ChildRun> creates, copies;
  TreeSize created, copied;
};

// One timed run into the fresh folder `out`, which is removed afterwards. Pending
// writes of earlier steps are flushed first so that they do not land in this run.
ChildRun timedRun(const std::vector<std::string>& argv, const fs::path& out, const fs::path& log,
                  TreeSize* size) {
  sync();
  const ChildRun run = runChild(argv, log.string());
  checkInterrupted();
  if (!run.exited || run.status != 0) {
    throw std::runtime_error(argv[0] + (run.exited ? " exited with status " : " ended by signal ") +
                             std::to_string(run.status) + "; its output:\n" + tail(log));
  }
  if (size) *size = treeSize(out);
  fs::remove_all(out);
  return run;
}

Timings measure(const Workload& w, const Options& o, const fs::path& scratch) {
  std::vector<std::string> create = {o.cli.string(),       "build", "--dest", "", "--program-dir",
                                     o.programDir.string()};
  for (const auto& e : w.entries) {
    create.insert(create.end(), {"--entry", e.scene, e.thumbnail, e.description});
  }
  // cp -r, then one flush of the destination's file system (sync -f), so that both
  // sides pay for making the copies durable as the create does.
  std::vector<std::string> copy = {
      "sh", "-c", "for last; do :; done; cp -r \"$@\" && exec sync -f \"$last\"", "sh"};
  for (const auto& folder : w.entryFolders) copy.push_back(folder.string());
  copy.push_back((o.programDir / "up.jpg").string());
  copy.push_back((o.programDir / "down.jpg").string());
  copy.push_back("");

  const fs::path out = scratch / "out";
  const fs::path log = scratch / "run.log";
  create[3] = out.string();
  copy.back() = out.string();

  Timings t;
  for (int r = 0; r < o.repeats; ++r) {
    for (int step = 0; step < 2; ++step) {
      const bool creating = (step == 0) == (r % 2 == 0);  // alternate which goes first
      if (creating) {
        t.creates.push_back(timedRun(create, out, log, r == 0 ? &t.created : nullptr));
      } else {
        fs::create_directory(out);
        t.copies.push_back(timedRun(copy, out, log, r == 0 ? &t.copied : nullptr));
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
  double create = 0, copy = 0, createCpu = 0, copyCpu = 0, peakMiB = 0;
};

Result runWorkload(const std::string& name, const Workload& w, const Options& o,
                   const fs::path& scratch) {
  Result result{name};
  if (o.generateOnly) return result;
  const Timings t = measure(w, o, scratch);
  std::printf("  %s: create wrote %llu files (%.1f MiB), cp -r %llu files (%.1f MiB)\n",
              name.c_str(), static_cast<unsigned long long>(t.created.files), mib(t.created.bytes),
              static_cast<unsigned long long>(t.copied.files), mib(t.copied.bytes));
  const auto wall = [](const ChildRun& r) { return r.seconds; };
  const auto cpu = [](const ChildRun& r) { return r.cpuSeconds; };
  result.create = runs("create s", t.creates, wall);
  result.copy = runs("cp -r s", t.copies, wall);
  result.createCpu = runs("create cpu s", t.creates, cpu);
  result.copyCpu = runs("cp -r cpu s", t.copies, cpu);
  result.peakMiB = runs("create peak MiB", t.creates,
                        [](const ChildRun& r) { return static_cast<double>(r.peakKiB) / 1024; });
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

int run(const Options& o) {
  DataHeavyShape data;
  SceneHeavyShape scene;
  if (o.small) {
    data = {2, 2, 4 * kMiB, 20, 4096};
    scene = {5, 64 * 1024, 10, 10};
  }
  const bool doData = o.workloads != "scene";
  const bool doScene = o.workloads != "data";

  // Inputs plus one output at a time, with room to spare.
  const std::uint64_t dataBytes = static_cast<std::uint64_t>(data.entries) *
                                  (data.dataBytes + data.folderFiles * data.folderFileBytes);
  checkFreeSpace(o.workDir, (doData ? dataBytes : 0) * 5 / 2 + 512 * kMiB);

  ScratchFolder scratch(o.workDir, o.keep);
  const fs::path thumb = o.programDir / "up.jpg";
  const fs::path desc = o.programDir / "down.jpg";
  std::printf("work folder %s, %d runs each, create and cp -r alternating, medians\n",
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
  if (doScene) {
    const Workload w = makeSceneHeavy(scratch.path() / "scene-heavy", scene, thumb, desc);
    checkInterrupted();
    std::printf(
        "  scene-heavy: %d entries, each a %.2f MiB scene with %d data elements and %d "
        "draw groups; %llu files, %.1f MiB\n",
        scene.entries, mib(scene.sceneBytes), scene.dataElements, scene.drawGroups,
        static_cast<unsigned long long>(w.files), mib(w.bytes));
    results.push_back(runWorkload("scene-heavy", w, o, scratch.path()));
  }
  if (o.generateOnly) return 0;

  // The cpu ratio is a second view, less disturbed by other load on the machine.
  std::printf("\n%-12s %9s %9s %10s %9s %9s   %s\n", "workload", "create s", "cp -r s", "create/cp",
              "cpu ratio", "peak MiB", o.small ? "targets (not judged: --small)" : "targets");
  for (const auto& r : results) {
    const double ratio = r.copy > 0 ? r.create / r.copy : 0;
    const double cpuRatio = r.copyCpu > 0 ? r.createCpu / r.copyCpu : 0;
    std::printf("%-12s %9.3f %9.3f %10.2f %9.2f %9.1f   ", r.name.c_str(), r.create, r.copy, ratio,
                cpuRatio, r.peakMiB);
    if (r.name == "data-heavy") {
      std::printf("create/cp <= %.2f: %s\n", kMaxDataHeavyRatio,
                  o.small ? "-" : verdict(ratio <= kMaxDataHeavyRatio));
    } else {
      std::printf("create <= %.0f s: %s; peak <= %.0f MiB: %s\n", kMaxSceneHeavySeconds,
                  o.small ? "-" : verdict(r.create <= kMaxSceneHeavySeconds), kMaxSceneHeavyMiB,
                  o.small ? "-" : verdict(r.peakMiB <= kMaxSceneHeavyMiB));
    }
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
  app.add_option("--workload", o.workloads, "Which workloads")
      ->check(CLI::IsMember({"both", "data", "scene"}));
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
