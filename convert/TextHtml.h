// The body of the manual: "text.html", or with split one page per main
// heading, "text0.html", "text1.html", ...
#pragma once

#include "common/NativePath.h"

#include "common/LineSource.h"

#include <string>

namespace varnoke {

// Returns the number of pages written (1 without split). Raises EInOutError
// when a page cannot be written; pages written before stay as they are.
// searchLink puts the link to the search page at the top of every page.
int MakeTextHtml(bool split, const TLineSource& lines, const TNativePath& fileName,
                 const TNativePath& styleSheet, int tabCount, bool searchLink = false);

} // namespace varnoke
