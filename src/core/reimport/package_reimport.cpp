#include "reimport/package_reimport.h"

namespace vesk {

// Placeholder until the re-import lands.
void reimportPackage(const std::string&, EntryList& list, MessageSink&) {
  list.clearEntries();
  list.setCurrentIndex(-1);
}

}  // namespace vesk
