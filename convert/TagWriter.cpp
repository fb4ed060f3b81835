#include "convert/TagWriter.h"

#include "common/PathNames.h"

namespace varnoke {

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
