// Drives the program's dialog from another process under Wine: the actions in order (click=ID,
// enter, text=ID:TEXT types TEXT; checked=ID and shows=ID:TEXT fail unless so), then waits for it
// to close; exit code 0 when every step held. UTF-16 actions (wmain), whatever the ANSI code page.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "support/dialog_driving.h"

namespace {

bool Step(HWND dialog, const std::wstring& action) {
    const std::size_t equals = action.find(L'=');
    const std::wstring verb = action.substr(0, equals);
    const int id = equals == std::wstring::npos ? 0 : std::wcstol(&action[equals + 1], nullptr, 10);
    const std::size_t colon = action.find(L':');  // TEXT follows it
    if (action == L"enter") {
        wbh::test::PressKey(dialog, VK_RETURN);
    } else if (verb == L"click") {
        wbh::test::Click(dialog, id);
    } else if (verb == L"checked") {
        return wbh::test::IsChecked(dialog, id);
    } else if (verb == L"shows" && colon != std::wstring::npos) {
        return wbh::test::TextOf(dialog, id) == action.substr(colon + 1);
    } else if (verb == L"text" && colon != std::wstring::npos) {
        SetDlgItemTextW(dialog, id, action.substr(colon + 1).c_str());
    } else {
        return false;
    }
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    HWND dialog = wbh::test::WaitForDialog(nullptr, 30000);  // the first of any process
    if (dialog == nullptr) {
        std::fprintf(stderr, "no dialog appeared\n");
        return 1;
    }
    int failures = 0;
    for (int i = 1; i < argc; ++i) {
        if (!Step(dialog, argv[i])) {
            std::fprintf(stderr, "step %d did not hold\n", i);
            ++failures;
        }
    }
    if (!wbh::test::WaitUntilClosed(dialog)) {
        std::fprintf(stderr, "the dialog did not close\n");
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        ++failures;
    }
    return failures == 0 ? 0 : 1;
}
