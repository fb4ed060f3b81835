#include "convert/FrameHtml.h"

#include "common/PathNames.h"
#include "common/TextFileWriter.h"
#include "convert/TagWriter.h"

namespace varnoke {

namespace {
// Written on every build, so in Shift-JIS already: converting them would
// load the converter into every run of the command-line tool.
// "VARNOKE2 出力ファイル"
constexpr std::string_view OutputNote = "VARNOKE2 \x8F\x6F\x97\xCD\x83\x74\x83\x40\x83\x43\x83\x8B";
// "フレーム対応したブラウザでご覧下さい"
constexpr std::string_view FramesNote =
    "\x83\x74\x83\x8C\x81\x5B\x83\x80\x91\xCE\x89\x9E\x82\xB5\x82\xBD\x83\x75\x83\x89\x83"
    "\x45\x83\x55\x82\xC5\x82\xB2\x97\x97\x89\xBA\x82\xB3\x82\xA2";
} // namespace

void MakeFrameHtml(bool titleFrame, bool split, const TNativePath& fileName) {
    TTextFileWriter file(fileName);
    WritePageHead(file, FramesetDocType, PageTitle(fileName), "");
    if (titleFrame) {
        WriteFrameset(file, "title=\"manual_title\" rows=\"80, *\"");
        WriteFrame(file, "title=\"title\" src=\"title.html\" name=\"titleframe\"");
    }
    WriteFrameset(file, "title=\"manual\" cols=\"200,*\"");
    WriteFrame(file, "title=\"menu\" src=\"menu.html\" name=\"menuframe\"");
    WriteFrame(file, split ? "title=\"main\" src=\"text0.html\" name=\"mainframe\""
                           : "title=\"main\" src=\"text.html\" name=\"mainframe\"");
    WriteTagOpen(file, "noframes");
    WriteTagOpen(file, "body");
    WriteTagOpen(file, "p");
    file.WriteLine(OutputNote);
    file.WriteLine(FramesNote);
    WriteTagClose(file, "p");
    WriteTagClose(file, "body");
    WriteTagClose(file, "noframes");
    WriteTagClose(file, "frameset");
    if (titleFrame)
        WriteTagClose(file, "frameset");
    WriteTagClose(file, "html");
    file.Close();
}

} // namespace varnoke
