// Win32 modal dialogs: DialogBoxParamW on the program's template, and a dialog procedure that
// hands WM_INITDIALOG and WM_COMMAND to its handler and answers 0 to every message: the
// handler places the keyboard focus itself, and the dialog manager gives it the first control
// that takes it only when the handler did not. Controls take and give the program's UTF-8,
// converted exactly to and from their UTF-16, so a name shows and reads back in any script.
#include "platform/dialog.h"

#include <windows.h>

#include <cstring>
#include <string>
#include <utility>

#include "common/no_throw.h"
#include "common/utf8.h"
#include "platform/win32/module.h"
#include "platform/win32/system_calls.h"
#include "platform/win32/wide_text.h"

namespace wbh::platform {
namespace {

// What a running dialog carries in its DWLP_USER, from WM_INITDIALOG on: its handler, and the
// control that Focus named before the dialog was shown (0: none), focused when the dialog is
// activated: focusing a control of a hidden dialog activates the dialog before it shows, and Wine
// then draws its caption as inactive.
struct RunningDialog {
    DialogHandler& handler;
    int pending_focus = 0;
};

LONG ButtonType(HWND button) { return GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK; }

// BM_SETSTYLE, keeping the style's other bits (the check has just changed WS_TABSTOP).
void SetButtonType(HWND button, LONG type) {
    const LONG style = GetWindowLongW(button, GWL_STYLE);
    SendMessageW(button, BM_SETSTYLE, static_cast<WPARAM>((style & ~BS_TYPEMASK) | type), FALSE);
}

// The edit box's first line, its caret at the start and nothing selected.
void ShowStart(HWND edit) {
    SendMessageW(edit, EM_SETSEL, 0, 0);
    SendMessageW(edit, EM_SCROLLCARET, 0, 0);
}

// A read-only text box given the focus by the keyboard shows its start: the dialog manager
// selects the whole text of an edit box it moves the focus to (Tab, Shift+Tab), which scrolls
// the notice to its end. A click (the box then has the mouse) places the caret where it was.
void OnEditFocus(HWND edit) {
    const LONG style = GetWindowLongW(edit, GWL_STYLE);
    if ((style & ES_READONLY) != 0 && GetCapture() != edit) ShowStart(edit);
}

class Win32Dialog final : public Dialog {
public:
    Win32Dialog(HWND window, RunningDialog& running) : window_(window), running_(running) {}

    void Check(int id, bool checked) override {
        // Unchecking a radio button also takes its WS_TABSTOP away, and a group with none left
        // cannot be reached by Tab: a button already in that state is left alone.
        if ((IsDlgButtonChecked(window_, id) == BST_CHECKED) == checked) return;
        HWND button = GetDlgItem(window_, id);
        // Checked by message, an automatic radio button may uncheck the rest of its group (Wine's
        // do), which would lose a preselection that checks both answers: while its state is set,
        // it is a plain radio button, which changes nothing else.
        const bool automatic = ButtonType(button) == BS_AUTORADIOBUTTON;
        if (automatic) SetButtonType(button, BS_RADIOBUTTON);
        SendMessageW(button, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
        if (automatic) SetButtonType(button, BS_AUTORADIOBUTTON);
    }
    bool IsChecked(int id) override { return IsDlgButtonChecked(window_, id) == BST_CHECKED; }
    void Enable(int id, bool enabled) override {
        EnableWindow(GetDlgItem(window_, id), enabled ? TRUE : FALSE);
    }
    // A text that does not convert is not shown: the control keeps what it had.
    void SetText(int id, const char* text) override {
        NoThrow(0, [&] {
            const win32::WideArgument wide(text);
            if (wide.Ok()) SetWindowTextW(GetDlgItem(window_, id), wide.Get());
            return 0;
        });
    }
    // A text that does not convert exactly (an unpaired surrogate) reads as the empty text.
    int GetText(int id, char* buffer, int size) override {
        if (size <= 0) return 0;
        buffer[0] = '\0';
        return NoThrow(0, [&] {
            HWND control = GetDlgItem(window_, id);
            win32::WideText wide(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1);
            const int length = GetWindowTextW(control, wide.data(), static_cast<int>(wide.size()));
            std::string text;
            if (length < 0 ||
                !win32::ToUtf8(std::wstring_view(wide.data(), static_cast<std::size_t>(length)),
                               text)) {
                return 0;
            }
            // Cut between whole characters.
            const std::size_t n =
                utf8::Prefix(text, text.size(), static_cast<std::size_t>(size) - 1);
            std::memcpy(buffer, text.data(), n);
            buffer[n] = '\0';
            return static_cast<int>(n);
        });
    }
    void End(int result) override { EndDialog(window_, result); }
    WindowRect Bounds() override {
        RECT rect{};
        GetWindowRect(window_, &rect);
        return {rect.left, rect.top, rect.right, rect.bottom};
    }
    ScreenSize Screen() override {
        const int width = GetSystemMetrics(SM_CXSCREEN);
        return {width, GetSystemMetrics(SM_CYSCREEN)};
    }
    void Move(int x, int y, int width, int height) override {
        MoveWindow(window_, x, y, width, height, TRUE);
    }
    void Focus(int id) override {
        if (!IsWindowVisible(window_)) {
            running_.pending_focus = id;
            return;
        }
        HWND control = GetDlgItem(window_, id);
        SetFocus(control);
        // Only the dialog manager selects an edit box's whole text when it gives it the focus.
        if (SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) ShowStart(control);
    }

private:
    HWND window_;
    RunningDialog& running_;
};

void Dispatch(HWND window, RunningDialog& running, UINT message, WPARAM wparam, LPARAM lparam) {
    Win32Dialog dialog(window, running);
    if (message == WM_INITDIALOG) {
        running.handler.OnInit(dialog);
    } else if (message == WM_COMMAND) {
        if (HIWORD(wparam) == EN_SETFOCUS) OnEditFocus(reinterpret_cast<HWND>(lparam));
        running.handler.OnCommand(dialog, LOWORD(wparam), HIWORD(wparam));
    } else if (message == WM_ACTIVATE && LOWORD(wparam) != WA_INACTIVE &&
               running.pending_focus != 0) {
        // Before the dialog manager's own choice, which only a dialog without focus makes.
        dialog.Focus(std::exchange(running.pending_focus, 0));
    }
}

INT_PTR CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    // The creation parameter comes with WM_INITDIALOG; messages before it (WM_SETFONT) find no
    // handler yet and get the default answer.
    if (message == WM_INITDIALOG) SetWindowLongPtrW(window, DWLP_USER, lparam);
    auto* const running = reinterpret_cast<RunningDialog*>(GetWindowLongPtrW(window, DWLP_USER));
    if (running == nullptr) return 0;
    // An exception must not unwind through user32's dispatch of the message. A handler that
    // throws (running out of memory is all it can meet) fails its step: the dialog ends as one
    // that could not be made.
    const bool handled = NoThrow(false, [&] {
        Dispatch(window, *running, message, wparam, lparam);
        return true;
    });
    if (!handled) EndDialog(window, -1);
    return 0;
}

}  // namespace

long RunModalDialog(int template_id, DialogHandler& handler) {
    RunningDialog running{handler};
    const INT_PTR result =
        win32::Sys().DialogBoxParamW(win32::Instance(), MAKEINTRESOURCEW(template_id), nullptr,
                                     DialogProcedure, reinterpret_cast<LPARAM>(&running));
    return static_cast<long>(result);
}

}  // namespace wbh::platform
