#include "PageHead.h"
#include "TestSupport.h"
#include "common/ShiftJis.h"
#include "convert/FrameHtml.h"
#include "convert/SampleHtml.h"
#include "convert/TitleHtml.h"

#include <gtest/gtest.h>

using namespace varnoke;
using namespace varnoke::test;

namespace {
using Lines = std::vector<std::string>;

const Lines FrameHead{"<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Frameset//EN\">",
                      "<html lang=\"ja\">",
                      "<head>",
                      "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=shift_jis\">",
                      "<meta name=\"GENERATOR\" content=\"VARNOKE V2\">",
                      "<title>frame</title>",
                      "</head>"};

Lines NoFrames() {
    return {"<noframes>",
            "<body>",
            "<p>",
            Sjis("VARNOKE2 出力ファイル"),
            Sjis("フレーム対応したブラウザでご覧下さい"),
            "</p>",
            "</body>",
            "</noframes>"};
}
} // namespace

TEST(FrameHtml, PlainFrameSet) {
    TScratchFolder folder;
    MakeFrameHtml(false, false, folder.Native("frame.html"));
    EXPECT_EQ(ReadFile(folder.File("frame.html")),
              CrLfLines(FrameHead +
                        Lines{"<frameset title=\"manual\" cols=\"200,*\">",
                              "<frame title=\"menu\" src=\"menu.html\" name=\"menuframe\">",
                              "<frame title=\"main\" src=\"text.html\" name=\"mainframe\">"} +
                        NoFrames() + Lines{"</frameset>", "</html>"}));
}

TEST(FrameHtml, TitleBandAndSplit) {
    TScratchFolder folder;
    MakeFrameHtml(true, true, folder.Native("frame.html"));
    EXPECT_EQ(ReadFile(folder.File("frame.html")),
              CrLfLines(FrameHead +
                        Lines{"<frameset title=\"manual_title\" rows=\"80, *\">",
                              "<frame title=\"title\" src=\"title.html\" name=\"titleframe\">",
                              "<frameset title=\"manual\" cols=\"200,*\">",
                              "<frame title=\"menu\" src=\"menu.html\" name=\"menuframe\">",
                              "<frame title=\"main\" src=\"text0.html\" name=\"mainframe\">"} +
                        NoFrames() + Lines{"</frameset>", "</frameset>", "</html>"}));
}

TEST(TitleHtml, TitleTextGoesInUnchanged) {
    TScratchFolder folder;
    MakeTitleHtml("A & <i>B</i>", folder.Native("title.html"), folder.Native("title.css"));
    EXPECT_EQ(ReadFile(folder.File("title.html")),
              CrLfLines(PageHead("title", "title.css") +
                        Lines{"<body>", "<h1>", "A & <i>B</i>", "</h1>", "</body>", "</html>"}));
    MakeTitleHtml("", folder.Native("title.html"), folder.Native("title.css"));
    EXPECT_EQ(SplitCrLf(ReadFile(folder.File("title.html")))[10], "");
}

TEST(SampleHtml, IsTheFixedShiftJisPage) {
    TScratchFolder folder;
    MakeSampleHtml(folder.Native("sample.html"), folder.Native("sample.css"));
    const std::string page = ReadFile(folder.File("sample.html"));
    EXPECT_EQ(
        page,
        CrLfLines(PageHead("title", "sample.css") +
                  Lines{"<body>", "<h1>", Sjis("大見出し表示サンプル"), "</h1>", "<h2>",
                        Sjis("見出し表示サンプル"), "</h2>", "<p>", Sjis("本文表示サンプル<br>"),
                        Sjis("この様に表示されることになります。<br>"),
                        "0123456789ABCDEFabcdef<br>", Sjis("０１２３４５６７８９ＡＢＣ<br>"),
                        Sjis("あいうえおかきくけこさしすせそ"), "</p>", "</body>", "</html>"}));
    EXPECT_EQ(SplitCrLf(page).size(), 24u);
    EXPECT_EQ(page.substr(page.find("<h1>") + 6, 2), "\x91\xE5"); // 大 in Shift-JIS
}
