// Turns argv into the command-line text that the Windows start-up hands to the program, so the
// option grammar sees the same text on both platforms.
#pragma once

#include <string>

namespace wbh::platform {

// An argument that begins with "-" is an option name and is passed as written. Any other
// argument is a value, passed quoted when it holds white space, "-", "/" or a quote: in double
// quotes, or in single quotes when it holds a double quote. Arguments are joined by one blank.
std::string BuildCommandLine(int argc, const char* const* argv);

}  // namespace wbh::platform
