// The version of both programs ("2.0.0") and the date of its release
// ("2026-12-08"): the build takes them from the newest entry of
// debian/changelog, where a release records them.
#pragma once

namespace varnoke {

const char* ProgramVersion();
const char* ProgramReleaseDate();

} // namespace varnoke
