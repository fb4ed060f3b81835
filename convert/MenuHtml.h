// The menu page "menu.html": every main heading and heading of the text as a
// link to its anchor in the body page, opened in the frame "mainframe".
#pragma once

#include "common/NativePath.h"

#include "common/LineSource.h"

#include <string>

namespace varnoke {

// textFileName is the body page path given to MakeTextHtml; only its file
// name (and with split its numbered variants) goes into the links.
// searchLink puts the link to the search page at the top.
void MakeMenuHtml(bool split, const TLineSource& lines, const TNativePath& fileName,
                  const TNativePath& textFileName, const TNativePath& styleSheet,
                  bool searchLink = false);

} // namespace varnoke
