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
    std::vector<char> buffer(notice.size() + 1);
    for (int size = 1; size <= static_cast<int>(buffer.size()); ++size) {
        SCOPED_TRACE("size " + std::to_string(size));
        const int copied = LoadText(1500, buffer.data(), size);
        ASSERT_LE(copied, size - 1);
        ASSERT_EQ(notice.substr(0, copied), buffer.data());
        ASSERT_NE(0x80, notice[copied] & 0xC0) << "the cut splits a character";
        int next = 1;
        while (copied + next < static_cast<int>(notice.size()) &&
               (notice[copied + next] & 0xC0) == 0x80) {
            ++next;
        }
        ASSERT_GT(copied + next, size - 1) << "the next character would have fitted";
    }
}

}  // namespace
}  // namespace wbh::platform
