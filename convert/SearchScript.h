// The code of the manual's search, the first part of "search.js": it
// decodes the data that follows it, folds the text, and answers the search
// page's queries.
#pragma once

#include <string_view>

namespace varnoke {

// ASCII only. Defines varnokeSearch; the data calls varnokeSearch.load.
std::string_view SearchScript();

} // namespace varnoke
