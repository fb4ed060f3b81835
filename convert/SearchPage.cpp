#include "convert/SearchPage.h"

#include "common/PathNames.h"
#include "common/ShiftJis.h"
#include "common/TextFileWriter.h"
#include "convert/LineKind.h"
#include "convert/TagWriter.h"

namespace varnoke {

void MakeSearchPage(bool frames, bool split, const TNativePath& fileName,
                    const TNativePath& styleSheet) {
    TTextFileWriter file(fileName);
    WritePageHead(file, TransitionalDocType, PageTitle(fileName), PageFileName(styleSheet));
    WriteTagOpen(file, "body");
    const std::string back = frames  ? "menu.html"
                             : split ? SplitPageFileName("text.html", 0)
                                     : std::string("text.html");
    file.WriteLine(
        {"<p><a href=\"", back, "\">", Sjis(frames ? "メニューに戻る" : "本文に戻る"), "</a></p>"});
    // The browser sends the query as UTF-8, which the script reads back
    // from the address, whatever the page's own encoding.
    WriteTagOpen(file, "form action=\"search.html\" method=\"get\" accept-charset=\"UTF-8\"");
    WriteTagOpen(file, "p");
    WriteTagOpen(file, "input type=\"text\" name=\"q\" id=\"query\" size=\"20\"");
    WriteTagOpen(file, "input type=\"submit\" value=\"" + Sjis("検索") + "\"");
    WriteTagClose(file, "p");
    WriteTagClose(file, "form");
    WriteTagOpen(file, "noscript");
    WriteTagPair(file, "p", Sjis("検索には JavaScript が必要です"));
    WriteTagClose(file, "noscript");
    WriteTagOpen(file, "p id=\"count\"");
    WriteTagClose(file, "p");
    WriteTagOpen(file, "ol id=\"results\"");
    WriteTagClose(file, "ol");
    file.WriteLine("<script type=\"text/javascript\" src=\"search.js\"></script>");
    WriteTagClose(file, "body");
    WriteTagClose(file, "html");
    file.Close();
}

} // namespace varnoke
