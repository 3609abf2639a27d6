// The application manifest as Windows reads it: an activation context made from resource 1 of
// type RT_MANIFEST in the compiled resources (linked into this test program too), asked for
// each setting. Making the context also resolves the Common Controls 6 dependency.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

TEST(Win32Manifest, RunsAsInvokerWithCommonControls6AndPerMonitorDpi) {
    ACTCTXW request{};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID | ACTCTX_FLAG_HMODULE_VALID;
    request.hModule = GetModuleHandleW(nullptr);
    request.lpResourceName = MAKEINTRESOURCEW(1);
    const HANDLE context = CreateActCtxW(&request);
    ASSERT_NE(INVALID_HANDLE_VALUE, context) << "error " << GetLastError();

    ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION level{};
    EXPECT_TRUE(QueryActCtxW(0, context, nullptr, RunlevelInformationInActivationContext, &level,
                             sizeof level, nullptr));
    EXPECT_EQ(ACTCTX_RUN_LEVEL_AS_INVOKER, level.RunLevel);
    EXPECT_EQ(0u, level.UiAccess);
    const struct {
        const wchar_t* space;
        const wchar_t* name;
        const wchar_t* value;
    } settings[] = {
        {L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness",
         L"PerMonitorV2"},
        {L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware", L"true"},
    };
    for (const auto& setting : settings) {
        wchar_t value[64] = L"<none>";
        QueryActCtxSettingsW(0, context, setting.space, setting.name, value, 64, nullptr);
        EXPECT_STREQ(setting.value, value) << setting.name;
    }

    // Assembly 2 of the context is the first dependency, as the system resolved it: version
    // 6.0.0.0 binds to the installed Common Controls 6.
    alignas(ACTIVATION_CONTEXT_ASSEMBLY_DETAILED_INFORMATION) char buffer[4096] = {};
    DWORD index = 2;
    EXPECT_TRUE(QueryActCtxW(0, context, &index, AssemblyDetailedInformationInActivationContext,
                             buffer, sizeof buffer, nullptr));
    const wchar_t* identity =
        reinterpret_cast<const ACTIVATION_CONTEXT_ASSEMBLY_DETAILED_INFORMATION*>(buffer)
            ->lpAssemblyEncodedAssemblyIdentity;
    const std::wstring text = identity ? identity : L"";
    for (const wchar_t* part : {L"Microsoft.Windows.Common-Controls", L"version=\"6.0.",
                                L"publicKeyToken=\"6595b64144ccf1df\""}) {
        EXPECT_NE(std::wstring::npos, text.find(part)) << part << " in " << text;
    }
    ReleaseActCtx(context);
}

}  // namespace
