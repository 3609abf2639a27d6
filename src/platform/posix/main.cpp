// POSIX process entry: the arguments become the command-line text of the Windows build.
#include <string>

#include "app/program.h"
#include "platform/posix/command_line.h"

int main(int argc, char** argv) {
    const std::string command_line = wbh::platform::BuildCommandLine(argc, argv);
    return wbh::RunProgram(command_line.c_str());
}
