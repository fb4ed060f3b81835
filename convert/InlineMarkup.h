// Whether a line of the text keeps the page's structure: the author's bytes
// reach the page as they are, markup included, and the browser rebuilds the
// page around markup such as "<div>", "</p>" or an unclosed "<b>". A line
// passes when it holds no markup, or only phrase markup (bold, italic, a
// span, an image, ...) that it closes itself, so that its heading or
// paragraph parses the same alone and within the page.
#pragma once

#include <string_view>

namespace varnoke {

bool KeepsPageStructure(std::string_view line);

} // namespace varnoke
