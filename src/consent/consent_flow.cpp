// Mode 1 flow. The parameters file is read after the command line, so its values win; it
// cannot name another parameters file.
#include "consent/consent_flow.h"

#include "consent/consent_dialog.h"
#include "consent/referral_record.h"
#include "params/parameter_intake.h"
#include "store/reader_id.h"

namespace wbh {
namespace {

// The identifiers may come from the file too, compared in this order.
const Option<ConsentParameters> kConsentOptions[] = {
    {"autorunbookid", true, FieldOf<&ConsentParameters::autorunbookid>},
    {"authoruserid", true, FieldOf<&ConsentParameters::authoruserid>},
    {"authorquarlosku", true, FieldOf<&ConsentParameters::authorquarlosku>},
    {"authorpartnerid", true, FieldOf<&ConsentParameters::authorpartnerid>},
    {kParametersFileOption, false, FieldOf<&ConsentParameters::parametersfilepath>},
};

}  // namespace

bool IsConsentOption(std::string_view name) { return HasOption(kConsentOptions, name); }

int RecordConsent(const ConsentParameters& p, std::int32_t reader_accepted) {
    // Made sure of before the record, whether or not a book is named.
    const int ensured = reader_accepted != 0 ? store::EnsureReaderId() : 1;
    return WriteReferralRecord(p, reader_accepted) & (ensured & 1);
}

int ConsentFlow::RunConsent(const char* command_line) {
    ConsentParameters& p = parameters_;
    if (TakeParameters(command_line, kConsentOptions, p) == 0) return 1;
    ShowConsentDialog(reader_accepted_);
    RecordConsent(p, reader_accepted_);
    return 1;
}

}  // namespace wbh
