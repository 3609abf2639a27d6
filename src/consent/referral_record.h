// A book's referral record under HKCU\Software\Quarlo\UserData\Referrals: the author's
// identifiers, when the book was first recorded and the reader's answer, plus the latest answer
// of any book (LastReaderTrack), which the consent dialog preselects next time.
#pragma once

namespace wbh {

// Writes the record of the book named by autorunbookid, from ConsentParams() and
// ReaderAccepted(); nothing at all without a book. A failed write does not stop the next one,
// and LastReaderTrack is written also when the book's key cannot be made. Returns 1.
int WriteReferralRecord();

}  // namespace wbh
