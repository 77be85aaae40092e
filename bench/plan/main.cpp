// bench-plan: a create of the benchmark packages, counted and timed. The create
// plans once (every scene read once, every picture header once) and executes the
// plan: its copies read each scene again, and its document merges each scene again.
// Printed per workload: the most reads of one scene (through the scene reader) and
// of one picture header, and the time of plan + create against (a) a plain copy of
// the planned files with the document written, the work no create can avoid, and (b) a check
// followed by a create that plans again, as the check and the create each read everything before.
// Medians of 5 rounds, each timing from a synced disk to its own writes synced.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "base/file_system.h"
#include "base/text_file.h"
#include "image/image_probe.h"
#include "messages/message_sink.h"
#include "package/build_command.h"
#include "package/package_plan.h"
#include "package/planned_document.h"
#include "quiet_run.h"
#include "workload.h"

namespace {

namespace fs = std::filesystem;
using vesk::bench::kMiB;
using vesk::bench::QuietSink;
using vesk::bench::seconds;

// A timing that starts with nothing left to write back and ends once its own writes
// are on disk, so that no run pays for another's write-back.
double secondsWithSync(const std::function<void()>& work) {
  ::sync();
  return seconds([&] {
    work();
    ::sync();
  });
}

vesk::CheckRequest checkFor(const vesk::bench::Workload& workload, const fs::path& dest) {
  vesk::CheckRequest request;
  for (const auto& e : workload.entries)
    request.entries.push_back({e.scene, e.thumbnail, e.description, {}});
  request.destination = dest.string();
  request.programFolder = VESK_PROGRAM_DIR;
  return request;
}

vesk::CreateRequest createFor(const vesk::CheckRequest& check) {
  vesk::CreateRequest request;
  request.entries = check.entries;
  request.destination = check.destination;
  request.programFolder = check.programFolder;
  return request;
}

void measure(const char* name, const vesk::bench::Workload& workload, const fs::path& work) {
  QuietSink sink;
  // Counted: one create, the reads of every scene and picture header.
  std::map<std::string, int> sceneReads;
  std::map<std::string, int> pictureReads;
  vesk::CheckRequest counted = checkFor(workload, work / "counted");
  counted.readScene = [&](const std::string& path) {
    ++sceneReads[path];
    return vesk::readTextLines(path);
  };
  counted.probePicture = [&](const std::string& path) {
    ++pictureReads[path];
    return vesk::probeImageSize(path);
  };
  vesk::CreateRequest create = createFor(counted);
  create.readScene = counted.readScene;
  create.plan = std::make_shared<const vesk::PackagePlan>(vesk::planPackage(counted));
  const auto status = vesk::createPackage(create, sink).status;
  const auto most = [](const std::map<std::string, int>& reads) {
    int top = 0;
    for (const auto& [path, count] : reads) top = std::max(top, count);
    return top;
  };
  // A scene is read to plan and again to write the document; its copy reads it once more.
  std::printf("%s: %s; reads of one scene at most %d (+1 copy), of one picture header at most %d\n",
              name, status == vesk::BuildStatus::Written ? "written" : "NOT WRITTEN",
              most(sceneReads), most(pictureReads));
  fs::remove_all(work / "counted");

  int round = 0;
  const auto fresh = [&] { return work / ("run" + std::to_string(round++)); };
  const auto planAndCreate = [&] {
    const fs::path dest = fresh();
    const vesk::CheckRequest check = checkFor(workload, dest);
    vesk::CreateRequest request = createFor(check);
    request.plan = std::make_shared<const vesk::PackagePlan>(vesk::planPackage(check));
    vesk::createPackage(request, sink);
  };
  const auto checkThenPlanAgain = [&] {
    const fs::path dest = fresh();
    const vesk::CheckRequest check = checkFor(workload, dest);
    (void)vesk::checkPackage(check);
    vesk::createPackage(createFor(check), sink);
  };
  const vesk::PackagePlan plan = vesk::planPackage(checkFor(workload, work / "copy"));
  const auto plainCopy = [&] {
    const fs::path dest = fresh();
    for (const auto& item : plan.items) {
      const std::string target = (dest / item.target).string();
      if (item.step == vesk::PlannedItem::Step::MakeFolder) {
        fs::create_directories(target);
      } else {
        fs::create_directories(fs::path(target).parent_path());
        (void)vesk::copyFile(item.source, target);
      }
    }
    (void)vesk::writePlannedDocument(plan, (dest / "exhibition.nuv").string(), vesk::readTextLines);
  };
  // Rounds in turn, each taking the three in a rotated order; the median of each.
  std::vector<double> times[3];
  const std::function<void()> runs[3] = {plainCopy, planAndCreate, checkThenPlanAgain};
  for (int i = 0; i < 5; ++i) {
    for (int k = 0; k < 3; ++k) times[(i + k) % 3].push_back(secondsWithSync(runs[(i + k) % 3]));
    fs::remove_all(work);
    fs::create_directories(work);
  }
  double best[3];
  for (int k = 0; k < 3; ++k) {
    std::sort(times[k].begin(), times[k].end());
    best[k] = times[k][times[k].size() / 2];
  }
  std::printf(
      "%s: median plain copy %.3f s; plan + create %.3f s (ratio %.2f to the copy); check + create "
      "planning again %.3f s (plan + create / that: %.2f)\n",
      name, best[0], best[1], best[1] / best[0], best[2], best[1] / best[2]);
}

}  // namespace

int main() {
  const fs::path work = fs::path(VESK_BENCH_WORK_DIR) / "bench-plan";
  fs::remove_all(work);
  fs::create_directories(work);
  const fs::path thumb = fs::path(VESK_SAMPLE_DIR) / "01-heart/heart_thumb.jpg";
  const fs::path desc = fs::path(VESK_SAMPLE_DIR) / "01-heart/heart_desc.png";

  const auto scenes =
      vesk::bench::makeSceneHeavy(work / "scene-src", {99, 64 * 1024, 100, 100}, thumb, desc);
  const auto data =
      vesk::bench::makeDataHeavy(work / "data-src", {10, 4, 4 * kMiB, 200, 4096}, thumb, desc);
  measure("scene-heavy (99 entries, 64 KiB scenes)", scenes, work / "out");
  measure("data-heavy (10 entries, 4 MiB, 2,000 folder files)", data, work / "out");
  fs::remove_all(work);
  return 0;
}
