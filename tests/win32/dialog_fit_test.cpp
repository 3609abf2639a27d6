// Both dialogs as the reader sees them, at the screen's DPI (tests/e2e/dialog_dpi.sh runs this
// at 96, 120, 144 and 192): every control's text fits the control, measured with the control's
// own font; no two controls overlap, except a group box around its own; the dialog is on the
// screen.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "consent/consent_dialog.h"
#include "platform/win32/module.h"
#include "setup/finish_dialog.h"
#include "support/registry_sandbox.h"
#include "support/with_dialog.h"

namespace wbh {
namespace {

std::wstring ClassOf(HWND control) {
    wchar_t name[32] = L"";
    GetClassNameW(control, name, 32);
    return name;
}

// The size DrawText gives `text` in the control's font, wrapped at `width` when `format` says so.
SIZE TextSize(HWND control, const std::wstring& text, UINT format, int width) {
    HDC dc = GetDC(control);
    const HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT rect{0, 0, width, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, format | DT_CALCRECT);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return {rect.right, rect.bottom};
}

void ExpectTextFits(HWND control) {
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    const std::wstring name = ClassOf(control);
    wchar_t buffer[4096] = L"";
    const std::wstring text(buffer, GetWindowTextW(control, buffer, 4096));
    RECT client{};
    GetClientRect(control, &client);
    SCOPED_TRACE(testing::Message() << "control " << GetDlgCtrlID(control) << " at " << client.right
                                    << "x" << client.bottom);
    if (name == L"Edit") {
        // The name box must show a whole line of its font; the notice box wraps its lines
        // inside its formatting rectangle and shows several of them.
        RECT format{};
        SendMessageW(control, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
        const int line = TextSize(control, L"Ég", DT_SINGLELINE, 0).cy;
        EXPECT_GE(format.bottom - format.top, (style & ES_MULTILINE) ? 8 * line : line);
        const int lines = static_cast<int>(SendMessageW(control, EM_GETLINECOUNT, 0, 0));
        for (int i = 0; (style & ES_MULTILINE) && i < lines; ++i) {
            const int start = static_cast<int>(SendMessageW(control, EM_LINEINDEX, i, 0));
            const int length = static_cast<int>(SendMessageW(control, EM_LINELENGTH, start, 0));
            EXPECT_LE(TextSize(control, text.substr(start, length), DT_SINGLELINE, 0).cx,
                      format.right - format.left)
                << "line " << i;
        }
        return;
    }
    const LONG kind = style & BS_TYPEMASK;
    int width = client.right;
    UINT format = DT_WORDBREAK;
    if (name == L"Button" && kind == BS_GROUPBOX) {
        width -= 2 * TextSize(control, L"x", DT_SINGLELINE, 0).cx;  // the frame on either side
        format = DT_SINGLELINE;
    } else if (name == L"Button" && (kind == BS_AUTOCHECKBOX || kind == BS_AUTORADIOBUTTON)) {
        width -= GetSystemMetrics(SM_CXMENUCHECK) + GetSystemMetrics(SM_CXEDGE);  // the box
        if (!(style & BS_MULTILINE)) format = DT_SINGLELINE;
    } else if (name == L"Button") {
        width -= 2 * GetSystemMetrics(SM_CXEDGE);  // a push button's edge
        format = DT_SINGLELINE;
    }
    const SIZE needed = TextSize(control, text, format, width);
    EXPECT_LE(needed.cx, width);
    EXPECT_LE(needed.cy, client.bottom);
}

void ExpectFits(HWND dialog, int dpi) {
    RECT units{0, 0, 4, 8};
    MapDialogRect(dialog, &units);
    std::printf("%d dpi: 4 x 8 dialog units are %ld x %ld pixels\n", dpi, units.right,
                units.bottom);
    // The test screen is 1024 x 768 pixels; a screen at 200% has at least twice as many.
    RECT outer{};
    GetWindowRect(dialog, &outer);
    if (dpi <= 144) {
        EXPECT_GE(outer.left, 0);
        EXPECT_GE(outer.top, 0);
        EXPECT_LE(outer.right, GetSystemMetrics(SM_CXSCREEN));
        EXPECT_LE(outer.bottom, GetSystemMetrics(SM_CYSCREEN));
    }
    std::vector<HWND> controls;
    for (HWND c = GetWindow(dialog, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        controls.push_back(c);
        ExpectTextFits(c);
    }
    const auto is_group = [](HWND c) {
        return (GetWindowLongW(c, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX &&
               ClassOf(c) == L"Button";
    };
    for (std::size_t i = 0; i < controls.size(); ++i) {
        for (std::size_t j = i + 1; j < controls.size(); ++j) {
            RECT a{}, b{}, both{};
            GetWindowRect(controls[i], &a);
            GetWindowRect(controls[j], &b);
            if (!IntersectRect(&both, &a, &b)) continue;
            const bool held = (is_group(controls[i]) && EqualRect(&both, &b)) ||
                              (is_group(controls[j]) && EqualRect(&both, &a));
            EXPECT_TRUE(held) << "controls " << GetDlgCtrlID(controls[i]) << " and "
                              << GetDlgCtrlID(controls[j]) << " overlap";
        }
    }
}

TEST(DialogFit, BothDialogsAtTheScreensDpi) {
    platform::win32::Instance() = GetModuleHandleW(nullptr);
    platform::win32::Module() = GetModuleHandleW(nullptr);
    const test::RegistrySandbox sandbox;
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);

    std::int32_t accepted = 0;
    ConsentDialog consent(accepted);
    test::WithDialog(
        L"Utilisation du livre Web et confidentialité", consent_dialog::kContinue,
        [&] { platform::RunModalDialog(consent_dialog::kTemplate, consent); },
        [&](HWND dialog) {
            ExpectFits(dialog, dpi);
            test::Click(dialog, consent_dialog::kAccept);
            test::Click(dialog, consent_dialog::kContinue);
            EXPECT_TRUE(test::WaitUntilClosed(dialog));
        });

    SetupParameters p;
    p.desktopshortcutname.Assign("Lancer le livre Web de l'auteur");
    FinishDialog finish(p);
    test::WithDialog(
        L"Fin de l'extraction", finish_dialog::kFinish,
        [&] { platform::RunModalDialog(finish_dialog::kTemplate, finish); },
        [&](HWND dialog) {
            ExpectFits(dialog, dpi);
            CheckDlgButton(dialog, finish_dialog::kDesktopShortcut, BST_UNCHECKED);
            CheckDlgButton(dialog, finish_dialog::kOpenNow, BST_UNCHECKED);
            test::Click(dialog, finish_dialog::kFinish);
            EXPECT_TRUE(test::WaitUntilClosed(dialog));
        });
}

}  // namespace
}  // namespace wbh
