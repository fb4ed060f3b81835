#include "convert/TagWriter.h"

#include "common/PathNames.h"
#include "common/ShiftJis.h"
#include "convert/StringWriter.h"

namespace varnoke {

void AppendTabsToNbsp(std::string& result, int count, std::string_view text) {
    TStringWriter writer(result);
    WriteTabsToNbsp(writer, count, text);
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

std::string PageFileName(const TNativePath& file) {
    return Utf8ToSjis(ExtractFileName(file.Name()));
}

std::string PageTitle(const TNativePath& file) {
    return Utf8ToSjis(FileNameWithoutExt(file.Name()));
}

} // namespace varnoke
