// A fixed-size text field: N bytes, so at most N-1 characters and the NUL.
// A value that does not fit is refused, as if it had not been given: the field keeps what it
// held. A cut path or identifier would name something else, so nothing is ever stored cut.
#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

namespace wbh {

template <std::size_t N>
class BoundedText {
    static_assert(N >= 1, "a field needs room for its NUL");

public:
    static constexpr std::size_t kCapacity = N - 1;  // characters, without the NUL

    BoundedText() = default;

    // Stores the value whole, or returns false and leaves the field as it was.
    bool Assign(std::string_view value) {
        if (value.size() > kCapacity) return false;
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
    char text_[N] = {};
};

}  // namespace wbh
