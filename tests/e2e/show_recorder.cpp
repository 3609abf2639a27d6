// Stands in for the application of a test file type: started by the shell with the file as its
// argument, it records how it was asked to show itself in "<file>.shown" (in UTF-8), written
// beside and renamed into place so that a reader never sees half of it.
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <cstdio>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int show) {
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (arguments == nullptr || count < 2) return 1;
    char utf8[4 * MAX_PATH];
    if (!WideCharToMultiByte(CP_UTF8, 0, arguments[1], -1, utf8, sizeof utf8, nullptr, nullptr)) {
        return 1;
    }
    STARTUPINFOW startup;  // all of it filled in, its size included
    GetStartupInfoW(&startup);
    const std::wstring record = std::wstring(arguments[1]) + L".shown";
    FILE* out = _wfopen((record + L".new").c_str(), L"wb");
    if (out == nullptr) return 1;
    std::fprintf(out, "argument=%s\nuse_show_window=%d\nshow_window=%d\ncmd_show=%d\n", utf8,
                 (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? 1 : 0,
                 static_cast<int>(startup.wShowWindow), show);
    std::fclose(out);
    return MoveFileW((record + L".new").c_str(), record.c_str()) ? 0 : 1;
}
