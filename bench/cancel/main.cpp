// bench-cancel: the latency of the dialog's Cancel during a create that copies large
// data files.
//
//   bench-cancel [--mib N] [--work-dir DIR]
//
// Writes one entry whose scene names two data files of N MiB each (default 1024, real
// non-zero contents) and creates its package as the dialog does: planned, then created
// on the worker thread of a BackgroundTask whose wakes the main thread services like a
// window's event loop. Cancel is pressed at several moments into the copy; the latency
// is the time from the press to the end of the job. Its baseline, from the same run, is
// the time one piece of the copy (kCopyPieceBytes) takes at the rate measured up to the
// press; the ratio latency / piece is printed, with what a cancel between files only
// would have waited (the rest of the file being copied). Everything written is removed.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "base/file_system.h"
#include "base/folder_walk.h"
#include "editor/background_task.h"
#include "package/build_command.h"
#include "package/package_plan.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double secondsBetween(Clock::time_point a, Clock::time_point b) {
  return std::chrono::duration<double>(b - a).count();
}

// Answers nothing, prints every message.
class PrintingSink : public vesk::MessageSink {
 public:
  void showMessage(const vesk::Message& message) override {
    std::printf("    message: %s\n", message.text.c_str());
  }
  bool askYesNo(const std::string&, vesk::DefaultAnswer) override { return false; }
};

// Passes the task's progress on and notes when the copy began and how far it got.
class Recorder : public vesk::BuildProgress {
 public:
  explicit Recorder(vesk::BuildProgress& inner) : inner_(inner) {}
  void started(std::uint64_t bytes, std::uint64_t files) override { inner_.started(bytes, files); }
  void fileStarted(const std::string& source) override {
    if (source.find("data-") != std::string::npos) {
      const std::lock_guard lock(mutex);
      if (firstData == Clock::time_point{}) firstData = Clock::now();
      dataFileStartBytes = bytes.load();
    }
    inner_.fileStarted(source);
  }
  void advanced(std::uint64_t bytesDone, std::uint64_t filesDone) override {
    bytes = bytesDone;
    inner_.advanced(bytesDone, filesDone);
  }
  bool cancelRequested() override { return inner_.cancelRequested(); }

  std::mutex mutex;
  Clock::time_point firstData{};        // guarded by mutex
  std::atomic<std::uint64_t> bytes{0};  // copied so far
  std::atomic<std::uint64_t> dataFileStartBytes{0};

 private:
  vesk::BuildProgress& inner_;
};

void writeData(const fs::path& path, std::uint64_t bytes) {
  std::vector<char> block(1 << 20);
  std::uint32_t state = 2463534242u;
  std::ofstream out(path, std::ios::binary);
  for (std::uint64_t written = 0; written < bytes; written += block.size()) {
    for (char& c : block) {
      state ^= state << 13;
      state ^= state >> 17;
      state ^= state << 5;
      c = static_cast<char>(state | 1);
    }
    out.write(block.data(), static_cast<std::streamsize>(block.size()));
  }
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

struct Round {
  double pressAfter = 0;    // seconds into the copy of the data
  double latency = 0;       // press to the end of the job
  double pieceSeconds = 0;  // one piece at the rate measured
  double fileRest = 0;      // what a cancel between files would have waited
  bool ended = false;
};

Round runRound(const vesk::CheckRequest& check, std::uint64_t fileBytes, double pressAfter) {
  PrintingSink sink;
  std::mutex mutex;
  std::condition_variable woken;
  bool pending = false;
  vesk::BackgroundTask task(vesk::ProgressStage::Create, sink, [&] {
    const std::lock_guard lock(mutex);
    pending = true;
    woken.notify_all();
  });
  std::shared_ptr<Recorder> recorder;
  std::atomic<bool> recorderReady{false};
  auto plan = std::make_shared<const vesk::PackagePlan>(vesk::planPackage(check));
  task.start([&](vesk::MessageSink& jobSink, vesk::BuildProgress& progress) {
    recorder = std::make_shared<Recorder>(progress);
    recorderReady = true;
    vesk::CreateRequest request{check.entries, check.destination, check.programFolder};
    request.plan = plan;
    vesk::createPackage(request, jobSink, recorder.get());
  });

  Round round;
  round.pressAfter = pressAfter;
  Clock::time_point pressed{};
  const auto deadline = Clock::now() + std::chrono::minutes(5);
  while (Clock::now() < deadline) {
    {
      std::unique_lock lock(mutex);
      woken.wait_for(lock, std::chrono::milliseconds(1), [&] { return pending; });
      pending = false;
    }
    task.service();
    if (task.ended()) break;
    if (pressed != Clock::time_point{} || !recorderReady) continue;
    Clock::time_point first;
    {
      const std::lock_guard lock(recorder->mutex);
      first = recorder->firstData;
    }
    if (first == Clock::time_point{} || secondsBetween(first, Clock::now()) < pressAfter) continue;
    pressed = Clock::now();
    const std::uint64_t copied = recorder->bytes;
    const double rate =
        static_cast<double>(copied) / std::max(1e-9, secondsBetween(first, pressed));
    round.pieceSeconds = static_cast<double>(vesk::kCopyPieceBytes) / rate;
    const std::uint64_t inFile = copied - recorder->dataFileStartBytes;
    round.fileRest = static_cast<double>(fileBytes - std::min(fileBytes, inFile)) / rate;
    task.requestCancel();
  }
  round.ended = task.ended();
  if (round.ended && pressed != Clock::time_point{})
    round.latency = secondsBetween(pressed, Clock::now());
  task.finish();
  return round;
}

}  // namespace

int main(int argc, char** argv) {
  std::uint64_t mib = 1024;
  fs::path work = std::getenv("TMPDIR") != nullptr ? fs::path(std::getenv("TMPDIR"))
                                                   : fs::path(VESK_BENCH_WORK_DIR);
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--mib") {
      mib = std::strtoull(argv[i + 1], nullptr, 10);
    } else if (option == "--work-dir") {
      work = argv[i + 1];
    } else {
      std::fprintf(stderr, "usage: bench-cancel [--mib N] [--work-dir DIR]\n");
      return 2;
    }
  }
  const fs::path root = work / ("bench-cancel-" + std::to_string(::getpid()));
  fs::create_directories(root / "src");
  const std::uint64_t fileBytes = mib << 20;
  std::printf("writing 2 data files of %llu MiB in %s\n", static_cast<unsigned long long>(mib),
              root.string().c_str());
  writeData(root / "src" / "data-1.raw", fileBytes);
  writeData(root / "src" / "data-2.raw", fileBytes);
  std::ofstream(root / "src" / "scene.nuv", std::ios::binary)
      << "<data name=\"a\"><file path=\"data-1.raw\" /></data>\r\n"
         "<data name=\"b\"><file path=\"data-2.raw\" /></data>\r\n"
         "<drawGroup name=\"Sur\" ></drawGroup>\r\n";
  fs::copy_file(fs::path(VESK_PICTURES_DIR) / "landscape-320x240.jpg", root / "src" / "t.jpg");
  fs::copy_file(fs::path(VESK_PICTURES_DIR) / "portrait-480x640.png", root / "src" / "d.png");

  vesk::CheckRequest check;
  check.entries = {{(root / "src" / "scene.nuv").string(),
                    (root / "src" / "t.jpg").string(),
                    (root / "src" / "d.png").string(),
                    {}}};
  check.destination = (root / "dest").string();
  check.programFolder = VESK_PROGRAM_DIR;

  std::printf("%-10s %-12s %-12s %-10s %-14s\n", "press at", "latency", "one piece", "ratio",
              "between files");
  int status = 0;
  for (const double pressAfter : {0.2, 0.7, 1.5, 3.0}) {
    (void)vesk::removeTree(check.destination);
    const Round round = runRound(check, fileBytes, pressAfter);
    if (!round.ended || round.latency == 0) {
      std::printf("%8.1f s  the copy ended before the press\n", pressAfter);
      continue;
    }
    std::printf("%8.1f s  %8.3f s   %8.3f s   %6.2f     %8.2f s\n", pressAfter, round.latency,
                round.pieceSeconds, round.latency / round.pieceSeconds, round.fileRest);
    if (round.latency > 0.2) status = 1;
  }
  (void)vesk::removeTree(root.string());
  std::printf("budget: 0.2 s from the press to the end of the create\n");
  return status;
}
