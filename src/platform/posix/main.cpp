// POSIX process entry: the arguments become the command-line text of the Windows build.
#include <csignal>
#include <cstdio>
#include <string>

#include "app/program.h"
#include "platform/posix/command_line.h"

int main(int argc, char** argv) {
    // The terminal dialog writes to standard output; if whoever reads it goes away, the run
    // still takes its answers and records them, rather than dying of SIGPIPE half-way.
    std::signal(SIGPIPE, SIG_IGN);
    // Under a file-size limit a write past it fails with EFBIG, so the writer removes its
    // temporary and leaves the old file, rather than the process dying half-way through.
    std::signal(SIGXFSZ, SIG_IGN);
    // The terminal dialog takes only the lines it needs and leaves the rest of the input to
    // whoever reads next, so one stream can answer the dialogs of several runs in a row.
    std::setvbuf(stdin, nullptr, _IONBF, 0);
    std::string notes;
    const std::string command_line =
        wbh::platform::BuildCommandLine(argc, argv, &notes, wbh::IsProgramOption);
    std::fputs(notes.c_str(), stderr);
    return wbh::RunProgram(command_line.c_str());
}
