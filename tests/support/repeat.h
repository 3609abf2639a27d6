// Long names and values, made of one character or word.
#pragma once

#include <string>

namespace wbh::test {

inline std::string Repeat(const std::string& text, int times) {
    std::string repeated;
    while (times-- > 0) repeated += text;
    return repeated;
}

}  // namespace wbh::test
