#include "convert/TextHtml.h"

#include "common/PathNames.h"
#include "convert/LineKind.h"
#include "convert/PageBlocks.h"
#include "convert/SearchPage.h"
#include "convert/TagWriter.h"

namespace varnoke {

namespace {

constexpr int ClosingBreakLines = 64;

// One body page; returns when the text ends or, with split, at the main
// heading that opens the next page.
class TBodyPage {
  public:
    TBodyPage(const TNativePath& fileName, const TNativePath& styleSheet, bool split, int tabCount,
              bool searchLink)
        : file_(fileName), split_(split), tabCount_(tabCount) {
        WritePageHead(file_, TransitionalDocType, PageTitle(fileName), PageFileName(styleSheet));
        WriteTagOpen(file_, "body");
        if (searchLink)
            WriteSearchLink(file_);
    }

    // The source does not change while a build reads it: its line count is
    // taken once.
    void WriteLines(const TLineSource& lines, size_t& lineIndex) {
        for (const size_t count = lines.Count(); lineIndex < count; ++lineIndex) {
            const std::string_view line = lines.Line(lineIndex);
            switch (ClassifyLine(line)) {
            case TLineKind::Empty:
            case TLineKind::Comment:
                break;
            case TLineKind::MainHeading:
                if (split_ && mainHeadingSeen_)
                    return;
                mainHeadingSeen_ = true;
                WriteHeading("h1", mainHeadingCounter_++, line, lines.LineBreak(lineIndex));
                break;
            case TLineKind::Body:
                WriteBody(line.substr(2), lines.LineBreak(lineIndex));
                break;
            case TLineKind::Heading:
                WriteHeading("h2", headingCounter_++, line, lines.LineBreak(lineIndex));
                break;
            }
        }
    }

    void Close() {
        CloseParagraph();
        WriteTagOpen(file_, "p");
        for (int i = 0; i < ClosingBreakLines; ++i)
            WriteTagOpen(file_, "br");
        WriteTagClose(file_, "p");
        WriteTagClose(file_, "body");
        WriteTagClose(file_, "html");
        file_.Close();
    }

  private:
    void CloseParagraph() {
        if (paragraphOpen_)
            WriteTagClose(file_, "p");
        paragraphOpen_ = false;
    }

    void WriteHeading(std::string_view tag, int number, std::string_view line,
                      std::string_view lineBreak) {
        CloseParagraph();
        WriteBodyHeading(file_, tag, number, line, lineBreak);
    }

    void WriteBody(std::string_view text, std::string_view lineBreak) {
        if (!paragraphOpen_)
            WriteTagOpen(file_, "p");
        paragraphOpen_ = true;
        WriteBodyLine(file_, tabCount_, text, lineBreak);
    }

    TTextFileWriter file_;
    bool split_;
    int tabCount_;
    int mainHeadingCounter_ = 0;
    int headingCounter_ = 0;
    bool mainHeadingSeen_ = false;
    bool paragraphOpen_ = false;
};

} // namespace

int MakeTextHtml(bool split, const TLineSource& lines, const TNativePath& fileName,
                 const TNativePath& styleSheet, int tabCount, bool searchLink) {
    size_t lineIndex = 0;
    int page = 0;
    do {
        TBodyPage body(split ? TNativePath(SplitPageFileName(fileName.Name(), page)) : fileName,
                       styleSheet, split, tabCount, searchLink);
        body.WriteLines(lines, lineIndex);
        body.Close();
        ++page;
    } while (lineIndex < lines.Count());
    return page;
}

} // namespace varnoke
