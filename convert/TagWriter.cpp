#include "convert/TagWriter.h"

#include "common/PathNames.h"

namespace varnoke {

namespace {
std::string Concat(std::initializer_list<std::string_view> parts) {
    std::string line;
    size_t size = 0;
    for (std::string_view part : parts)
        size += part.size();
    line.reserve(size);
    for (std::string_view part : parts)
        line.append(part);
    return line;
}
} // namespace

void WriteTagOpen(TTextFileWriter& file, std::string_view text) {
    file.WriteLine(Concat({"<", text, ">"}));
}

void WriteTagClose(TTextFileWriter& file, std::string_view text) {
    file.WriteLine(Concat({"</", text, ">"}));
}

void WriteTagPair(TTextFileWriter& file, std::string_view tag, std::string_view content) {
    file.WriteLine(Concat({"<", tag, ">", content, "</", tag, ">"}));
}

void WriteMeta(TTextFileWriter& file, std::string_view attributes) {
    file.WriteLine(Concat({"<meta ", attributes, ">"}));
}

void WriteLink(TTextFileWriter& file, std::string_view attributes) {
    file.WriteLine(Concat({"<link ", attributes, ">"}));
}

void WriteAnchorName(TTextFileWriter& file, std::string_view prefix, int number) {
    file.WriteLine(Concat({"<a name=\"", prefix, std::to_string(number), "\">"}));
}

void WriteAnchorHref(TTextFileWriter& file, std::string_view address, int number,
                     std::string_view target) {
    file.WriteLine(
        Concat({"<a href=\"", address, std::to_string(number), "\" target=\"", target, "\">"}));
}

void WriteFrameset(TTextFileWriter& file, std::string_view attributes) {
    file.WriteLine(Concat({"<frameset ", attributes, ">"}));
}

void WriteFrame(TTextFileWriter& file, std::string_view attributes) {
    file.WriteLine(Concat({"<frame ", attributes, ">"}));
}

void WriteDocType(TTextFileWriter& file, std::string_view text) {
    file.WriteLine(Concat({"<!DOCTYPE ", text, ">"}));
}

void AppendTabsToNbsp(std::string& result, int count, std::string_view text) {
    while (!text.empty() && text.front() == '\t') {
        for (int i = 0; i < count; ++i)
            result += "&nbsp;";
        text.remove_prefix(1);
    }
    result.append(text);
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
        WriteLink(file, Concat({"href=\"", ExtractFileName(styleSheet),
                                "\" rel=\"stylesheet\" type=\"text/css\""}));
    WriteTagClose(file, "head");
}

} // namespace varnoke
