#include "cli/BuildCommand.h"
#include "common/ProgramPaths.h"

#include <iostream>

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    // The window program is installed beside this tool; its settings file
    // holds the styles.
    const varnoke::TNativePath windowExecutable = varnoke::ExecutableFolder() + "varnoke";
    return varnoke::RunBuildCommand(arguments, windowExecutable, std::cout, std::cerr);
}
