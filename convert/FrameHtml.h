// "frame.html", the entry page of a framed manual: the menu on the left, the
// body on the right and, optionally, the title as a band across the top.
#pragma once

#include "common/NativePath.h"

#include <string>

namespace varnoke {

void MakeFrameHtml(bool titleFrame, bool split, const TNativePath& fileName);

} // namespace varnoke
