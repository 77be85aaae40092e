#pragma once

#include <string>

#include "messages/message_sink.h"
#include "model/entry_list.h"

namespace vesk {

// Most numbered folders a re-import reads (00 to 99).
inline constexpr int kMaxReimportFolders = 100;

// Replaces the entries of `list` by those of the package whose exhibition.nuv is
// `packageDocument`: one entry per numbered folder 00, 01, ... until one is missing,
// each field holding the last file of its role in the folder's sorted listing, and
// makes entry 0 current. A field without a file stays empty; the entries that lack
// roles are then reported in one message, and numbered folders left unread after the
// missing number in another.
void reimportPackage(const std::string& packageDocument, EntryList& list, MessageSink& sink);

}  // namespace vesk
