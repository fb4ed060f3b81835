// The pieces the body page and the menu page are made of: a heading of the
// body, a line of a paragraph, an entry of the menu. The page writers write
// them into files; the live preview makes single blocks of a shown page with
// them. One code for both keeps a patched preview equal to a fresh load.
#pragma once

#include "convert/TagWriter.h"

#include <string_view>

namespace varnoke {

// "<h1>" or "<h2>" of the body page with its anchor ("h10", "h21", ...).
// The line keeps its own break, so the closing markup follows on a line of
// its own (after an empty one).
template <class TWriter>
void WriteBodyHeading(TWriter& page, std::string_view tag, int number, std::string_view line,
                      std::string_view lineBreak) {
    WriteTagOpen(page, tag);
    WriteAnchorName(page, tag, number);
    page.WriteLine({line, lineBreak});
    WriteTagClose(page, "a");
    WriteTagClose(page, tag);
}

// One line of a paragraph, without its two leading tabs: further leading
// tabs become spaces, and "<br>" follows the line's own break.
template <class TWriter>
void WriteBodyLine(TWriter& page, int tabCount, std::string_view text, std::string_view lineBreak) {
    WriteTabsToNbsp(page, tabCount, text);
    page.WriteLine({lineBreak, "<br>"});
}

// One entry of the menu: a link to the heading's anchor, shown in the frame
// "mainframe". `address` is the page and anchor prefix ("text.html#h2").
template <class TWriter>
void WriteMenuEntry(TWriter& page, std::string_view tag, std::string_view address, int number,
                    std::string_view text, std::string_view lineBreak) {
    WriteTagOpen(page, tag);
    WriteAnchorHref(page, address, number, "mainframe");
    page.WriteLine({text, lineBreak});
    WriteTagClose(page, "a");
    WriteTagClose(page, tag);
}

} // namespace varnoke
