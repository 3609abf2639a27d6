// Modal dialogs made from the program's dialog templates. A dialog's behaviour is written once,
// in the logic, as a DialogHandler working on Dialog; each platform supplies the toolkit:
// Win32 dialogs on Windows; on POSIX, GTK windows on a graphical desktop, else a terminal
// stand-in.
#pragma once

namespace wbh::platform {

struct WindowRect {
    int left, top, right, bottom;
};

struct ScreenSize {
    int width, height;
};

// The controls of one open dialog, named by their ids in the template.
class Dialog {
public:
    // CheckDlgButton: sets one button's check state; no other button changes.
    virtual void Check(int id, bool checked) = 0;
    // IsDlgButtonChecked == BST_CHECKED.
    virtual bool IsChecked(int id) = 0;
    // EnableWindow on the control.
    virtual void Enable(int id, bool enabled) = 0;
    // SetWindowTextW on the control, the UTF-8 text converted.
    virtual void SetText(int id, const char* text) = 0;
    // GetWindowTextW on the control, in UTF-8: at most size - 1 bytes of its text and a NUL
    // (size > 0); a longer text is cut between whole characters. Returns the number of bytes
    // copied.
    virtual int GetText(int id, char* buffer, int size) = 0;
    // EndDialog: the modal run returns `result` once the current message is handled.
    virtual void End(int result) = 0;
    // The dialog's outer rectangle in screen pixels, the primary screen's size, and MoveWindow
    // (repainting).
    virtual WindowRect Bounds() = 0;
    virtual ScreenSize Screen() = 0;
    virtual void Move(int x, int y, int width, int height) = 0;
    // SetFocus on the control; an edit box then shows its first line, its caret at the start
    // and nothing selected. From OnInit, the dialog manager then leaves the focus there.
    virtual void Focus(int id) = 0;

protected:
    ~Dialog() = default;
};

// BN_CLICKED, the notification of a button click.
constexpr int kClicked = 0;

// The dialog procedure's two messages that the program acts on.
class DialogHandler {
public:
    // Before OnInit, where the dialog's window is made by a process of its own: what OnInit
    // reads may be read here, meanwhile. Not called by every toolkit, so OnInit reads it when
    // it was not.
    virtual void OnPrepare() {}
    // WM_INITDIALOG: the controls exist and the dialog is not shown yet.
    virtual void OnInit(Dialog& dialog) = 0;
    // WM_COMMAND from control `id` with notification `code` (IDOK 1 and IDCANCEL 2 included).
    virtual void OnCommand(Dialog& dialog, int id, int code) = 0;
    // What the reader must do first to make a disabled control `id` available, or null. A
    // window shows it by the dialog's layout; a text toolkit says it beside the control.
    virtual const char* UnavailableHint(int /*id*/) const { return nullptr; }

protected:
    ~DialogHandler() = default;
};

// DialogBoxParamW: makes the dialog from template `template_id`, runs it modally and returns
// the result given to End, or -1 when the dialog could not be made. A handler call that throws ends
// the dialog there, as one that could not be made. The Escape key and the close box send IDCANCEL;
// only End closes.
long RunModalDialog(int template_id, DialogHandler& handler);

}  // namespace wbh::platform
