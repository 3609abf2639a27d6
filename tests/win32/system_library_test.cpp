// The system DLLs that are loaded on first use, on a Windows 7 whose loader refuses the flag
// that limits the search to the system folder: they are still found.
#include "platform/win32/system_library.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "support/fault_injection.h"

namespace wbh::platform::win32 {
namespace {

TEST(Win32SystemLibrary, WithTheSearchFlagRefusedTheFunctionsAreStillFound) {
    // shell32 is not loaded before; oleaut32 is, by the tests' own imports.
    const struct {
        const wchar_t* library;
        const char* function;
    } rows[] = {{L"shell32.dll", "SHChangeNotify"}, {L"oleaut32.dll", "SysFreeString"}};
    fault::FailCall("LoadLibraryExW");
    for (const auto& row : rows) {
        SCOPED_TRACE(row.function);
        const long refused = fault::CallCount("LoadLibraryExW");
        void* const found = SystemFunction(row.library, row.function);
        EXPECT_EQ(refused + 1, fault::CallCount("LoadLibraryExW")) << "the flagged load was asked";
        const HMODULE module = GetModuleHandleW(row.library);
        ASSERT_NE(nullptr, module) << "expected it loaded";
        EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(module, row.function)), found);
    }
    fault::Reset();
}

}  // namespace
}  // namespace wbh::platform::win32
