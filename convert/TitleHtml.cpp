#include "convert/TitleHtml.h"

#include "common/TextFileWriter.h"
#include "convert/TagWriter.h"

namespace varnoke {

void MakeTitleHtml(const std::string& titleText, const TNativePath& fileName,
                   const TNativePath& styleSheet) {
    TTextFileWriter file(fileName);
    WritePageHead(file, TransitionalDocType, "title", PageFileName(styleSheet));
    WriteTagOpen(file, "body");
    WriteTagOpen(file, "h1");
    file.WriteLine(titleText);
    WriteTagClose(file, "h1");
    WriteTagClose(file, "body");
    WriteTagClose(file, "html");
    file.Close();
}

} // namespace varnoke
