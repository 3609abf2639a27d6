// Mode 1 flow: parameter intake. The parameters file is read after the command line, so its
// values win; it cannot name another parameters file.
#include "consent/consent_flow.h"

#include "common/ascii.h"
#include "params/option_scanner.h"
#include "params/parameters_file.h"

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
    // The consent dialog and the referral record come next in this flow.
    return 1;
}

}  // namespace wbh
