#include "common/Version.h"

namespace varnoke {

// Defined for this file alone, so that a new release recompiles nothing else.
const char* ProgramVersion() {
    return VARNOKE_VERSION;
}

const char* ProgramReleaseDate() {
    return VARNOKE_RELEASE_DATE;
}

} // namespace varnoke
