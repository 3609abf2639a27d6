// Driving a real dialog as a user would, from another thread or process. Every wait is bounded.
#pragma once

#include <windows.h>

#include <string>

namespace wbh::test {

// Whether `done` answers true within `timeout_ms`, asked every 10 ms.
template <typename Condition>
bool WaitUntil(Condition done, DWORD timeout_ms = 15000) {
    for (DWORD waited = 0; waited < timeout_ms; waited += 10) {
        if (done()) return true;
        Sleep(10);
    }
    return false;
}

// The visible dialog with that caption (any caption when null), once it is up; else null.
inline HWND WaitForDialog(const wchar_t* caption, DWORD timeout_ms = 15000) {
    HWND dialog = nullptr;
    const auto up = [&] {
        dialog = FindWindowW(L"#32770", caption);
        return dialog != nullptr && IsWindowVisible(dialog);
    };
    return WaitUntil(up, timeout_ms) ? dialog : nullptr;
}

inline bool WaitUntilClosed(HWND dialog, DWORD timeout_ms = 15000) {
    return WaitUntil([&] { return !IsWindow(dialog); }, timeout_ms);
}

inline bool IsChecked(HWND dialog, int id) {
    return SendMessageW(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// A click through the button itself, so an automatic check box or radio button changes its
// state before the dialog hears of it.
inline void Click(HWND dialog, int id) { SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

// The window of the dialog's thread that has the keyboard focus, or null.
inline HWND Focused(HWND dialog) {
    GUITHREADINFO info{sizeof(GUITHREADINFO)};
    GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info);
    return info.hwndFocus;
}

// A key for the focused window (else the dialog), whose control and dialog manager handle it.
inline void PressKey(HWND dialog, WPARAM key) {
    HWND target = Focused(dialog);
    if (target == nullptr) target = dialog;
    PostMessageW(target, WM_KEYDOWN, key, 0);
    PostMessageW(target, WM_KEYUP, key, 0xC0000000);
}

inline std::wstring TextOf(HWND dialog, int id) {
    wchar_t text[8192];
    return std::wstring(text, GetDlgItemTextW(dialog, id, text, 8192));
}

}  // namespace wbh::test
