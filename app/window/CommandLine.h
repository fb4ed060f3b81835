// The window program's own options, answered before the application object
// exists: "varnoke --help" and "varnoke --version" need no display, and a
// toolkit started without one would abort. Everything else on the command
// line (the FILE argument, the toolkit's options such as -platform, and
// mistakes) is read once the application object exists (ExternalFiles).
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace varnoke {

// What --help or --version prints, in UTF-8, when the arguments (without
// the program name) ask for either; nothing otherwise. Arguments after
// "--" are file names, never options.
std::optional<std::string> AnswerBeforeWindow(const std::vector<std::string>& arguments);

} // namespace varnoke
