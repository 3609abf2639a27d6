// The referral record of a consent run, from its parameters and the reader's answer.
#include "consent/referral_record.h"

#include <cstdint>

#include "store/referrals.h"

namespace wbh {

int WriteReferralRecord(const ConsentParameters& p, std::int32_t reader_accepted) {
    if (p.autorunbookid.Empty()) return 1;

    const std::uint32_t answer = reader_accepted != 0 ? 1 : 0;
    store::WriteReferral(
        p.autorunbookid.CStr(),
        {p.authoruserid.CStr(), p.authorquarlosku.CStr(), p.authorpartnerid.CStr()}, answer);
    return 1;
}

}  // namespace wbh
