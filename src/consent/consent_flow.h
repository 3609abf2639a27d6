// Mode 1, consent: collects the book's and author's identifiers from the command line and the
// parameters file, asks the reader through the consent dialog, and records the answer.
// Constructing the flow resets its parameter set and the reader's answer.
#pragma once

#include <cstdint>

#include "common/bounded_text.h"

namespace wbh {

struct ConsentParameters {
    BoundedText<1024> autorunbookid;
    BoundedText<1024> authoruserid;
    BoundedText<1024> authorquarlosku;
    BoundedText<1024> authorpartnerid;
    BoundedText<1024> parametersfilepath;
};

ConsentParameters& ConsentParams();
// The reader's answer: 1 accepted, 0 refused.
std::int32_t& ReaderAccepted();

int ConsentOptionHandler(const char* name, const char* value);
int ConsentEntryHandler(const char* section, const char* key, const char* value);

// Makes sure of the reader identifier when the reader accepted, then writes the referral
// record. Returns 1.
int RecordConsent();

class ConsentFlow {
public:
    ConsentFlow();
    // Intake, dialog, record. Returns 1; a parameters file that ends the reading ends the run
    // before the dialog, with nothing recorded.
    int RunConsent(const char* command_line);
};

}  // namespace wbh
