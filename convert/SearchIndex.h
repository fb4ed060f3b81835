// The search's data: "search.js", the search code and the manual's text in
// one script that a page loads with a <script> tag, since browsers refuse
// to fetch local files. The file is ASCII only, so that its encoding never
// matters.
//
// The text is what a reader sees of the headings and body lines: markup
// left out, character references as the characters they stand for, comments
// and empty lines left out. It is cut into sections, a heading and the body
// lines up to the next heading; the script numbers the sections' anchors as
// the menu does.
#pragma once

#include "common/NativePath.h"

#include "common/ByteBuffer.h"
#include "common/LineSource.h"

#include <string>

namespace varnoke {

// The searchable text, one UTF-16 unit a character: each section starts
// with a mark (SectionMainHeading, SectionHeading, or SectionTop for the
// body lines before the first heading), then its heading's text, then each
// body line after a line feed. No line holds a mark, a line feed or any
// other control character (they become spaces), so a query never matches
// across lines.
inline constexpr char16_t SectionMainHeading = 1;
inline constexpr char16_t SectionHeading = 2;
inline constexpr char16_t SectionTop = 3;
std::u16string SearchText(const TLineSource& lines);

// The content of "search.js". split and frames say where the results'
// pages are and how they open: the numbered body pages, and the frame
// "mainframe". It only reads the lines, so a build makes it on a thread of
// its own while it writes the pages.
TByteBuffer SearchIndexScript(const TLineSource& lines, bool split, bool frames);
// The same written into the file as it is coded, a piece at a time.
void WriteSearchIndex(const TLineSource& lines, bool split, bool frames,
                      const TNativePath& fileName);

} // namespace varnoke
