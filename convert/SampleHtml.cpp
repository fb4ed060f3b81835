#include "convert/SampleHtml.h"

#include "common/ShiftJis.h"
#include "common/TextFileWriter.h"
#include "convert/TagWriter.h"

namespace varnoke {

void MakeSampleHtml(const TNativePath& fileName, const TNativePath& styleSheet) {
    static const std::string mainHeading = Sjis("大見出し表示サンプル");
    static const std::string heading = Sjis("見出し表示サンプル");
    static const std::string bodyLines[] = {
        Sjis("本文表示サンプル<br>"),           Sjis("この様に表示されることになります。<br>"),
        Sjis("0123456789ABCDEFabcdef<br>"),     Sjis("０１２３４５６７８９ＡＢＣ<br>"),
        Sjis("あいうえおかきくけこさしすせそ"),
    };

    TTextFileWriter file(fileName);
    WritePageHead(file, TransitionalDocType, "title", PageFileName(styleSheet));
    WriteTagOpen(file, "body");
    WriteTagOpen(file, "h1");
    file.WriteLine(mainHeading);
    WriteTagClose(file, "h1");
    WriteTagOpen(file, "h2");
    file.WriteLine(heading);
    WriteTagClose(file, "h2");
    WriteTagOpen(file, "p");
    for (const std::string& line : bodyLines)
        file.WriteLine(line);
    WriteTagClose(file, "p");
    WriteTagClose(file, "body");
    WriteTagClose(file, "html");
    file.Close();
}

} // namespace varnoke
