// The resources windres compiled into this program as Windows loads them: dialogs and strings as
// the parser reads the same script; the manifest's activation context, Common Controls 6 resolved.
#include <gtest/gtest.h>
#include <windows.h>

#include <cwchar>
#include <string>

#include "platform/portable/resource_script.h"
#include "platform/win32/wide_text.h"
#include "support/resource_text.h"

namespace wbh::platform {
namespace {

std::string Utf8(const wchar_t* text, int length) {
    std::string out;
    return win32::ToUtf8(std::wstring_view(text, length), out) ? out : "<not converted>";
}

// Reads a DLGTEMPLATE into the parser's form; the parts the parser never gives are skipped.
DialogTemplate ReadTemplate(int id, const WORD* at) {
    const WORD* const begin = at;
    const auto dword = [&at] {
        at += 2;
        return at[-2] | static_cast<DWORD>(at[-1]) << 16;
    };
    const auto box = [&at](int& x, int& y, int& width, int& height) {
        for (int* field : {&x, &y, &width, &height}) *field = static_cast<short>(*at++);
    };
    // 0xFFFF and an ordinal (for a class, a predefined atom), or a NUL-terminated UTF-16 string.
    const auto text = [&at]() -> std::string {
        if (*at == 0xFFFF) {
            at += 2;
            const char* const kAtoms[] = {"BUTTON", "EDIT", "STATIC"};
            return at[-1] >= 0x80 && at[-1] <= 0x82 ? kAtoms[at[-1] - 0x80]
                                                    : "#" + std::to_string(at[-1]);
        }
        const auto* chars = reinterpret_cast<const wchar_t*>(at);
        const int length = static_cast<int>(std::wcslen(chars));
        at += length + 1;
        return Utf8(chars, length);
    };
    DialogTemplate dialog{};
    dialog.id = id;
    dialog.style = dword();
    dword();
    const int count = *at++;
    box(dialog.x, dialog.y, dialog.width, dialog.height);
    text();
    text();
    dialog.caption = text();
    if (dialog.style & DS_SETFONT) {
        dialog.font_size = *at++;
        dialog.font = text();
    }
    for (int i = 0; i < count; ++i) {
        at += (at - begin) % 2;  // each item starts on a DWORD
        ControlTemplate control{};
        control.style = dword();
        dword();
        box(control.x, control.y, control.width, control.height);
        control.id = *at++;
        control.class_name = text();
        control.text = text();
        ++at;
        dialog.controls.push_back(control);
    }
    return dialog;
}

TEST(Win32Resources, ScriptReadsAsWindowsLoads) {
    const ResourceScript& parsed = ProgramResources();
    const HMODULE module = GetModuleHandleA(nullptr);
    for (int id = 1500; id <= 1503; ++id) {
        SCOPED_TRACE("string " + std::to_string(id));
        const wchar_t* text = nullptr;  // size 0: a pointer into the resource
        const int length = LoadStringW(module, id, reinterpret_cast<LPWSTR>(&text), 0);
        ASSERT_EQ(1u, parsed.strings.count(id));
        EXPECT_EQ(parsed.strings.at(id), Utf8(text, length));
    }
    for (const int id : {100, 101}) {
        SCOPED_TRACE("dialog " + std::to_string(id));
        const HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), RT_DIALOG);
        ASSERT_NE(nullptr, found);
        ASSERT_EQ(1u, parsed.dialogs.count(id));
        const auto* loaded = static_cast<const WORD*>(LockResource(LoadResource(module, found)));
        EXPECT_EQ(test::Describe(parsed.dialogs.at(id)), test::Describe(ReadTemplate(id, loaded)));
    }
}

TEST(Win32Manifest, RunsAsInvokerWithCommonControls6AndPerMonitorDpi) {
    ACTCTXW request{sizeof(ACTCTXW)};
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
        const wchar_t *space, *name, *value;
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
}  // namespace wbh::platform
