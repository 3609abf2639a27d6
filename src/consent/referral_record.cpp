// The referral record. Writes go in a fixed order (UserID, QuarloSKU, PartnerID, TimeStamp,
// ReaderTrack, then LastReaderTrack); the book key is closed before the Referrals key.
#include "consent/referral_record.h"

#include <cstdint>

#include "platform/clock.h"
#include "platform/registry.h"
#include "store/reg_key.h"
#include "store/store_layout.h"

namespace wbh {
namespace {

namespace reg = platform::registry;

// TimeStamp records when the book was first recorded, so it is written only while the book key
// has no readable value of that name, whatever type a readable one has. It is the platform's
// 16-byte SYSTEMTIME: eight little-endian 16-bit fields, in UTC.
void StampFirstRecording(store::RegKey& book) {
    char stored[store::kTextBufferSize + 1];
    std::uint32_t size = sizeof stored;
    if (book.QueryString(stored, store::kTimeStampValue, size) == 0) return;

    const platform::SystemTime now = platform::CurrentUtcTime();
    const std::uint16_t fields[8] = {now.year, now.month,  now.day_of_week, now.day,
                                     now.hour, now.minute, now.second,      now.milliseconds};
    std::uint8_t bytes[16];
    for (int i = 0; i < 8; ++i) {
        bytes[2 * i] = static_cast<std::uint8_t>(fields[i]);
        bytes[2 * i + 1] = static_cast<std::uint8_t>(fields[i] >> 8);
    }
    book.SetBinary(bytes, sizeof bytes, store::kTimeStampValue);
}

}  // namespace

int WriteReferralRecord(const ConsentParameters& p, std::int32_t reader_accepted) {
    if (p.autorunbookid.Empty()) return 1;

    store::RegKey referrals;
    if (referrals.Create(reg::RootKey(reg::Root::kCurrentUser), store::kReferralsKey,
                         store::kKeyAllAccess) != 0) {
        return 1;
    }
    const std::uint32_t answer = reader_accepted != 0 ? 1 : 0;

    // Declared after `referrals`, so it is closed first.
    store::RegKey book;
    if (book.Create(referrals.Handle(), p.autorunbookid.CStr(), store::kKeyAllAccess) == 0) {
        book.SetString(p.authoruserid.CStr(), store::kBookUserIdValue);
        book.SetString(p.authorquarlosku.CStr(), store::kQuarloSkuValue);
        book.SetString(p.authorpartnerid.CStr(), store::kPartnerIdValue);
        StampFirstRecording(book);
        book.SetDword(answer, store::kReaderTrackValue);
    }
    referrals.SetDword(answer, store::kLastReaderTrackValue);
    return 1;
}

}  // namespace wbh
