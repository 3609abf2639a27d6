// The command-line option grammar: "-name value" or "/name value" pairs, values quoted or
// running to the next marker. The scanner hands each pair to the caller's handler at once and
// keeps nothing between scans; callers decide by their handler which names they take.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "common/function_ref.h"

namespace wbh {

// Receives one option; both texts are valid only during the call.
// Returns non-zero to go on, zero to end the scan.
using OptionHandler = FunctionRef<int(const char* name, const char* value)>;

// Scans the whole text, whatever its length. No text: returns 1 and calls nothing.
// Returns 1 at the end of the text, 0 as soon as the handler returned 0.
int ScanCommandLine(const char* text, OptionHandler handler);

class OptionScanner {
public:
    int Scan(std::string_view text, OptionHandler handler) const;

    // From just after a marker: the name runs to the next white space or the end of the text.
    // Returns the position where the name ended.
    std::size_t ReadName(std::string_view text, std::size_t pos, std::string& name) const;

    // From just after the name: returns the position where the value ended, which always holds
    // a marker (not consumed) or is the end of the text.
    std::size_t ReadValue(std::string_view text, std::size_t pos, std::string& value) const;
};

}  // namespace wbh
