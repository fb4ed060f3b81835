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

// Here in the header: both writers ask it of every line.
inline TLineKind ClassifyLine(std::string_view line) {
    if (line.empty())
        return TLineKind::Empty;
    if (line[0] == '#')
        return TLineKind::Comment;
    if (line[0] != '\t')
        return TLineKind::MainHeading;
    if (line.size() > 1 && line[1] == '\t')
        return TLineKind::Body;
    return TLineKind::Heading;
}

// Page k of a split body: "text.html" -> "text0.html", "text1.html", ...
std::string SplitPageFileName(std::string_view fileName, int page);

} // namespace varnoke
