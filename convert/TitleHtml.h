// "title.html": the manual's title as a main heading.
#pragma once

#include <string>

namespace varnoke {

void MakeTitleHtml(const std::string& titleText, const std::string& fileName,
                   const std::string& styleSheet);

} // namespace varnoke
