// The application manifest as Windows reads it: an activation context made from resource 1 of
// type RT_MANIFEST in the compiled resources (linked into this test program too), asked for
// each setting. Making the context also resolves the Common Controls 6 dependency.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

class Win32Manifest : public ::testing::Test {
protected:
    void SetUp() override {
        ACTCTXW request{};
        request.cbSize = sizeof request;
        request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID | ACTCTX_FLAG_HMODULE_VALID;
        request.hModule = GetModuleHandleW(nullptr);
        request.lpResourceName = MAKEINTRESOURCEW(1);
        context_ = CreateActCtxW(&request);
        ASSERT_NE(INVALID_HANDLE_VALUE, context_) << "error " << GetLastError();
    }
    void TearDown() override {
        if (context_ != INVALID_HANDLE_VALUE) ReleaseActCtx(context_);
    }

    std::wstring Setting(const wchar_t* space, const wchar_t* name) {
        wchar_t value[64] = L"";
        SIZE_T written = 0;
        if (!QueryActCtxSettingsW(0, context_, space, name, value, 64, &written)) return L"<none>";
        return value;
    }

    HANDLE context_ = INVALID_HANDLE_VALUE;
};

TEST_F(Win32Manifest, RunsAsInvoker) {
    ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION level{};
    ASSERT_TRUE(QueryActCtxW(0, context_, nullptr, RunlevelInformationInActivationContext, &level,
                             sizeof level, nullptr));
    EXPECT_EQ(ACTCTX_RUN_LEVEL_AS_INVOKER, level.RunLevel);
    EXPECT_EQ(0u, level.UiAccess);
}

TEST_F(Win32Manifest, UsesCommonControls6AndPerMonitorDpi) {
    EXPECT_EQ(L"PerMonitorV2",
              Setting(L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness"));
    EXPECT_EQ(L"true",
              Setting(L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware"));

    // Assembly 2 of the context is the first dependency, as the system resolved it: version
    // 6.0.0.0 binds to the installed Common Controls 6.
    alignas(ACTIVATION_CONTEXT_ASSEMBLY_DETAILED_INFORMATION) char buffer[4096] = {};
    DWORD index = 2;
    ASSERT_TRUE(QueryActCtxW(0, context_, &index, AssemblyDetailedInformationInActivationContext,
                             buffer, sizeof buffer, nullptr));
    const std::wstring identity =
        reinterpret_cast<const ACTIVATION_CONTEXT_ASSEMBLY_DETAILED_INFORMATION*>(buffer)
            ->lpAssemblyEncodedAssemblyIdentity;
    for (const wchar_t* part : {L"Microsoft.Windows.Common-Controls", L"version=\"6.0.",
                                L"publicKeyToken=\"6595b64144ccf1df\""}) {
        EXPECT_NE(std::wstring::npos, identity.find(part)) << part << " in " << identity;
    }
}

}  // namespace
