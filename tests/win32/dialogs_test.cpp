// The program's real dialogs from its real templates, driven from a second thread as a reader
// would drive them. (Their answers in whole runs of the program: tests/e2e/folder_names_test.sh.)
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <functional>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "consent/consent_dialog.h"
#include "platform/win32/module.h"
#include "setup/finish_dialog.h"
#include "store/store_layout.h"
#include "support/dialog_driving.h"
#include "support/registry_sandbox.h"
#include "support/registry_values.h"

namespace wbh {
namespace {

using namespace consent_dialog;

constexpr wchar_t kCaption[] = L"Utilisation du livre Web et confidentialité";

// Runs this program's dialog `template_id`, captioned `caption`, while `drive` gets it on a second
// thread; gives what the dialog ended with. A dialog still open 15 s after `drive` is a failure
// and is ended by a click on `end_id`, so a failing test never hangs.
long RunDriven(int template_id, platform::DialogHandler& handler, const wchar_t* caption,
               int end_id, const std::function<void(HWND)>& drive) {
    platform::win32::Instance() = GetModuleHandleW(nullptr);
    platform::win32::Module() = GetModuleHandleW(nullptr);
    std::function<void()> job = [&] {
        const HWND dialog = test::WaitForDialog(caption);
        ASSERT_NE(nullptr, dialog) << "the dialog did not appear";
        drive(dialog);
        if (!test::WaitUntilClosed(dialog)) {
            ADD_FAILURE() << "the dialog is still open";
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(end_id, BN_CLICKED), 0);
        }
    };
    // A Win32 thread: the program's compilers have no std::thread.
    const auto body = [](void* job) -> DWORD {
        (*static_cast<std::function<void()>*>(job))();
        return 0;
    };
    HANDLE driver = CreateThread(nullptr, 0, body, &job, 0, nullptr);
    EXPECT_NE(nullptr, driver);
    if (driver == nullptr) return 0;
    const long result = platform::RunModalDialog(template_id, handler);
    WaitForSingleObject(driver, INFINITE);
    CloseHandle(driver);
    return result;
}

std::pair<DWORD, DWORD> Selection(HWND edit) {
    DWORD start = 1, end = 1;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {start, end};
}
constexpr std::pair<DWORD, DWORD> kNothingSelected{0, 0};

bool FocusReaches(HWND dialog, int id) {
    return test::WaitUntil([&] { return test::Focused(dialog) == GetDlgItem(dialog, id); });
}

// The first run, by keyboard and mouse. The notice shows its first line with nothing selected
// whenever it gets the focus, also from the dialog manager, which selects an edit box's whole
// text and so scrolls to its end; a click places the caret where it was.
TEST(ConsentDialogWin32, FirstRunByMouseAndKeyboard) {
    const test::RegistrySandbox no_stored_answer;
    std::int32_t accepted = 0;
    ConsentDialog handler(accepted);
    const long result = RunDriven(kTemplate, handler, kCaption, kContinue, [&](HWND dialog) {
        wchar_t text[4096];  // more than 1000 characters: ConsentDialogTest
        const int length = LoadStringW(GetModuleHandleW(nullptr), kNoticeString, text, 4096);
        EXPECT_EQ(std::wstring(text, length), test::TextOf(dialog, kNotice));
        RECT rect{};
        GetWindowRect(dialog, &rect);
        EXPECT_EQ((GetSystemMetrics(SM_CXSCREEN) - (rect.right - rect.left)) / 2, rect.left);
        EXPECT_EQ((GetSystemMetrics(SM_CYSCREEN) - (rect.bottom - rect.top)) / 2, rect.top);
        HWND notice = GetDlgItem(dialog, kNotice);
        const auto expect_start = [&](const char* how) {
            EXPECT_TRUE(test::WaitUntil([&] { return Selection(notice) == kNothingSelected; }))
                << how << ": " << Selection(notice).first << " to " << Selection(notice).second;
            EXPECT_EQ(0, SendMessageW(notice, EM_GETFIRSTVISIBLELINE, 0, 0)) << how;
        };
        expect_start("opened");
        EXPECT_EQ(notice, test::Focused(dialog));

        // Enter on the disabled "Continuer", Escape and the close box leave the dialog open (the
        // keys are handled before the Tab below).
        test::PressKey(dialog, VK_RETURN);
        test::PressKey(dialog, VK_ESCAPE);
        SendMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);

        // Tab goes to the answers, and the arrow keys go from one to the other.
        test::PressKey(dialog, VK_TAB);
        EXPECT_TRUE(FocusReaches(dialog, kAccept));
        EXPECT_FALSE(test::IsChecked(dialog, kAccept)) << "the focus alone answered";
        test::PressKey(dialog, VK_DOWN);
        EXPECT_TRUE(FocusReaches(dialog, kRefuse));

        // Tab from the answer goes to "Continuer", then around to the notice.
        test::Click(dialog, kAccept);
        test::PressKey(dialog, VK_TAB);
        ASSERT_TRUE(FocusReaches(dialog, kContinue));
        test::PressKey(dialog, VK_TAB);
        ASSERT_TRUE(FocusReaches(dialog, kNotice));
        expect_start("Tab");

        SendMessageW(dialog, WM_NEXTDLGCTL, FALSE, FALSE);
        ASSERT_TRUE(FocusReaches(dialog, kAccept));
        const LRESULT at = SendMessageW(notice, EM_POSFROMCHAR, 200, 0);
        const LPARAM point = MAKELPARAM(LOWORD(at) + 1, HIWORD(at) + 1);
        PostMessageW(notice, WM_LBUTTONDOWN, MK_LBUTTON, point);
        PostMessageW(notice, WM_LBUTTONUP, 0, point);
        ASSERT_TRUE(FocusReaches(dialog, kNotice));
        const DWORD clicked = LOWORD(SendMessageW(notice, EM_CHARFROMPOS, 0, point));
        EXPECT_NE(0u, clicked);
        EXPECT_EQ(std::make_pair(clicked, clicked), Selection(notice));

        SendMessageW(dialog, WM_NEXTDLGCTL, FALSE, FALSE);
        test::PressKey(dialog, VK_RETURN);
    });
    EXPECT_EQ(1, result);
    EXPECT_EQ(1, accepted);
}

// A stored answer other than 0 and 1 checks both answers, whatever the radio buttons and the
// dialog manager do with a group holding two checked buttons, and they still answer as one group.
TEST(ConsentDialogWin32, StoredAnswerNeitherZeroNorOneChecksBoth) {
    const test::RegistrySandbox sandbox;
    ASSERT_TRUE(test::Store(test::reg::Root::kCurrentUser, store::kReferralsKey,
                            store::kLastReaderTrackValue, test::DwordValue(2)));
    std::int32_t accepted = 0;
    ConsentDialog handler(accepted);
    RunDriven(kTemplate, handler, kCaption, kContinue, [&](HWND dialog) {
        EXPECT_TRUE(FocusReaches(dialog, kAccept)) << GetDlgCtrlID(test::Focused(dialog));
        EXPECT_TRUE(test::IsChecked(dialog, kAccept));
        EXPECT_TRUE(test::IsChecked(dialog, kRefuse));
        test::Click(dialog, kRefuse);
        EXPECT_FALSE(test::IsChecked(dialog, kAccept));
        test::Click(dialog, kAccept);
        EXPECT_FALSE(test::IsChecked(dialog, kRefuse));
        test::PressKey(dialog, VK_RETURN);
    });
    EXPECT_EQ(1, accepted);
}

// A handler that runs out of memory ends its dialog as one that could not be made, with no answer:
// an exception never unwinds through user32's dispatch, which would end the program.
TEST(ConsentDialogWin32, HandlerThatThrowsEndsTheDialogAsFailed) {
    class ThrowingConsentDialog : public ConsentDialog {
    public:
        using ConsentDialog::ConsentDialog;
        void OnCommand(platform::Dialog& dialog, int id, int code) override {
            if (id == kContinue) throw std::bad_alloc();
            ConsentDialog::OnCommand(dialog, id, code);
        }
    };
    std::int32_t accepted = 0;
    ThrowingConsentDialog handler(accepted);
    const long result = RunDriven(kTemplate, handler, kCaption, kContinue, [&](HWND dialog) {
        test::Click(dialog, kAccept);
        test::PressKey(dialog, VK_RETURN);
    });
    EXPECT_EQ(-1, result);
    EXPECT_EQ(0, accepted);
}

std::wstring ClassOf(HWND control) {
    wchar_t name[32];
    return std::wstring(name, GetClassNameW(control, name, 32));
}
bool IsGroupBox(HWND c) {
    return ClassOf(c) == L"Button" && (GetWindowLongW(c, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
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
    if (IsGroupBox(control)) {
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
    SCOPED_TRACE(testing::Message() << dpi << " dpi");
    // The test screen is 1024 x 768 pixels; a screen at 200% has at least twice as many.
    const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    RECT outer{}, shown{};
    GetWindowRect(dialog, &outer);
    IntersectRect(&shown, &outer, &screen);
    if (dpi <= 144) EXPECT_TRUE(EqualRect(&shown, &outer)) << "the dialog leaves the screen";
    std::vector<HWND> earlier;
    for (HWND c = GetWindow(dialog, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        ExpectTextFits(c);
        for (HWND e : earlier) {
            RECT a{}, b{}, both{};
            GetWindowRect(e, &a);
            GetWindowRect(c, &b);
            if (!IntersectRect(&both, &a, &b)) continue;
            const bool held =
                (IsGroupBox(e) && EqualRect(&both, &b)) || (IsGroupBox(c) && EqualRect(&both, &a));
            EXPECT_TRUE(held) << "controls " << GetDlgCtrlID(e) << " and " << GetDlgCtrlID(c)
                              << " overlap";
        }
        earlier.push_back(c);
    }
}

// Both dialogs at the screen's DPI (96 here, more in tests/e2e/dialog_dpi.sh): every text fits its
// control in the control's own font; no controls overlap but a group box around its own.
TEST(DialogFit, BothDialogsAtTheScreensDpi) {
    const int dpi = static_cast<int>(GetDpiForSystem());

    std::int32_t accepted = 0;
    ConsentDialog consent(accepted);
    RunDriven(kTemplate, consent, kCaption, kContinue, [&](HWND dialog) {
        ExpectFits(dialog, dpi);
        test::Click(dialog, kAccept);
        test::Click(dialog, kContinue);
    });

    SetupParameters p;
    p.desktopshortcutname.Assign("Lancer le livre Web de l'auteur");
    FinishDialog finish(p);
    const wchar_t* const caption = L"Fin de l'extraction";
    RunDriven(finish_dialog::kTemplate, finish, caption, finish_dialog::kFinish, [&](HWND dialog) {
        ExpectFits(dialog, dpi);
        CheckDlgButton(dialog, finish_dialog::kDesktopShortcut, BST_UNCHECKED);
        CheckDlgButton(dialog, finish_dialog::kOpenNow, BST_UNCHECKED);
        test::Click(dialog, finish_dialog::kFinish);
    });
}

}  // namespace
}  // namespace wbh
