// Drives the program's dialog from another process under Wine: waits for it, prints its caption
// (UTF-8), performs the actions in order (click=ID, enter; checked=ID fails unless checked;
// text=ID:TEXT types TEXT, shows=ID:TEXT fails unless the control shows TEXT) and waits for it
// to close. Exit code 0 when every step held.
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "support/dialog_driving.h"

namespace {

bool Step(HWND dialog, const char* action) {
    const char* equals = std::strchr(action, '=');
    const int id = equals ? std::atoi(equals + 1) : 0;
    auto is = [&](const char* verb) {
        return std::strncmp(action, verb, std::strlen(verb)) == 0 &&
               action[std::strlen(verb)] == '=';
    };
    if (std::strcmp(action, "enter") == 0) {
        wbh::test::PressKey(dialog, VK_RETURN);
    } else if (is("click")) {
        wbh::test::Click(dialog, id);
    } else if (is("checked")) {
        return wbh::test::IsChecked(dialog, id);
    } else if (is("text") || is("shows")) {
        const char* colon = std::strchr(action, ':');
        if (colon == nullptr) return false;
        wchar_t text[1024];
        if (MultiByteToWideChar(CP_UTF8, 0, colon + 1, -1, text, 1024) == 0) return false;
        if (is("shows")) return wbh::test::TextOf(dialog, id) == text;
        SetDlgItemTextW(dialog, id, text);
    } else {
        std::fprintf(stderr, "unknown action %s\n", action);
        return false;
    }
    return true;
}

}  // namespace

int main() {
    // The actions in UTF-8, whatever the ANSI code page could hold of them.
    int argc = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (wide == nullptr) return 1;
    std::vector<std::string> argv(static_cast<std::size_t>(argc));
    for (int i = 0; i < argc; ++i) {
        char utf8[4096];
        if (WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, utf8, sizeof utf8, nullptr, nullptr) ==
            0) {
            return 1;
        }
        argv[static_cast<std::size_t>(i)] = utf8;
    }
    LocalFree(wide);
    HWND dialog = wbh::test::WaitForDialog(nullptr, 30000);  // the first of any process
    if (dialog == nullptr) {
        std::fprintf(stderr, "no dialog appeared\n");
        return 1;
    }
    wchar_t caption[512];
    GetWindowTextW(dialog, caption, 512);
    char utf8[1536];
    WideCharToMultiByte(CP_UTF8, 0, caption, -1, utf8, sizeof utf8, nullptr, nullptr);
    std::printf("%s\n", utf8);
    std::fflush(stdout);
    int failures = 0;
    for (int i = 1; i < argc; ++i) {
        if (!Step(dialog, argv[i].c_str())) {
            std::fprintf(stderr, "step %s did not hold\n", argv[i].c_str());
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
