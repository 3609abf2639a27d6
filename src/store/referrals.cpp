// The referral records. Writes go in a fixed order (UserID, QuarloSKU, PartnerID, TimeStamp,
// ReaderTrack, then LastReaderTrack) and a book key is always closed before the Referrals key.
// Reads open their keys with kRead, writes make them with Create and kAllAccess, except the
// install directory (kSetValue on the existing book key).
#include "store/referrals.h"

#include "platform/clock.h"
#include "platform/registry.h"
#include "store/reg_key.h"

namespace wbh::store {
namespace {

namespace reg = platform::registry;

Key UserRoot() { return reg::RootKey(reg::Root::kCurrentUser); }

// TimeStamp records when the book was first recorded, so it is written only while the book key
// has no value of that name that a reader would take, whatever its type. It is the platform's
// 16-byte SYSTEMTIME: eight little-endian 16-bit fields, in UTC.
void StampFirstRecording(RegKey& book) {
    if (book.HasValue(kTimeStampValue)) return;

    const platform::SystemTime now = platform::CurrentUtcTime();
    const std::uint16_t fields[8] = {now.year, now.month,  now.day_of_week, now.day,
                                     now.hour, now.minute, now.second,      now.milliseconds};
    std::uint8_t bytes[16];
    for (int i = 0; i < 8; ++i) {
        bytes[2 * i] = static_cast<std::uint8_t>(fields[i]);
        bytes[2 * i + 1] = static_cast<std::uint8_t>(fields[i] >> 8);
    }
    book.SetBinary(bytes, sizeof bytes, kTimeStampValue);
}

}  // namespace

std::optional<std::uint32_t> ReadLastAnswer() {
    std::uint32_t answer = 1;
    bool found = false;
    RegKey referrals;
    if (referrals.Open(UserRoot(), kReferralsKey, kKeyRead) == 0) {
        found = referrals.QueryDword(answer, kLastReaderTrackValue) == 0;
    }
    referrals.Close();
    return found ? std::optional(answer) : std::nullopt;
}

void WriteReferral(const char* book_id, const BookIdentifiers& identifiers, std::uint32_t answer) {
    RegKey referrals;
    if (referrals.Create(UserRoot(), kReferralsKey, kKeyAllAccess) != 0) return;

    // Declared after `referrals`, so it is closed first.
    RegKey book;
    if (book.Create(referrals.Handle(), book_id, kKeyAllAccess) == 0) {
        book.SetString(identifiers.user_id, kBookUserIdValue);
        book.SetString(identifiers.sku, kQuarloSkuValue);
        book.SetString(identifiers.partner_id, kPartnerIdValue);
        StampFirstRecording(book);
        book.SetDword(answer, kReaderTrackValue);
    }
    referrals.SetDword(answer, kLastReaderTrackValue);
}

std::uint32_t ReadBookAnswer(const char* book_id) {
    // No consent run can have recorded this book's answer, which may have been a refusal; the
    // LastReaderTrack that run left speaks for it only until another book's run, so it counts
    // as a refusal.
    if (reg::CheckKeyPath(book_id) != reg::kSuccess) return 0;
    std::uint32_t answer = 1;
    RegKey referrals;
    if (referrals.Open(UserRoot(), kReferralsKey, kKeyRead) != 0) return 1;
    RegKey book;
    if (book.Open(referrals.Handle(), book_id, kKeyRead) != 0) return 1;
    if (book.QueryDword(answer, kReaderTrackValue) != 0) return 1;
    return answer;
}

BookRecord ReadBookRecord(const char* book_id, std::uint32_t* book_count) {
    BookRecord record;
    if (book_count != nullptr) *book_count = 0;
    RegKey referrals;
    if (referrals.Open(UserRoot(), kReferralsKey, kKeyRead) != 0) return record;
    RegKey book;
    if (book.Open(referrals.Handle(), book_id, kKeyRead) == 0) {
        book.QueryText(record.user_id, kBookUserIdValue);
        book.QueryText(record.sku, kQuarloSkuValue);
        book.QueryText(record.partner_id, kPartnerIdValue);
    }
    book.Close();
    if (book_count != nullptr && referrals.CountSubkeys(*book_count) != 0) *book_count = 0;
    return record;
}

void WriteInstallDirectory(const char* book_id, const char* directory) {
    if (book_id[0] == '\0') return;
    RegKey referrals;
    if (referrals.Open(UserRoot(), kReferralsKey, kKeyRead) != 0) return;
    // Opened, never created.
    RegKey book;
    if (book.Open(referrals.Handle(), book_id, kKeySetValue) != 0) return;
    book.SetString(directory, kInstallDirectoryValue);
}

}  // namespace wbh::store
