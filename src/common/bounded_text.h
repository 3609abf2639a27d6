// A fixed-size text field of N - 1 characters, counted in UTF-16 units whatever their UTF-8
// length (common/utf8.h), so a path field holds what the Windows path limit lets through in
// any script. A value that does not fit is refused, as if it had not been given: the field
// keeps what it held. A cut path or identifier would name something else, so nothing is ever
// stored cut.
#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

#include "common/utf8.h"

namespace wbh {

template <std::size_t N>
class BoundedText {
    static_assert(N >= 1, "a field needs room for its NUL");

public:
    static constexpr std::size_t kCapacity = N - 1;  // characters, without the NUL
    // Bytes, the NUL included: UTF-8 takes at most three bytes for one UTF-16 unit.
    static constexpr std::size_t kBufferSize = 3 * kCapacity + 1;

    // Only the NUL: the bytes after it are never read.
    BoundedText() { text_[0] = '\0'; }

    // Stores the value whole, or returns false and leaves the field as it was.
    bool Assign(std::string_view value) {
        if (value.size() > kBufferSize - 1 || utf8::Utf16Length(value) > kCapacity) return false;
        std::memcpy(text_, value.data(), value.size());
        text_[value.size()] = '\0';
        return true;
    }

    void Clear() { text_[0] = '\0'; }

    bool Empty() const { return text_[0] == '\0'; }
    const char* CStr() const { return text_; }
    std::size_t Length() const { return std::strlen(text_); }
    std::string_view View() const { return std::string_view(text_); }

private:
    char text_[kBufferSize];
};

}  // namespace wbh
