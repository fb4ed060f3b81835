#include "convert/TextHtml.h"
#include "PageHead.h"
#include "TestSupport.h"
#include "common/Errors.h"
#include "common/TextLines.h"
#include "convert/LineKind.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace varnoke;
using namespace varnoke::test;

namespace {
using Lines = std::vector<std::string>;

const Lines& ClosingBlock() {
    static const Lines block = [] {
        Lines lines{"<p>"};
        lines.insert(lines.end(), 64, "<br>");
        lines.insert(lines.end(), {"</p>", "</body>", "</html>"});
        return lines;
    }();
    return block;
}

class TextHtml : public ::testing::Test {
  protected:
    std::string Build(const std::string& text, bool split = false, int tabCount = 4) {
        MakeTextHtml(split, TTextLines(text), folder.Native("text.html"), folder.Native("text.css"),
                     tabCount);
        return ReadFile(folder.File(split ? "text0.html" : "text.html"));
    }
    std::string Page(const std::string& name) { return ReadFile(folder.File(name)); }
    TScratchFolder folder;
};
} // namespace

TEST_F(TextHtml, WorkedExample) {
    std::string page = Build("Intro\r\n\tStart\r\n\t\tFirst\r\n\r\n\t\t\tIndented");
    EXPECT_EQ(page,
              CrLfLines(PageHead("text", "text.css") +
                        Lines{"<body>", "<h1>", "<a name=\"h10\">", "Intro", "", "</a>", "</h1>",
                              "<h2>", "<a name=\"h20\">", "\tStart", "", "</a>", "</h2>", "<p>",
                              "First", "<br>", "&nbsp;&nbsp;&nbsp;&nbsp;Indented<br>", "</p>"} +
                        ClosingBlock()));
    EXPECT_EQ(SplitCrLf(page).size(), 94u);
}

TEST_F(TextHtml, EmptyTextStillGivesOnePage) {
    EXPECT_EQ(Build(""),
              CrLfLines(PageHead("text", "text.css") + Lines{"<body>"} + ClosingBlock()));
    EXPECT_EQ(Build("", true),
              CrLfLines(PageHead("text0", "text.css") + Lines{"<body>"} + ClosingBlock()));
}

TEST_F(TextHtml, SplitOpensAPagePerMainHeading) {
    Build("A\r\n\t\ta1\r\nB\r\n\tb1\r\n", true);
    EXPECT_EQ(Page("text0.html"), CrLfLines(PageHead("text0", "text.css") +
                                            Lines{"<body>", "<h1>", "<a name=\"h10\">", "A", "",
                                                  "</a>", "</h1>", "<p>", "a1", "<br>", "</p>"} +
                                            ClosingBlock()));
    EXPECT_EQ(Page("text1.html"),
              CrLfLines(PageHead("text1", "text.css") +
                        Lines{"<body>", "<h1>", "<a name=\"h10\">", "B", "", "</a>", "</h1>",
                              "<h2>", "<a name=\"h20\">", "\tb1", "", "</a>", "</h2>"} +
                        ClosingBlock()));
    EXPECT_FALSE(Exists(folder.File("text2.html")));
}

TEST_F(TextHtml, HeadingsBeforeTheFirstMainHeadingStayOnTheFirstPage) {
    Build("\tpre\r\n\t\tbody\r\nA\r\n\tpost\r\nB\r\n", true);
    Lines page0 = SplitCrLf(Page("text0.html"));
    EXPECT_EQ(std::count(page0.begin(), page0.end(), "<a name=\"h20\">"), 1);
    EXPECT_EQ(std::count(page0.begin(), page0.end(), "<a name=\"h21\">"), 1); // "post" counts on
    EXPECT_EQ(std::count(page0.begin(), page0.end(), "<a name=\"h10\">"), 1);
    EXPECT_TRUE(Exists(folder.File("text1.html")));
}

TEST_F(TextHtml, WithoutSplitTheHeadingCounterRunsOn) {
    Lines page = SplitCrLf(Build("A\r\n\ta\r\nB\r\n\tb\r\n"));
    EXPECT_EQ(std::count(page.begin(), page.end(), "<a name=\"h21\">"), 1);
    EXPECT_EQ(std::count(page.begin(), page.end(), "<a name=\"h11\">"), 1);
}

TEST_F(TextHtml, CommentsAndEmptyLinesNeitherShowNorBreakAParagraph) {
    Lines page = SplitCrLf(Build("\t\tone\r\n# secret\r\n\r\n\t\ttwo\r\n"));
    Lines body(page.begin() + 9, page.begin() + 14);
    EXPECT_EQ(body, (Lines{"<p>", "one", "<br>", "two", "<br>"}));
    EXPECT_EQ(std::count(page.begin(), page.end(), "# secret"), 0);
}

TEST_F(TextHtml, LineKindsFollowTheFirstTwoBytes) {
    Lines page =
        SplitCrLf(Build("\t\t\tx\r\n\t\t\r\n\t\r\n\t#not a comment\r\n #main\r\n", false, 2));
    Lines expected{"<p>",
                   "&nbsp;&nbsp;x",
                   "<br>",
                   "",
                   "<br>",
                   "</p>",
                   "<h2>",
                   "<a name=\"h20\">",
                   "\t",
                   "",
                   "</a>",
                   "</h2>",
                   "<h2>",
                   "<a name=\"h21\">",
                   "\t#not a comment",
                   "",
                   "</a>",
                   "</h2>",
                   "<h1>",
                   "<a name=\"h10\">",
                   " #main",
                   "",
                   "</a>",
                   "</h1>"};
    EXPECT_EQ(Lines(page.begin() + 9, page.begin() + 9 + static_cast<long>(expected.size())),
              expected);
}

TEST_F(TextHtml, MarkupAndBrokenShiftJisPassThroughUntouched) {
    Lines page = SplitCrLf(Build("\t\t<b>&amp;\x83\r\n"));
    EXPECT_EQ(page[10], "<b>&amp;\x83");
}

TEST_F(TextHtml, AFileNameWithoutExtensionGetsTheBareNumber) {
    MakeTextHtml(true, TTextLines("A\nB\n"), folder.Native("body"), folder.Native("t.css"), 2);
    EXPECT_TRUE(Exists(folder.File("body0")));
    EXPECT_TRUE(Exists(folder.File("body1")));
}

// The number goes before the extension, the part of the file name from its
// last "."; a name that is all extension, as one that begins with its only
// dot, takes the number in front.
TEST(SplitPageFileName, TheNumberGoesBeforeTheLastDotOfTheFileName) {
    const std::vector<std::tuple<const char*, int, const char*>> rows{
        {"/o/text.html", 0, "/o/text0.html"},
        {"/o/text.html", 12, "/o/text12.html"},
        {"/o/body", 1, "/o/body1"},
        {"/o.d/body", 2, "/o.d/body2"},
        {"/o/.html", 0, "/o/0.html"},
        {".html", 3, "3.html"},
        {"/o/.text.html", 1, "/o/.text1.html"},
        {"/o/a.b.c", 0, "/o/a.b0.c"},
    };
    for (const auto& [name, page, expected] : rows)
        EXPECT_EQ(SplitPageFileName(name, page), expected) << name << " " << page;
}

TEST_F(TextHtml, AMissingFolderRaisesCodeThree) {
    try {
        MakeTextHtml(false, TTextLines("A"), folder.Native("none/text.html"),
                     TNativePath("text.css"), 2);
        FAIL();
    } catch (const EInOutError& error) {
        EXPECT_EQ(error.Code(), 3);
    }
}
