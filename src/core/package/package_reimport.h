#pragma once

#include <functional>
#include <string>

#include "messages/message_sink.h"
#include "model/entry_list.h"
#include "package/build_progress.h"

namespace vesk {

// Most numbered folders a re-import reads (00 to 99).
inline constexpr int kMaxReimportFolders = 100;

// Replaces the entries of `list` by those of the package whose exhibition.nuv is
// `packageDocument`: one entry per numbered folder 00, 01, ... until one is missing,
// each field holding the last file of its role in the folder's sorted listing, and
// makes entry 0 current. A field without a file stays empty; the entries that lack
// roles are then reported in one message, and numbered folders left unread after the
// missing number in another. With `progress`, each numbered folder is named to it as
// it is read, and a cancel it reports between two folders ends the reading at once:
// false then, `list` half read and nothing reported.
bool reimportPackage(const std::string& packageDocument, EntryList& list, MessageSink& sink,
                     BuildProgress* progress = nullptr);

// Where a top-level name of a package lies: its folder and the name, or elsewhere while
// an interrupted run keeps it aside.
using PackagePlaceOf = std::function<std::string(const std::string& name)>;

// The same, with each numbered folder read where `placeOf` says it lies ("" for
// absent); the entries name the files there.
bool reimportPackageAt(const PackagePlaceOf& placeOf, EntryList& list, MessageSink& sink,
                       BuildProgress* progress = nullptr);

}  // namespace vesk
