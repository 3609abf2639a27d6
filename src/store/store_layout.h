// Every registry key and value of the program's records, named once. The program remembers
// nothing anywhere else between runs. (The .7xe file type is the shell's: platform/shell.h.)
//
//  HKEY_CURRENT_USER\Software\Quarlo\UserData
//      ReaderID           REG_SZ    the reader's anonymous GUID text (written only after consent)
//      UserID             REG_SZ    the desktop product's user GUID; read, never written
//  ...\UserData\Referrals
//      LastReaderTrack    REG_DWORD the answer at the latest consent run naming a book (1 or 0)
//      <book id>\         one sub-key per book; the id is used as the key path unchanged, so a
//                         backslash in it nests keys and an empty id names Referrals itself
//          UserID, QuarloSKU, PartnerID   REG_SZ    the author's identifiers
//          TimeStamp          REG_BINARY 16 bytes: SYSTEMTIME in UTC, the first time the book
//                                        was recorded, never rewritten while readable
//          ReaderTrack        REG_DWORD  the answer for this book; read as 1 when absent, and
//                                        as 0 for an id that cannot name a key
//          Install Directory  REG_SZ     set only on a book key that already exists
//
// Reads open keys with kRead; writes make their keys with Create and kAllAccess, except
// Install Directory (kSetValue on the existing book key). The only deletion is of ReaderID.
#pragma once

#include <cstdint>

#include "common/bounded_text.h"
#include "platform/registry.h"

namespace wbh::store {

inline constexpr char kUserDataKey[] = "Software\\Quarlo\\UserData";
inline constexpr char kReferralsKey[] = "Software\\Quarlo\\UserData\\Referrals";

inline constexpr char kReaderIdValue[] = "ReaderID";
inline constexpr char kProductUserIdValue[] = "UserID";
inline constexpr char kLastReaderTrackValue[] = "LastReaderTrack";
inline constexpr char kBookUserIdValue[] = "UserID";
inline constexpr char kQuarloSkuValue[] = "QuarloSKU";
inline constexpr char kPartnerIdValue[] = "PartnerID";
inline constexpr char kTimeStampValue[] = "TimeStamp";
inline constexpr char kReaderTrackValue[] = "ReaderTrack";
inline constexpr char kInstallDirectoryValue[] = "Install Directory";

// Every reader of a text value reads at most this many stored characters (UTF-16 units, as
// Windows stores texts; the terminator counts when it was stored); a longer value reads as
// absent. So a text of 511 characters with its terminator reads, and so do 512 stored without
// one, in any script.
inline constexpr std::uint32_t kTextCharacters = 512;
// The bytes those characters take at most in UTF-8. A reader's buffer is one byte larger, for
// the terminator that stored bytes may lack.
inline constexpr std::uint32_t kTextBufferSize = 3 * kTextCharacters;
// A text value as those readers keep it.
using StoredText = BoundedText<kTextCharacters + 1>;

inline constexpr std::uint32_t kKeyRead = platform::registry::kRead;
inline constexpr std::uint32_t kKeyAllAccess = platform::registry::kAllAccess;
inline constexpr std::uint32_t kKeySetValue = platform::registry::kSetValue;

}  // namespace wbh::store
