#include "buildmanual/BuildManual.h"
#include "TestSupport.h"
#include "common/Errors.h"
#include "common/ShiftJis.h"
#include "common/TextLines.h"
#include "css/CSSProperty.h"
#include "css/CSSPropertyClass.h"
#include "projectdata/ProjectData.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace varnoke;
using namespace varnoke::test;

namespace {
class BuildManualTest : public ::testing::Test {
  protected:
    TBuildReport Build() { return BuildManual({project, styles, lines, 2}, folder.Path()); }
    std::string FreshStyleCss() {
        TCSSProperty("").WriteCSS(folder.File("fresh.css"));
        return ReadFile(folder.File("fresh.css"));
    }
    TScratchFolder folder;
    TProjectData project;
    TCSSPropertyClass styles;
    TTextLines lines{"A\r\n\tb\r\nC\r\n"};
};
} // namespace

TEST_F(BuildManualTest, WritesAllSevenFilesWhateverTheMenuType) {
    styles.Add("one");
    Build();
    for (const char* name : {"title.css", "menu.css", "text.css", "text.html", "menu.html",
                             "title.html", "frame.html"})
        EXPECT_TRUE(Exists(folder.File(name))) << name;
}

TEST_F(BuildManualTest, EachSheetTakesItsOwnStyle) {
    styles.Add("plain");
    styles.Add("red");
    styles.Items(1).Background.Color = 0x0000FF;
    project.StyleTitle = 1;
    project.StyleMenu = 0;
    project.StyleText = 1;
    EXPECT_TRUE(Build().Fallbacks.empty());
    EXPECT_NE(ReadFile(folder.File("title.css")).find("background-color: #ff0000;"),
              std::string::npos);
    EXPECT_EQ(ReadFile(folder.File("menu.css")), FreshStyleCss());
    EXPECT_EQ(ReadFile(folder.File("text.css")), ReadFile(folder.File("title.css")));
}

TEST_F(BuildManualTest, AnIndexOutsideTheCollectionWritesAFreshStyle) {
    // The normal state at first start: no styles at all.
    TBuildReport report = Build();
    ASSERT_EQ(report.Fallbacks.size(), 3u);
    EXPECT_EQ(report.Fallbacks[2].SheetName, "text.css");
    EXPECT_EQ(ReadFile(folder.File("text.css")), FreshStyleCss());

    styles.Add("only");
    styles.Items(0).Background.Color = 0x00FF00;
    project.StyleTitle = -1;
    project.StyleMenu = 1;
    report = Build();
    ASSERT_EQ(report.Fallbacks.size(), 2u);
    EXPECT_EQ(report.Fallbacks[0].StyleIndex, -1);
    EXPECT_EQ(report.Fallbacks[1].StyleIndex, 1);
    EXPECT_EQ(ReadFile(folder.File("title.css")), FreshStyleCss());
    EXPECT_NE(ReadFile(folder.File("text.css")).find("#00ff00"), std::string::npos);
}

TEST_F(BuildManualTest, SplitWritesNumberedPagesAndTheFrameFollows) {
    project.FileDivideFlag = true;
    project.TitleFrameFlag = true;
    Build();
    EXPECT_TRUE(Exists(folder.File("text0.html")));
    EXPECT_TRUE(Exists(folder.File("text1.html")));
    EXPECT_FALSE(Exists(folder.File("text.html")));
    const std::string frame = ReadFile(folder.File("frame.html"));
    EXPECT_NE(frame.find("src=\"text0.html\""), std::string::npos);
    EXPECT_NE(frame.find("rows=\"80, *\""), std::string::npos);
}

TEST_F(BuildManualTest, ReportsTheFilesInTheOrderOfWriting) {
    project.FileDivideFlag = true;
    std::vector<std::string> expected;
    for (const char* name : {"title.css", "menu.css", "text.css", "text0.html", "text1.html",
                             "menu.html", "title.html", "frame.html"})
        expected.push_back(folder.File(name));
    EXPECT_EQ(Build().Files, expected);
}

TEST_F(BuildManualTest, EntryPageIsTheFrameSetOrTheFirstBodyPage) {
    EXPECT_EQ(EntryPage(project), "text.html");
    project.FileDivideFlag = true;
    EXPECT_EQ(EntryPage(project), "text0.html");
    project.ContentsType = 1;
    EXPECT_EQ(EntryPage(project), "frame.html");
}

TEST_F(BuildManualTest, StaleBodyPagesGoAndEverythingElseStays) {
    // An earlier split build of a longer text, and files that are not
    // body pages at all.
    for (const char* name : {"text.html", "text5.html", "text12.html", "sample.html", "texts.html",
                             "text1.htm", "notes.txt"})
        WriteFile(folder.File(name), "old");
    std::filesystem::create_directory(folder.File("text7.html"));
    project.FileDivideFlag = true;
    RemoveStaleBodyPages(folder.Path(), Build());
    for (const char* name : {"text0.html", "text1.html", "sample.html", "texts.html", "text1.htm",
                             "notes.txt", "text7.html", "frame.html"})
        EXPECT_TRUE(Exists(folder.File(name))) << name;
    for (const char* name : {"text.html", "text5.html", "text12.html"})
        EXPECT_FALSE(Exists(folder.File(name))) << name;

    // A missing folder is nothing to clean.
    EXPECT_NO_THROW(RemoveStaleBodyPages(folder.File("missing/"), TBuildReport{}));
}

TEST_F(BuildManualTest, SystemColoursComeFromTheCallersResolver) {
    styles.Add("s");
    TBuildInputs inputs{project, styles, lines, 2, [](int) { return 0x00332211u; }};
    BuildManual(inputs, folder.Path());
    // The border colours of a fresh style are the window-text system colour.
    EXPECT_NE(ReadFile(folder.File("text.css")).find("Border-left-color  : #112233;"),
              std::string::npos);
}

// The build stops at the first file that fails: earlier files are whole,
// later ones are not touched.
TEST_F(BuildManualTest, StopsAtTheFirstFailingFile) {
    const std::vector<std::string> order{"title.css", "menu.css",   "text.css",  "text.html",
                                         "menu.html", "title.html", "frame.html"};
    for (size_t failing = 0; failing < order.size(); ++failing) {
        TScratchFolder out;
        int writes = 0;
        SetWriteFaultHookForTesting(
            [&](size_t) { return ++writes == static_cast<int>(failing) + 1 ? ENOSPC : 0; });
        try {
            BuildManual({project, styles, lines, 2}, out.Path());
            ADD_FAILURE() << "no error at " << order[failing];
        } catch (const EInOutError& error) {
            EXPECT_EQ(error.Code(), 101);
            EXPECT_EQ(error.FileName(), out.File(order[failing]));
        }
        SetWriteFaultHookForTesting(nullptr);
        for (size_t i = 0; i < order.size(); ++i) {
            if (i < failing) {
                EXPECT_GT(ReadFile(out.File(order[i])).size(), 0u) << order[i];
            } else if (i > failing) {
                EXPECT_FALSE(Exists(out.File(order[i]))) << order[i];
            }
        }
    }
}

TEST_F(BuildManualTest, AMissingFolderFailsAtTheFirstFileWithCodeThree) {
    try {
        BuildManual({project, styles, lines, 2}, folder.File("none/"));
        FAIL();
    } catch (const EInOutError& error) {
        EXPECT_EQ(error.Code(), 3);
        EXPECT_EQ(error.FileName(), folder.File("none/title.css"));
        EXPECT_STREQ(error.what(), "ファイル名の指定が間違っています");
    }
}

TEST_F(BuildManualTest, TheSearchAddsItsTwoFilesAndOneLinkAtTheTopOfTheShownPages) {
    styles.Add("one");
    project.FileDivideFlag = true;
    const std::string link = "<p><a href=\"search.html\">" + Sjis("検索") + "</a></p>\r\n";
    for (const bool frames : {false, true}) {
        TScratchFolder out;
        project.ContentsType = frames ? 1 : 0;
        project.SearchFlag = false;
        const TBuildReport off = BuildManual({project, styles, lines, 2}, out.Path());
        std::vector<std::string> pages;
        for (const std::string& file : off.Files)
            pages.push_back(ReadFile(file));
        EXPECT_FALSE(Exists(out.File("search.html")));

        project.SearchFlag = true;
        const TBuildReport on = BuildManual({project, styles, lines, 2}, out.Path());
        ASSERT_EQ(on.Files.size(), off.Files.size() + 2);
        EXPECT_EQ(on.Files.back(), out.File("search.js"));
        for (size_t i = 0; i < off.Files.size(); ++i) {
            const std::string name = off.Files[i].substr(out.Path().size());
            const bool body = name.rfind("text", 0) == 0 && name.find(".html") != std::string::npos;
            const bool linked = frames ? name == "menu.html" : body;
            std::string expected = pages[i];
            if (linked)
                expected.insert(expected.find("<body>\r\n") + 8, link);
            EXPECT_EQ(ReadFile(off.Files[i]), expected) << name << (frames ? " framed" : "");
        }
        const std::string searchPage = ReadFile(out.File("search.html"));
        EXPECT_NE(searchPage.find(frames ? "href=\"menu.html\"" : "href=\"text0.html\""),
                  std::string::npos);
        EXPECT_NE(searchPage.find("<link href=\"menu.css\""), std::string::npos);
    }
}
