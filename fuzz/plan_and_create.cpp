// The check against the create: one mutated scene (from the first byte's lowest bit
// on, the scene of an earlier package read back as with --from) is planned, then
// created into a fresh folder. The check's verdict must predict the create: no error
// means the create succeeds and its package passes verify; an error means the create
// refuses and the destination stays unmade.
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include "messages/message_sink.h"
#include "model/entry_list.h"
#include "package/build_command.h"
#include "package/package_plan.h"
#include "package/package_reimport.h"
#include "package/package_verify.h"
#include "scratch_files.h"

namespace {

namespace fs = std::filesystem;

class QuietSink : public vesk::MessageSink {
 public:
  void showMessage(const vesk::Message&) override {}
  bool askYesNo(const std::string&, vesk::DefaultAnswer) override { return true; }
};

const std::string kPictures = VESK_FUZZ_PICTURES;

// The files the scene may name beside it, made once: a data file, a data folder with
// two files, a file in a sub-folder, the pictures.
void prepareSources(const fs::path& folder) {
  fs::create_directories(folder / "ct");
  fs::create_directories(folder / "m");
  for (const char* name : {"v.raw", "ct/a.dcm", "ct/b.dcm", "m/mesh.obj", "a"}) {
    vesk::fuzz::writeScratchFile(
        (fs::relative(folder, vesk::fuzz::scratchFolder()) / name).string(), name);
  }
  fs::copy_file(kPictures + "/landscape-320x240.jpg", folder / "t.jpg",
                fs::copy_options::overwrite_existing);
  fs::copy_file(kPictures + "/portrait-480x640.png", folder / "d.png",
                fs::copy_options::overwrite_existing);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const bool fromPackage = (data[0] & 1) != 0;
  const std::string_view scene = vesk::fuzz::asText(data + 1, size - 1);
  const fs::path root = vesk::fuzz::scratchFolder();
  static const bool prepared = [&] {
    prepareSources(root / "src");
    prepareSources(root / "old" / "00");
    return true;
  }();
  (void)prepared;

  vesk::EntryList list;
  QuietSink sink;
  if (fromPackage) {
    vesk::fuzz::writeScratchFile("old/00/s.nuv", scene);
    vesk::fuzz::writeScratchFile("old/exhibition.nuv", "");
    vesk::reimportPackage((root / "old" / "exhibition.nuv").string(), list, sink);
  } else {
    vesk::fuzz::writeScratchFile("src/s.nuv", scene);
    list.workingEntry() = {(root / "src" / "s.nuv").string(),
                           (root / "src" / "t.jpg").string(),
                           (root / "src" / "d.png").string(),
                           {}};
    list.appendWorkingEntry();
  }
  if (list.size() != 1) __builtin_trap();

  const fs::path destination = root / "package";
  std::error_code ec;
  fs::remove_all(destination, ec);
  vesk::CheckRequest request;
  request.entries = list.entries();
  request.destination = destination.string();
  request.programFolder = VESK_FUZZ_PROGRAM_DIR;
  request.windowsNames = false;
  const auto plan = std::make_shared<const vesk::PackagePlan>(vesk::planPackage(request));
  const bool error = vesk::hasCheckErrors(plan->problems);

  vesk::CreateRequest create;
  create.entries = request.entries;
  create.destination = request.destination;
  create.programFolder = request.programFolder;
  create.plan = plan;
  const vesk::BuildReport report = vesk::createPackage(create, sink);
  if (error) {
    if (report.status != vesk::BuildStatus::Stopped || fs::exists(destination)) __builtin_trap();
    return 0;
  }
  if (report.status != vesk::BuildStatus::Written) __builtin_trap();
  if (!vesk::verifyPackage(report.documentPath).empty()) __builtin_trap();
  return 0;
}
