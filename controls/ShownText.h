// Text of the model as the user reads it. The editor hands its lines out in
// Shift-JIS, where a character Shift-JIS lacks becomes a character
// reference ("&#9731;"); lists that show parts of those lines (headings)
// show the character itself, as the pages do.
#pragma once

#include <QString>

#include <string>

namespace varnoke {

// CP932 text with its decimal character references turned back into the
// characters they name; a reference to no character stays as written.
QString ShownText(const std::string& sjis);

} // namespace varnoke
