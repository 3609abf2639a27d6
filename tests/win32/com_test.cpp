// On Windows the COM failure path is real: a thread already in the multithreaded apartment
// makes CoInitialize fail with RPC_E_CHANGED_MODE.
#include <gtest/gtest.h>
#include <objbase.h>

#include "app/program.h"
#include "support/temp_dir.h"

namespace wbh {
namespace {

TEST(Win32Com, ComFailureEndsTheRunWithZeroAndNoResultFile) {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
    test::TempDir dir;
    const std::string command_line = "-mode 3 -rtpfilename \"" + dir.File("r.rtp") + "\"";
    EXPECT_EQ(0, RunProgram(command_line.c_str()));
    EXPECT_EQ("<missing>", dir.Read("r.rtp"));
    CoUninitialize();
    EXPECT_EQ(1, RunProgram(command_line.c_str())) << "with the apartment left";
}

}  // namespace
}  // namespace wbh
