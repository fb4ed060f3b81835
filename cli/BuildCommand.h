// varnoke-build: builds a manual from a project file without the window,
// through the same BuildManual the window uses.
#pragma once

#include "common/NativePath.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace varnoke {

enum TExitCode {
    ExitSuccess = 0,
    ExitWriteFailed = 1, // a page or style sheet could not be written
    ExitUsage = 2,       // bad options, missing project or text file
};

// Runs the command with its arguments (without the program name); messages
// go to `out` and `err` in UTF-8. windowExecutable is where the window
// program would be: its settings file provides the default styles.
int RunBuildCommand(const std::vector<std::string>& arguments, const TNativePath& windowExecutable,
                    std::ostream& out, std::ostream& err);

} // namespace varnoke
