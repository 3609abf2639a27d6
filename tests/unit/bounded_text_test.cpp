// Fields count characters as Windows counts them, in UTF-16 units, whatever their UTF-8 length:
// a limit lets through as many Cyrillic or Chinese characters as French ones.
#include "common/bounded_text.h"

#include <gtest/gtest.h>

#include <string>

#include "common/utf8.h"

namespace wbh {
namespace {

TEST(BoundedText, HoldsCharactersNotBytes) {
    const struct {
        std::string value;
        bool fits;  // in a field of three characters
    } rows[] = {
        {"abc", true},
        {"\xC2\xA0\xDF\xBF\xC2\xA0", true},  // the first and last two-byte leads
        {"abcd", false},
        {"\xD0\x96\xD0\x96\xD0\x96\xD0\x96", false},     // ЖЖЖЖ
        {"\xE4\xB9\xA6\xE4\xB9\xA6\xEF\xBF\xBF", true},  // 书书, U+FFFF: nine bytes, one unit each
        {std::string("\xF0\x9F\x98\x80") + "a", true},   // U+1F600 is two units
        {"\xF0\x9F\x98\x80\xF0\x9F\x98\x80", false},
        {"\xE9\xE8\xFF", true},  // bytes that are not UTF-8 count one each
        {"\xE9\xE8\xFF\xFE", false},
        {std::string("\xE4\xB9") + "ab", false},     // a cut sequence: two bytes, not one character
        {std::string("\xED\xA0\x80") + "a", false},  // an encoded surrogate is three bytes
        {std::string("\xC0\xAF") + "a", true},       // an overlong "/" is two bytes, never a "/"
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.value);
        BoundedText<4> field;
        field.Assign("x");
        EXPECT_EQ(row.fits, field.Assign(row.value));
        EXPECT_EQ(row.fits ? row.value : "x", field.View()) << "refused whole, the old value kept";
    }
    // A sequence cut by the end of the text is not completed by the bytes beyond it.
    EXPECT_EQ(4u, utf8::Utf16Length(std::string_view("a\xC3\xA9\xE4\xB9\xA6", 5)));
}

}  // namespace
}  // namespace wbh
