// The reader's anonymous identifier, ReaderID under HKCU\Software\Quarlo\UserData: kept when it
// is a valid GUID text, else taken from the desktop product's UserID, else made new.
#pragma once

#include "platform/guid.h"
#include "store/store_layout.h"

namespace wbh::store {

// Makes sure ReaderID holds a valid GUID text. Never replaces a valid one, writes at most once
// and deletes at most once, and writes nothing when it has no GUID text to write. Returns 1.
int EnsureReaderId();

// Reads ReaderID as stored, whether or not it is a GUID text; false, with `id` empty, when it
// cannot be read.
bool ReadReaderId(StoredText& id);

// True when `text` is a braced GUID text that the platform parses; `guid` then holds it.
bool IsValidGuidText(const char* text, platform::Guid& guid);

}  // namespace wbh::store
