// POSIX LoadText keeps the texts in UTF-8: a cut never splits a character and leaves out no
// character that fits.
#include "platform/resources.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/portable/resource_script.h"

namespace wbh::platform {
namespace {

TEST(PosixLoadText, CutsBetweenWholeUtf8Characters) {
    const std::string& notice = ProgramResources().strings.at(1500);
    std::vector<char> buffer(notice.size() + 2);
    for (int size = 1; size <= static_cast<int>(notice.size()) + 1; ++size) {
        SCOPED_TRACE("size " + std::to_string(size));
        const int copied = LoadText(1500, buffer.data(), size);
        ASSERT_GE(copied, 0);
        ASSERT_LE(copied, size - 1);
        ASSERT_EQ(notice.substr(0, copied), std::string(buffer.data()));
        if (copied == static_cast<int>(notice.size())) continue;
        const auto lead = static_cast<unsigned char>(notice[copied]);
        ASSERT_NE(0x80, lead & 0xC0) << "the cut splits a character";
        const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        ASSERT_GT(copied + length, size - 1) << "the next character would have fitted";
    }
    EXPECT_EQ(static_cast<int>(notice.size()),
              LoadText(1500, buffer.data(), static_cast<int>(buffer.size())));
    EXPECT_EQ(notice, buffer.data());
}

}  // namespace
}  // namespace wbh::platform
