#include "cli/BuildCommand.h"
#include "common/PathNames.h"
#include "common/ProgramPaths.h"
#include "common/ShiftJis.h"

#include <iostream>

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    // The window program is installed beside this tool; its settings file
    // holds the styles.
    const std::string windowExecutable =
        varnoke::SjisToUtf8(varnoke::ExecutableFolder()) + "varnoke";
    return varnoke::RunBuildCommand(arguments, windowExecutable, std::cout, std::cerr);
}
