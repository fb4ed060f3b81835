// "frame.html", the entry page of a framed manual: the menu on the left, the
// body on the right and, optionally, the title as a band across the top.
#pragma once

#include <string>

namespace varnoke {

void MakeFrameHtml(bool titleFrame, bool split, const std::string& fileName);

} // namespace varnoke
