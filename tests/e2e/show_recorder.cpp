// A stand-in application for a test file type: started by the shell with the file as its one
// argument, it writes how it was asked to show itself to "<file>.shown" and exits. The record
// is written beside and renamed into place, so a reader never sees half of it.
#include <windows.h>

#include <cstdio>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR command_line, int show) {
    std::string file = command_line;
    if (file.size() >= 2 && file.front() == '"' && file.back() == '"') {
        file = file.substr(1, file.size() - 2);
    }
    if (file.empty()) return 2;

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    const std::string record = file + ".shown";
    const std::string temp = record + ".new";
    FILE* out = std::fopen(temp.c_str(), "wb");
    if (out == nullptr) return 1;
    std::fprintf(out, "argument=%s\nuse_show_window=%d\nshow_window=%d\ncmd_show=%d\n",
                 file.c_str(), (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? 1 : 0,
                 static_cast<int>(startup.wShowWindow), show);
    const bool written = std::fclose(out) == 0;
    return written && MoveFileA(temp.c_str(), record.c_str()) ? 0 : 1;
}
