// "title.html": the manual's title as a main heading.
#pragma once

#include "common/NativePath.h"

#include <string>

namespace varnoke {

void MakeTitleHtml(const std::string& titleText, const TNativePath& fileName,
                   const TNativePath& styleSheet);

} // namespace varnoke
