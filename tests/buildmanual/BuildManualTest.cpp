#include "buildmanual/BuildManual.h"
#include "TestSupport.h"
#include "common/Errors.h"
#include "common/PathNames.h"
#include "common/ShiftJis.h"
#include "common/TextLines.h"
#include "css/CSSProperty.h"
#include "css/CSSPropertyClass.h"
#include "projectdata/ProjectData.h"
#include "sysdata/SystemData.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace varnoke;
using namespace varnoke::test;

namespace {
class BuildManualTest : public ::testing::Test {
  protected:
    TBuildReport Build() { return BuildManual({project, styles, lines, 2}, folder.Native()); }
    std::string FreshStyleCss() {
        TCSSProperty("").WriteCSS(folder.Native("fresh.css"));
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
    std::vector<TNativePath> expected;
    for (const char* name : {"title.css", "menu.css", "text.css", "text0.html", "text1.html",
                             "menu.html", "title.html", "frame.html"})
        expected.push_back(folder.Native(name));
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
    // An input under a page's name is the author's file, not a page.
    WriteFile(folder.File("text9.html"), "A\r\n");
    std::filesystem::create_hard_link(folder.File("text9.html"), folder.File("text3.html"));
    project.FileDivideFlag = true;
    TBuildInputs inputs{project, styles, lines, 2};
    inputs.InputFiles = {folder.Native("text9.html")};
    RemoveStaleBodyPages(folder.Native(), BuildManual(inputs, folder.Native()));
    for (const char* name : {"text0.html", "text1.html", "sample.html", "texts.html", "text1.htm",
                             "notes.txt", "text7.html", "frame.html", "text9.html", "text3.html"})
        EXPECT_TRUE(Exists(folder.File(name))) << name;
    for (const char* name : {"text.html", "text5.html", "text12.html"})
        EXPECT_FALSE(Exists(folder.File(name))) << name;

    // A missing folder is nothing to clean.
    EXPECT_NO_THROW(RemoveStaleBodyPages(folder.Native("missing/"), TBuildReport{}));
}

TEST_F(BuildManualTest, SystemColoursComeFromTheCallersResolver) {
    styles.Add("s");
    TBuildInputs inputs{project, styles, lines, 2, [](int) { return 0x00332211u; }};
    BuildManual(inputs, folder.Native());
    // The border colours of a fresh style are the window-text system colour.
    EXPECT_NE(ReadFile(folder.File("text.css")).find("Border-left-color  : #112233;"),
              std::string::npos);
}

// A build that fails at any of its files reports that file and leaves the
// folder as it found it: the previous manual whole, nothing half written,
// no file of its own left behind.
TEST_F(BuildManualTest, AFailureAtAnyFileLeavesThePreviousManualAsItWas) {
    const std::vector<std::string> order{"title.css", "menu.css",   "text.css",  "text.html",
                                         "menu.html", "title.html", "frame.html"};
    for (const bool earlierBuild : {false, true}) {
        for (size_t failing = 0; failing < order.size(); ++failing) {
            TScratchFolder out;
            if (earlierBuild) {
                TTextLines older{"Older\r\n\tpage\r\n"};
                BuildManual({project, styles, older, 2}, out.Native());
            }
            const auto before = FolderSnapshot(out.Path());
            int writes = 0;
            SetWriteFaultHookForTesting(
                [&](size_t) { return ++writes == static_cast<int>(failing) + 1 ? ENOSPC : 0; });
            try {
                BuildManual({project, styles, lines, 2}, out.Native());
                ADD_FAILURE() << "no error at " << order[failing];
            } catch (const EInOutError& error) {
                EXPECT_EQ(error.Code(), 101);
                EXPECT_EQ(error.FileName(), out.Native(order[failing]));
            }
            SetWriteFaultHookForTesting(nullptr);
            EXPECT_EQ(FolderSnapshot(out.Path()), before) << order[failing];
        }
    }
}

TEST_F(BuildManualTest, AMissingFolderFailsAtTheFirstFileWithCodeThree) {
    try {
        BuildManual({project, styles, lines, 2}, folder.Native("none/"));
        FAIL();
    } catch (const EInOutError& error) {
        EXPECT_EQ(error.Code(), 3);
        EXPECT_EQ(error.FileName(), folder.Native("none/title.css"));
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
        const TBuildReport off = BuildManual({project, styles, lines, 2}, out.Native());
        std::vector<std::string> pages;
        for (const TNativePath& file : off.Files)
            pages.push_back(ReadFile(file));
        EXPECT_FALSE(Exists(out.File("search.html")));

        project.SearchFlag = true;
        const TBuildReport on = BuildManual({project, styles, lines, 2}, out.Native());
        ASSERT_EQ(on.Files.size(), off.Files.size() + 2);
        EXPECT_EQ(on.Files.back(), out.Native("search.js"));
        for (size_t i = 0; i < off.Files.size(); ++i) {
            const std::string name = ExtractFileName(off.Files[i].Name());
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

// A file of the build that is one of its inputs, under any name, is refused
// before anything is written: the input, and the folder, stay as they were.
TEST_F(BuildManualTest, AnInputInThePlaceOfAFileOfTheBuildIsRefused) {
    struct TRow {
        const char* Page;  // the file of the build that is the input
        const char* Input; // how the input is named, relative to the scratch folder
        void (*Make)(const std::string& page, const std::string& input);
    };
    const auto same = [](const std::string&, const std::string&) {};
    const auto symlink = [](const std::string& page, const std::string& input) {
        std::filesystem::create_symlink(page, input);
    };
    const auto hardLink = [](const std::string& page, const std::string& input) {
        std::filesystem::create_hard_link(page, input);
    };
    const std::vector<TRow> rows{
        {"text.html", "out/text.html", same},   {"frame.html", "out/../out/./frame.html", same},
        {"text.css", "styles.INI", symlink},    {"menu.html", "guide.vkp", hardLink},
        {"text1.html", "out/text1.html", same},
    };
    for (const TRow& row : rows) {
        project.FileDivideFlag = std::string(row.Page) == "text1.html";
        TScratchFolder scratch;
        std::filesystem::create_directory(scratch.File("out"));
        WriteFile(scratch.File("out/") + row.Page, "the author's own");
        row.Make(scratch.File("out/") + row.Page, scratch.File(row.Input));
        const auto before = FolderSnapshot(scratch.File("out"));
        TBuildInputs inputs{project, styles, lines, 2};
        inputs.InputFiles = {TNativePath(), scratch.Native("missing.txt"),
                             scratch.Native(row.Input)};
        try {
            BuildManual(inputs, scratch.Native("out/"));
            ADD_FAILURE() << row.Input << " written over";
        } catch (const EOverwritesInput& error) {
            EXPECT_EQ(error.OutputFile().Name(), scratch.File("out/") + row.Page);
            EXPECT_EQ(error.InputFile().Name(), scratch.File(row.Input));
            EXPECT_NE(std::string(error.what()).find(scratch.File(row.Input)), std::string::npos);
        }
        EXPECT_EQ(FolderSnapshot(scratch.File("out")), before) << row.Input;
        EXPECT_EQ(ReadFile(scratch.File(row.Input)), "the author's own");
    }

    // Inputs beside the pages under other names are no reason to refuse.
    WriteFile(folder.File("text.txt"), "A\r\n");
    TBuildInputs inputs{project, styles, lines, 2};
    inputs.InputFiles = {folder.Native("text.txt")};
    EXPECT_NO_THROW(BuildManual(inputs, folder.Native()));
}

// The width of a tab in the pages is bounded whatever the settings hold.
TEST_F(BuildManualTest, TheTabWidthIsUsedWithinTheRangeOfTheOption) {
    lines = TTextLines{"\t\t\ta\r\n"};
    for (const auto& [stored, used] : std::vector<std::pair<int, int>>{
             {2, 2}, {64, 64}, {65, 64}, {2147483647, 64}, {-1, 0}, {-2147483647 - 1, 0}}) {
        BuildManual({project, styles, lines, stored}, folder.Native());
        std::string spaces;
        for (int i = 0; i < used; ++i)
            spaces += "&nbsp;";
        const std::string page = ReadFile(folder.File("text.html"));
        EXPECT_NE(page.find("<p>\r\n" + spaces + "a\r\n"), std::string::npos) << stored;
        EXPECT_EQ(page.find("<p>\r\n" + spaces + "&nbsp;"), std::string::npos) << stored;
    }
    EXPECT_EQ(EffectiveTabSpace(2147483647), MaximumTabSpace);
    EXPECT_EQ(EffectiveTabSpace(8), 8);
    EXPECT_EQ(EffectiveTabSpace(-3), -3);
}
