// The scene scan and the merge of one scene file holding the input bytes.
#include "format/scene_scan.h"
#include "format/scene_merge.h"
#include "model/entry_list.h"
#include "package/scene_files.h"
#include "scratch_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vesk::EntryList list;
  list.workingEntry().scenePath =
      vesk::fuzz::writeScratchFile("s.nuv", vesk::fuzz::asText(data, size));
  list.appendWorkingEntry();
  vesk::scanSceneData(list, 0);
  if (list.at(0).dataFiles.size() > static_cast<std::size_t>(vesk::kMaxSceneElements)) {
    __builtin_trap();
  }
  std::string text;
  std::vector<std::string> topGroupNames;
  vesk::mergeEntryScene(text, 7, list.at(0), topGroupNames);
  return 0;
}
