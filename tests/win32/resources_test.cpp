// What Windows loads from the resources windres compiled (linked into this test program) is
// what the parser reads from the same script: every string, every dialog and every control,
// in both directions, so a resource the parser dropped shows too. Then LoadText on top of
// LoadStringA.
#include "platform/resources.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "platform/portable/resource_script.h"
#include "support/resource_text.h"

namespace wbh::platform {
namespace {

std::string Utf8(const wchar_t* text, int length) {
    std::string out(length * 3, '\0');  // at most 3 bytes per UTF-16 unit
    out.resize(WideCharToMultiByte(CP_UTF8, 0, text, length, out.data(),
                                   static_cast<int>(out.size()), nullptr, nullptr));
    return out;
}

// Reads a DLGTEMPLATE, which windres writes for a DIALOG statement, into the parser's form.
// What the parser has no field for (menu, class, extended styles, creation data) must be
// absent.
class TemplateReader {
public:
    TemplateReader(const void* data, DWORD size)
        : begin_(static_cast<const BYTE*>(data)), at_(begin_), end_(begin_ + size) {}

    DialogTemplate Read(int id) {
        DialogTemplate dialog{};
        dialog.id = id;
        dialog.style = DWord();
        EXPECT_EQ(0u, DWord()) << "extended style";
        const int count = Word();
        Box(dialog.x, dialog.y, dialog.width, dialog.height);
        EXPECT_EQ("", Text()) << "menu";
        EXPECT_EQ("", Text()) << "window class";
        dialog.caption = Text();
        if (dialog.style & DS_SETFONT) {
            dialog.font_size = Word();
            dialog.font = Text();
        }
        for (int i = 0; i < count; ++i) {
            at_ = begin_ + ((at_ - begin_ + 3) & ~3);  // each item starts on a DWORD
            ControlTemplate control{};
            control.style = DWord();
            EXPECT_EQ(0u, DWord()) << "control extended style";
            Box(control.x, control.y, control.width, control.height);
            control.id = Word();
            control.class_name = Text();
            control.text = Text();
            EXPECT_EQ(0, Word()) << "creation data";
            dialog.controls.push_back(control);
        }
        EXPECT_LE(at_, end_) << "read past the end";
        return dialog;
    }

private:
    WORD Word() {
        WORD value = 0;
        if (at_ + 2 <= end_) value = static_cast<WORD>(at_[0] | at_[1] << 8);
        at_ += 2;
        return value;
    }
    DWORD DWord() {
        const WORD low = Word();
        return low | static_cast<DWORD>(Word()) << 16;
    }
    void Box(int& x, int& y, int& width, int& height) {
        x = static_cast<short>(Word());
        y = static_cast<short>(Word());
        width = static_cast<short>(Word());
        height = static_cast<short>(Word());
    }
    // sz_Or_Ord: 0xFFFF and an ordinal (for a class, the atom of a predefined one), or a
    // NUL-terminated UTF-16 string.
    std::string Text() {
        WORD c = Word();
        if (c == 0xFFFF) {
            static const std::map<WORD, std::string> kAtoms = {
                {0x80, "BUTTON"}, {0x81, "EDIT"}, {0x82, "STATIC"}};
            const WORD ordinal = Word();
            return kAtoms.count(ordinal) ? kAtoms.at(ordinal) : "#" + std::to_string(ordinal);
        }
        std::wstring text;
        for (; c != 0 && at_ < end_; c = Word()) text += static_cast<wchar_t>(c);
        return Utf8(text.data(), static_cast<int>(text.size()));
    }

    const BYTE* begin_;
    const BYTE* at_;
    const BYTE* end_;
};

BOOL CALLBACK CollectId(HMODULE, LPCSTR, LPSTR name, LONG_PTR ids) {
    reinterpret_cast<std::vector<int>*>(ids)->push_back(
        IS_INTRESOURCE(name) ? static_cast<int>(reinterpret_cast<ULONG_PTR>(name)) : -1);
    return TRUE;
}

// The ids of the module's resources of a type; a named one shows as -1.
std::vector<int> ResourceIds(LPCSTR type) {
    std::vector<int> ids;
    EnumResourceNamesA(GetModuleHandleA(nullptr), type, CollectId,
                       reinterpret_cast<LONG_PTR>(&ids));
    return ids;
}

// The stored UTF-16 text, in UTF-8 (size 0 gives a pointer into the resource).
std::string LoadWide(int id) {
    const wchar_t* text = nullptr;
    const int length =
        LoadStringW(GetModuleHandleA(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    return Utf8(text, length);
}

TEST(Win32Resources, EveryStringAsWindowsLoadsIt) {
    const auto& strings = ProgramResources().strings;
    ASSERT_FALSE(strings.empty());
    for (const auto& [id, text] : strings) EXPECT_EQ(text, LoadWide(id)) << "string " << id;

    const std::vector<int> blocks = ResourceIds(RT_STRING);
    ASSERT_FALSE(blocks.empty());
    for (const int block : blocks) {
        ASSERT_GT(block, 0);
        for (int id = (block - 1) * 16; id < block * 16; ++id) {  // 16 strings a block
            if (!LoadWide(id).empty()) EXPECT_EQ(1u, strings.count(id)) << "string " << id;
        }
    }
}

TEST(Win32Resources, EveryDialogAsWindowsLoadsIt) {
    const auto& dialogs = ProgramResources().dialogs;
    ASSERT_FALSE(dialogs.empty());
    const HMODULE module = GetModuleHandleA(nullptr);
    for (const auto& [id, parsed] : dialogs) {
        SCOPED_TRACE("dialog " + std::to_string(id));
        const HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), RT_DIALOG);
        ASSERT_NE(nullptr, found);
        TemplateReader reader(LockResource(LoadResource(module, found)),
                              SizeofResource(module, found));
        EXPECT_EQ(test::Describe(parsed), test::Describe(reader.Read(id)));
    }
    for (const int id : ResourceIds(RT_DIALOG)) EXPECT_EQ(1u, dialogs.count(id)) << "dialog " << id;
}

// LoadStringA gives the text in the ANSI code page (1252 here, where string 1500 is 1430 bytes)
// cut at size - 1 bytes, wherever that falls.
TEST(Win32LoadText, AnsiTextCutAtSizeMinusOne) {
    ASSERT_EQ(1252u, GetACP());
    std::vector<char> whole(2000);
    ASSERT_EQ(1430, LoadText(1500, whole.data(), static_cast<int>(whole.size())));
    std::vector<char> buffer(1432);
    for (int size = 1; size <= static_cast<int>(buffer.size()); ++size) {
        SCOPED_TRACE("size " + std::to_string(size));
        const int copied = LoadText(1500, buffer.data(), size);
        ASSERT_EQ(std::min(size - 1, 1430), copied);
        ASSERT_EQ(std::string(whole.data(), copied), buffer.data());
    }
}

}  // namespace
}  // namespace wbh::platform
