// Mode 1, consent: collects the book's and author's identifiers from the command line and the
// parameters file, asks the reader through the consent dialog, and records the answer.
// The flow owns its parameter set and the reader's answer.
#pragma once

#include <cstdint>
#include <string_view>

#include "common/bounded_text.h"

namespace wbh {

struct ConsentParameters {
    BoundedText<1024> autorunbookid;
    BoundedText<1024> authoruserid;
    BoundedText<1024> authorquarlosku;
    BoundedText<1024> authorpartnerid;
    BoundedText<1024> parametersfilepath;
};

// Whether mode 1 reads an option of that name.
bool IsConsentOption(std::string_view name);

// Makes sure of the reader identifier when the reader accepted (1), then writes the referral
// record. Returns 1.
int RecordConsent(const ConsentParameters& p, std::int32_t reader_accepted);

class ConsentFlow {
public:
    // Intake, dialog, record. Returns 1; a parameters file that ends the reading ends the run
    // before the dialog, with nothing recorded.
    int RunConsent(const char* command_line);

    const ConsentParameters& Parameters() const { return parameters_; }

private:
    ConsentParameters parameters_;
    std::int32_t reader_accepted_ = 0;  // 1 accepted, 0 refused (also when no answer was given)
};

}  // namespace wbh
