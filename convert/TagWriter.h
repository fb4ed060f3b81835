// The primitives every page is written with: each formats one piece of
// markup and writes it as one line ending in CR LF. Nothing is escaped: the
// author's bytes reach the page as they are, markup included.
#pragma once

#include "common/TextFileWriter.h"

#include <string>
#include <string_view>

namespace varnoke {

void WriteTagOpen(TTextFileWriter& file, std::string_view text);  // <%s>
void WriteTagClose(TTextFileWriter& file, std::string_view text); // </%s>
void WriteTagPair(TTextFileWriter& file, std::string_view tag, std::string_view content);
void WriteMeta(TTextFileWriter& file, std::string_view attributes); // <meta %s>
void WriteLink(TTextFileWriter& file, std::string_view attributes); // <link %s>
void WriteAnchorName(TTextFileWriter& file, std::string_view prefix, int number);
void WriteAnchorHref(TTextFileWriter& file, std::string_view address, int number,
                     std::string_view target);
void WriteFrameset(TTextFileWriter& file, std::string_view attributes);
void WriteFrame(TTextFileWriter& file, std::string_view attributes);
void WriteDocType(TTextFileWriter& file, std::string_view text); // <!DOCTYPE %s>

// Replaces each leading tab by `count` "&nbsp;" (none when count <= 0);
// tabs further on stay.
std::string TabsToNbsp(int count, std::string_view text);
// The same, appended to `result`.
void AppendTabsToNbsp(std::string& result, int count, std::string_view text);
// The same, written into the page (no line break follows).
void WriteTabsToNbsp(TTextFileWriter& file, int count, std::string_view text);

inline constexpr std::string_view TransitionalDocType =
    "HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\"";
inline constexpr std::string_view FramesetDocType =
    "HTML PUBLIC \"-//W3C//DTD HTML 4.01 Frameset//EN\"";

// The page head every page begins with. The style sheet is linked by its
// bare file name; an empty styleSheet leaves the link out (the frame set).
void WritePageHead(TTextFileWriter& file, std::string_view docType, std::string_view title,
                   std::string_view styleSheet);

} // namespace varnoke
