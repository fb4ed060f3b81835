// Platform colour values (0x00BBGGRR, or a negative value naming a system
// colour by its classic index) on the Qt side: to and from QColor, and the
// system colours of the user's desktop palette.
#pragma once

#include "css/CSSNames.h"

#include <QColor>
#include <QString>
#include <cstdint>

class QPalette;

namespace varnoke {

// The colour value of a Qt colour (never a system colour).
std::int32_t PlatformColorOf(const QColor& color);

// The colour a value shows: a system colour is asked of the resolver (the
// classic table when none is given).
QColor QColorOf(std::int32_t color, const TSystemColorResolver& resolver = ClassicSystemColors());

// The desktop's system colours by their classic index, from a Qt palette:
// a style that uses "window text" follows the user's colour scheme. Roles
// Qt has no counterpart for come from the classic table.
TSystemColorResolver DesktopSystemColors(const QPalette& palette);

// The name a system colour goes by in the user interface ("ウィンドウの文字"
// for index 8); an index without a role gets a numbered name.
QString SystemColorName(int index);

} // namespace varnoke
