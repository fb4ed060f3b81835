// The desktop's system colours, by their classic index, from the Qt palette:
// a style that uses "window text" follows the user's colour scheme.
#pragma once

#include "css/CSSNames.h"

class QPalette;

namespace varnoke {

TSystemColorResolver DesktopSystemColors(const QPalette& palette);

} // namespace varnoke
