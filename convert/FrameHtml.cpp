#include "convert/FrameHtml.h"

#include "common/PathNames.h"
#include "common/ShiftJis.h"
#include "common/TextFileWriter.h"
#include "convert/TagWriter.h"

namespace varnoke {

void MakeFrameHtml(bool titleFrame, bool split, const std::string& fileName) {
    static const std::string outputNote = Sjis("VARNOKE2 出力ファイル");
    static const std::string framesNote = Sjis("フレーム対応したブラウザでご覧下さい");

    TTextFileWriter file(fileName);
    WritePageHead(file, FramesetDocType, FileNameWithoutExt(fileName), "");
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
    file.WriteLine(outputNote);
    file.WriteLine(framesNote);
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
