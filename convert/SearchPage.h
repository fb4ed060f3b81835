// The search page "search.html": a field, the button "検索" and the list
// that the search code fills; and the link "検索" that the menu (with
// frames) or every body page (without) gets at its top.
#pragma once

#include "common/NativePath.h"

#include "common/LineWriting.h"

#include <string>
#include <string_view>

namespace varnoke {

// The link's line, in CP932: "<p><a href="search.html">検索</a></p>". It
// opens the page where the page that holds it is shown: in the menu's
// frame, or in the window.
inline constexpr std::string_view SearchLink =
    "<p><a href=\"search.html\">\x8C\x9F\x8D\xF5</a></p>";

template <class TWriter> void WriteSearchLink(TWriter& page) {
    page.WriteLine(SearchLink);
}

// How many elements the link puts before the blocks of the menu page and
// of a body page: with frames the menu holds it, without them each body
// page.
struct TSearchLinks {
    int Menu = 0;
    int Body = 0;
};
inline TSearchLinks SearchLinks(bool search, bool frames) {
    return {search && frames ? 1 : 0, search && !frames ? 1 : 0};
}

// styleSheet is the menu's style sheet, linked by its file name. With
// frames the page links back to the menu, else to the first body page.
void MakeSearchPage(bool frames, bool split, const TNativePath& fileName,
                    const TNativePath& styleSheet);

} // namespace varnoke
