// A book's referral record under HKCU\Software\Quarlo\UserData\Referrals: the author's
// identifiers, when the book was first recorded and the reader's answer, plus the latest answer
// of any book (LastReaderTrack), which the consent dialog preselects next time.
#pragma once

#include <cstdint>

#include "consent/consent_flow.h"

namespace wbh {

// Writes the record of the book named by autorunbookid, with the reader's answer (1 accepted,
// 0 refused); nothing at all without a book. A failed write does not stop the next one, and
// LastReaderTrack is written also when the book's key cannot be made. Returns 1.
int WriteReferralRecord(const ConsentParameters& p, std::int32_t reader_accepted);

}  // namespace wbh
