// What Windows loads from the resources windres compiled into this test program is what the
// parser reads from the same script.
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

}  // namespace
}  // namespace wbh::platform
