// Turns argv into the command-line text that the Windows start-up hands to the program, so the
// option grammar sees the same text on both platforms.
#pragma once

#include <string>
#include <string_view>

namespace wbh::platform {

// An argument that begins with "-" is an option name and is passed as written. The arguments
// after it, up to the next name, are its value, joined by one blank: passed quoted when it holds
// white space, "-", "/" or a quote, in double quotes, or in single quotes when it holds a double
// quote. Names and values are joined by one blank.
// What the grammar cannot carry whole is refused rather than cut or split into further options:
// a value holding both quotes or ending in white space or a quote is passed empty, a name
// holding white space is passed as the empty name, arguments before the first name are left
// out. `notes`, when given, receives one line for each, and, with `known`, one for each option
// name that `known` (given the name without its "-") does not take; such an option is passed as
// written all the same, and matches nothing.
std::string BuildCommandLine(int argc, const char* const* argv, std::string* notes = nullptr,
                             bool (*known)(std::string_view name) = nullptr);

}  // namespace wbh::platform
