// varnoke-build --watch: builds once, then again whenever one of the files
// the last build read changes, until SIGINT, SIGTERM or SIGHUP. A signal
// during a build stops it at once: the build removes what it had written
// and the pages of the last build stay whole. A failed build is reported
// and the watch goes on.
#pragma once

#include "cli/EndSignals.h"

#include <chrono>
#include <functional>
#include <iosfwd>
#include <string>

namespace varnoke {

// Called by a build with each file it is about to read, or finds missing
// (a file-system name): from then on the file is watched, so that no
// change after the build read it goes unseen.
using TWillRead = std::function<void(const std::string& file)>;
// One build of a watch: true when it succeeded. It shows its own errors;
// the watch shows a line per build. It lets the signals through while it
// reads and raises TBuildStopped as soon as it finds one pending while it
// writes.
using TBuildOnce = std::function<bool(const TWillRead& willRead, const TEndSignals& signals)>;

// Changes closer together than this are one burst, built once; a build
// starts this long after the last change of a burst.
inline constexpr std::chrono::milliseconds QuietPeriod{30};
// A file that keeps changing is built at least this often.
inline constexpr std::chrono::milliseconds LongestWait{1000};

// Returns the exit code: 0 after a signal (between builds or during one), 1 when the files cannot
// be watched at all, 2 when a build named no file to wait for (the command line's names are the
// system's own, so every build names at least its project).
int WatchAndRebuild(const TBuildOnce& build, std::ostream& out, std::ostream& err);

} // namespace varnoke
