#include "convert/MenuHtml.h"

#include "common/PathNames.h"
#include "convert/LineKind.h"
#include "convert/PageBlocks.h"
#include "convert/SearchPage.h"
#include "convert/TagWriter.h"

namespace varnoke {

void MakeMenuHtml(bool split, const TLineSource& lines, const TNativePath& fileName,
                  const TNativePath& textFileName, const TNativePath& styleSheet, bool searchLink) {
    TTextFileWriter file(fileName);
    WritePageHead(file, TransitionalDocType, PageTitle(fileName), PageFileName(styleSheet));
    WriteTagOpen(file, "body");
    if (searchLink)
        WriteSearchLink(file);

    const std::string bodyName = PageFileName(textFileName);
    int mainHeadingCounter = 0;
    int headingCounter = 0;
    int page = 0;
    bool mainHeadingSeen = false;
    std::string linkPage = split ? SplitPageFileName(bodyName, 0) : bodyName;
    // The two addresses of the current page, made once a page.
    std::string mainHeadingAddress = linkPage + "#h1";
    std::string headingAddress = linkPage + "#h2";

    for (size_t index = 0, count = lines.Count(); index < count; ++index) {
        const std::string_view line = lines.Line(index);
        switch (ClassifyLine(line)) {
        case TLineKind::Empty:
        case TLineKind::Comment:
        case TLineKind::Body:
            break;
        case TLineKind::MainHeading:
            if (split && mainHeadingSeen) {
                ++page;
                mainHeadingCounter = 0;
                headingCounter = 0;
                linkPage = SplitPageFileName(bodyName, page);
                mainHeadingAddress = linkPage + "#h1";
                headingAddress = linkPage + "#h2";
            }
            mainHeadingSeen = true;
            WriteMenuEntry(file, "h1", mainHeadingAddress, mainHeadingCounter++, line,
                           lines.LineBreak(index));
            break;
        case TLineKind::Heading:
            WriteMenuEntry(file, "h2", headingAddress, headingCounter++, line.substr(1),
                           lines.LineBreak(index));
            break;
        }
    }
    WriteTagClose(file, "body");
    WriteTagClose(file, "html");
    file.Close();
}

} // namespace varnoke
