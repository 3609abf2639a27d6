// Stands in for the application of a test file type: started by the shell with the file as its
// argument, it records how it was asked to show itself in "<file>.shown", written beside and
// renamed into place so that a reader never sees half of it.
#include <windows.h>

#include <cstdio>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR command_line, int show) {
    std::string file = command_line;
    if (file.size() >= 2 && file.front() == '"') file = file.substr(1, file.size() - 2);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    const std::string record = file + ".shown";
    FILE* out = std::fopen((record + ".new").c_str(), "wb");
    if (out == nullptr) return 1;
    std::fprintf(out, "argument=%s\nuse_show_window=%d\nshow_window=%d\ncmd_show=%d\n",
                 file.c_str(), (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? 1 : 0,
                 static_cast<int>(startup.wShowWindow), show);
    std::fclose(out);
    return MoveFileA((record + ".new").c_str(), record.c_str()) ? 0 : 1;
}
