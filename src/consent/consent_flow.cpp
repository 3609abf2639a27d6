// Mode 1 flow. The parameters file is read after the command line, so its values win; it
// cannot name another parameters file.
#include "consent/consent_flow.h"

#include "common/ascii.h"
#include "consent/consent_dialog.h"
#include "consent/referral_record.h"
#include "params/option_scanner.h"
#include "params/parameters_file.h"
#include "store/reader_id.h"

namespace wbh {
namespace {

// The keys a parameters file may set, in the order they are compared.
BoundedText<1024>* FileField(ConsentParameters& p, const char* key) {
    if (EqualsNoCase(key, "autorunbookid")) return &p.autorunbookid;
    if (EqualsNoCase(key, "authoruserid")) return &p.authoruserid;
    if (EqualsNoCase(key, "authorquarlosku")) return &p.authorquarlosku;
    if (EqualsNoCase(key, "authorpartnerid")) return &p.authorpartnerid;
    return nullptr;
}

}  // namespace

int ConsentOptionHandler(ConsentParameters& p, const char* name, const char* value) {
    BoundedText<1024>* field = FileField(p, name);
    if (field == nullptr && EqualsNoCase(name, "parametersfilepath")) {
        field = &p.parametersfilepath;
    }
    if (field != nullptr) field->Assign(value);
    return 1;
}

int ConsentEntryHandler(ConsentParameters& p, const char* section, const char* key,
                        const char* value) {
    if (key == nullptr || !EqualsNoCase(section, "parameters")) return 1;
    if (BoundedText<1024>* field = FileField(p, key)) field->Assign(value);
    return 1;
}

int RecordConsent(const ConsentParameters& p, std::int32_t reader_accepted) {
    // Made sure of before the record, whether or not a book is named.
    const int ensured = reader_accepted != 0 ? store::EnsureReaderId() : 1;
    return WriteReferralRecord(p, reader_accepted) & (ensured & 1);
}

int ConsentFlow::RunConsent(const char* command_line) {
    ConsentParameters& p = parameters_;
    ScanCommandLine(command_line, [&p](const char* name, const char* value) {
        return ConsentOptionHandler(p, name, value);
    });
    if (!p.parametersfilepath.Empty() &&
        ReadParametersFile(p.parametersfilepath.CStr(),
                           [&p](const char* section, const char* key, const char* value) {
                               return ConsentEntryHandler(p, section, key, value);
                           }) == 0) {
        return 1;
    }
    ShowConsentDialog(reader_accepted_);
    RecordConsent(p, reader_accepted_);
    return 1;
}

}  // namespace wbh
