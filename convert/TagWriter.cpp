#include "convert/TagWriter.h"

#include "common/PathNames.h"

namespace varnoke {

void WriteTagOpen(TTextFileWriter& file, std::string_view text) {
    file.WriteLine({"<", text, ">"});
}

void WriteTagClose(TTextFileWriter& file, std::string_view text) {
    file.WriteLine({"</", text, ">"});
}

void WriteTagPair(TTextFileWriter& file, std::string_view tag, std::string_view content) {
    file.WriteLine({"<", tag, ">", content, "</", tag, ">"});
}

void WriteMeta(TTextFileWriter& file, std::string_view attributes) {
    file.WriteLine({"<meta ", attributes, ">"});
}

void WriteLink(TTextFileWriter& file, std::string_view attributes) {
    file.WriteLine({"<link ", attributes, ">"});
}

void WriteAnchorName(TTextFileWriter& file, std::string_view prefix, int number) {
    file.WriteLine({"<a name=\"", prefix, std::to_string(number), "\">"});
}

void WriteAnchorHref(TTextFileWriter& file, std::string_view address, int number,
                     std::string_view target) {
    file.WriteLine({"<a href=\"", address, std::to_string(number), "\" target=\"", target, "\">"});
}

void WriteFrameset(TTextFileWriter& file, std::string_view attributes) {
    file.WriteLine({"<frameset ", attributes, ">"});
}

void WriteFrame(TTextFileWriter& file, std::string_view attributes) {
    file.WriteLine({"<frame ", attributes, ">"});
}

void WriteDocType(TTextFileWriter& file, std::string_view text) {
    file.WriteLine({"<!DOCTYPE ", text, ">"});
}

namespace {
// The one expansion of leading tabs, handing its pieces to `write`.
template <class TWrite> void ExpandLeadingTabs(int count, std::string_view text, TWrite&& write) {
    while (!text.empty() && text.front() == '\t') {
        for (int i = 0; i < count; ++i)
            write("&nbsp;");
        text.remove_prefix(1);
    }
    write(text);
}
} // namespace

void AppendTabsToNbsp(std::string& result, int count, std::string_view text) {
    ExpandLeadingTabs(count, text, [&](std::string_view piece) { result.append(piece); });
}

void WriteTabsToNbsp(TTextFileWriter& file, int count, std::string_view text) {
    ExpandLeadingTabs(count, text, [&](std::string_view piece) { file.Write(piece); });
}

std::string TabsToNbsp(int count, std::string_view text) {
    std::string result;
    AppendTabsToNbsp(result, count, text);
    return result;
}

void WritePageHead(TTextFileWriter& file, std::string_view docType, std::string_view title,
                   std::string_view styleSheet) {
    WriteDocType(file, docType);
    WriteTagOpen(file, "html lang=\"ja\"");
    WriteTagOpen(file, "head");
    WriteMeta(file, "http-equiv=\"Content-Type\" content=\"text/html; charset=shift_jis\"");
    WriteMeta(file, "name=\"GENERATOR\" content=\"VARNOKE V2\"");
    WriteTagPair(file, "title", title);
    if (!styleSheet.empty())
        WriteLink(file, "href=\"" + ExtractFileName(styleSheet) +
                            "\" rel=\"stylesheet\" type=\"text/css\"");
    WriteTagClose(file, "head");
}

} // namespace varnoke
