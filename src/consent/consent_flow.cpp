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
BoundedText<1024>* FileField(const char* key) {
    ConsentParameters& p = ConsentParams();
    if (EqualsNoCase(key, "autorunbookid")) return &p.autorunbookid;
    if (EqualsNoCase(key, "authoruserid")) return &p.authoruserid;
    if (EqualsNoCase(key, "authorquarlosku")) return &p.authorquarlosku;
    if (EqualsNoCase(key, "authorpartnerid")) return &p.authorpartnerid;
    return nullptr;
}

}  // namespace

ConsentParameters& ConsentParams() {
    static ConsentParameters parameters;
    return parameters;
}

std::int32_t& ReaderAccepted() {
    static std::int32_t accepted = 0;
    return accepted;
}

int ConsentOptionHandler(const char* name, const char* value) {
    BoundedText<1024>* field = FileField(name);
    if (field == nullptr && EqualsNoCase(name, "parametersfilepath")) {
        field = &ConsentParams().parametersfilepath;
    }
    if (field != nullptr) field->Assign(value);
    return 1;
}

int ConsentEntryHandler(const char* section, const char* key, const char* value) {
    if (key == nullptr || !EqualsNoCase(section, "parameters")) return 1;
    if (BoundedText<1024>* field = FileField(key)) field->Assign(value);
    return 1;
}

int RecordConsent() {
    // Made sure of before the record, whether or not a book is named.
    const int ensured = ReaderAccepted() != 0 ? store::EnsureReaderId() : 1;
    return WriteReferralRecord() & (ensured & 1);
}

ConsentFlow::ConsentFlow() {
    ConsentParams() = ConsentParameters();
    ReaderAccepted() = 0;
}

int ConsentFlow::RunConsent(const char* command_line) {
    ScanCommandLine(command_line, ConsentOptionHandler);
    const ConsentParameters& p = ConsentParams();
    if (!p.parametersfilepath.Empty() &&
        ReadParametersFile(p.parametersfilepath.CStr(), ConsentEntryHandler) == 0) {
        return 1;
    }
    ShowConsentDialog();
    RecordConsent();
    return 1;
}

}  // namespace wbh
