// How a line of the manual's text is read: by its first two bytes only.
// Shift-JIS trail bytes never take the values of tab or "#", so the test is
// safe on bytes. The body and the menu writers share it, so that the menu's
// links always hit the body's anchors.
#pragma once

#include <string>
#include <string_view>

namespace varnoke {

enum class TLineKind {
    Empty,       // no bytes before the line break
    Comment,     // "#" first
    MainHeading, // no tab first
    Body,        // two tabs first
    Heading,     // one tab first
};

TLineKind ClassifyLine(std::string_view line);

// Page k of a split body: "text.html" -> "text0.html", "text1.html", ...
std::string SplitPageFileName(std::string_view fileName, int page);

} // namespace varnoke
