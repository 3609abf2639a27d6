// The referral records under HKCU\Software\Quarlo\UserData\Referrals: each book's record (the
// author's identifiers, when it was first recorded, the reader's answer, where it was installed),
// the answer last given in any book, and how many books are recorded. A read that fails counts
// as absent; a write that fails is skipped and the next one still made.
#pragma once

#include <cstdint>
#include <optional>

#include "store/store_layout.h"

namespace wbh::store {

// The author's identifiers of one book, as the consent run writes them.
struct BookIdentifiers {
    const char* user_id;
    const char* sku;
    const char* partner_id;
};

// The same, as read back: a value that cannot be read is the empty text.
struct BookRecord {
    StoredText user_id, sku, partner_id;
};

// The answer last given in any book (LastReaderTrack); none when missing or unreadable. A stored
// value shorter than 4 bytes replaces only the low-order bytes of 1: a single zero byte reads as
// 0, an empty value as 1.
std::optional<std::uint32_t> ReadLastAnswer();

// Writes the book's record (its identifiers, the time stamp of its first recording, its answer),
// then the answer as the last one, which is written also when the book's key cannot be made.
// The book id is the key path unchanged: a backslash nests keys, the empty id names Referrals.
void WriteReferral(const char* book_id, const BookIdentifiers& identifiers, std::uint32_t answer);

// The book's answer (ReaderTrack), 1 when it cannot be read (a book installed without a consent
// run has no key); short values as ReadLastAnswer. 0 for an id that cannot name a key, whose
// answer no run could record: a refusal is never taken for consent.
std::uint32_t ReadBookAnswer(const char* book_id);

// The book's record. With `book_count`, also the number of recorded books there (0 when it
// cannot be read), through the same opening of Referrals.
BookRecord ReadBookRecord(const char* book_id, std::uint32_t* book_count);

// Records the install directory on the book's key, only when that key exists already (a book
// that a consent run recorded); nothing for the empty id, which would name Referrals itself.
void WriteInstallDirectory(const char* book_id, const char* directory);

}  // namespace wbh::store
