# Writes the resource script's bytes into a C++ source as an array (run by the build with
# cmake -P whenever the script changes): -DINPUT=<the .rc> -DOUTPUT=<the .cpp>. Plain array
# initialisers, so neither compiler needs #embed or an assembler incbin.
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hex_length)
math(EXPR size "${hex_length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n    "
       bytes "${bytes}")
# The trailing 0 keeps an empty script a valid array; it is not counted in the size.
file(WRITE "${OUTPUT}.new"
"// Generated from ${INPUT} by cmake/embed-resource-script.cmake; do not edit.
#include <cstddef>

namespace wbh::platform {

extern const unsigned char kProgramResourceScript[] = {
    ${bytes}0x00};
extern const std::size_t kProgramResourceScriptSize = ${size};

}  // namespace wbh::platform
")
file(RENAME "${OUTPUT}.new" "${OUTPUT}")
