// The primitives every page is written with: each formats one piece of
// markup and writes it as one line ending in CR LF. Nothing is escaped: the
// author's bytes reach the page as they are, markup included. They are
// written here in the header: a page of a large manual is millions of them,
// and inlined, the fixed pieces become plain stores.
#pragma once

#include "common/TextFileWriter.h"

#include <charconv>
#include <string>
#include <string_view>

namespace varnoke {

// <%s>
template <class TWriter> void WriteTagOpen(TWriter& file, std::string_view text) {
    file.WriteLine({"<", text, ">"});
}
// </%s>
template <class TWriter> void WriteTagClose(TWriter& file, std::string_view text) {
    file.WriteLine({"</", text, ">"});
}
// <%s>%s</%s>
inline void WriteTagPair(TTextFileWriter& file, std::string_view tag, std::string_view content) {
    file.WriteLine({"<", tag, ">", content, "</", tag, ">"});
}
// <meta %s>
inline void WriteMeta(TTextFileWriter& file, std::string_view attributes) {
    file.WriteLine({"<meta ", attributes, ">"});
}
// <link %s>
inline void WriteLink(TTextFileWriter& file, std::string_view attributes) {
    file.WriteLine({"<link ", attributes, ">"});
}

// A number in decimal, in a buffer of its own: no string is made for it.
class TDecimal {
  public:
    explicit TDecimal(int number)
        : length_(static_cast<size_t>(std::to_chars(digits_, digits_ + sizeof digits_, number).ptr -
                                      digits_)) {}
    std::string_view View() const { return {digits_, length_}; }

  private:
    char digits_[12];
    size_t length_;
};

// <a name="%s%d">
template <class TWriter> void WriteAnchorName(TWriter& file, std::string_view prefix, int number) {
    file.WriteLine({"<a name=\"", prefix, TDecimal(number).View(), "\">"});
}
// <a href="%s%d" target="%s">
template <class TWriter>
void WriteAnchorHref(TWriter& file, std::string_view address, int number, std::string_view target) {
    file.WriteLine({"<a href=\"", address, TDecimal(number).View(), "\" target=\"", target, "\">"});
}
// <frameset %s>
inline void WriteFrameset(TTextFileWriter& file, std::string_view attributes) {
    file.WriteLine({"<frameset ", attributes, ">"});
}
// <frame %s>
inline void WriteFrame(TTextFileWriter& file, std::string_view attributes) {
    file.WriteLine({"<frame ", attributes, ">"});
}
// <!DOCTYPE %s>
inline void WriteDocType(TTextFileWriter& file, std::string_view text) {
    file.WriteLine({"<!DOCTYPE ", text, ">"});
}

// Replaces each leading tab by `count` "&nbsp;" (none when count <= 0);
// tabs further on stay.
std::string TabsToNbsp(int count, std::string_view text);
// The same, appended to `result`.
void AppendTabsToNbsp(std::string& result, int count, std::string_view text);
// The same, written into the page (no line break follows).
template <class TWriter> void WriteTabsToNbsp(TWriter& file, int count, std::string_view text) {
    while (!text.empty() && text.front() == '\t') {
        for (int i = 0; i < count; ++i)
            file.Write("&nbsp;");
        text.remove_prefix(1);
    }
    file.Write(text);
}

inline constexpr std::string_view TransitionalDocType =
    "HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\"";
inline constexpr std::string_view FramesetDocType =
    "HTML PUBLIC \"-//W3C//DTD HTML 4.01 Frameset//EN\"";

// The page head every page begins with. The style sheet is linked by its
// bare file name; an empty styleSheet leaves the link out (the frame set).
void WritePageHead(TTextFileWriter& file, std::string_view docType, std::string_view title,
                   std::string_view styleSheet);

// A file's name as a page writes it (a title, a link): CP932, a character
// CP932 lacks as "&#NNNN;". The pages of a build have ASCII names.
std::string PageFileName(const TNativePath& file);
// The same without the extension: a page's title.
std::string PageTitle(const TNativePath& file);

} // namespace varnoke
