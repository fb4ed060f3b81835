#include "cli/BuildCommand.h"
#include "TestSupport.h"
#include "common/FileSystem.h"
#include "common/ShiftJis.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace varnoke;
using namespace varnoke::test;

namespace {
class BuildCommand : public ::testing::Test {
  protected:
    int Run(std::vector<std::string> arguments) {
        out.str("");
        err.str("");
        return RunBuildCommand(arguments, folder.Native("bin/varnoke"), out, err);
    }
    void WriteProject(const std::string& body) {
        WriteFile(folder.File("p.vkp"), "[PROJECT]\r\n" + body);
    }
    TScratchFolder folder;
    std::ostringstream out;
    std::ostringstream err;
};
} // namespace

TEST_F(BuildCommand, BuildsIntoTheProjectsOutputFolderAndSaysWhere) {
    WriteProject("TEXTNAME=t.txt\r\nOUTPUTPATH=site\r\nCONTENTSTYPE=1\r\n");
    WriteFile(folder.File("t.txt"), "A\r\n\tb\r\n");
    EXPECT_EQ(Run({folder.File("p.vkp")}), 0) << err.str();
    for (const char* name : {"title.css", "menu.css", "text.css", "text.html", "menu.html",
                             "title.html", "frame.html"})
        EXPECT_TRUE(Exists(folder.File(std::string("site/") + name))) << name;
    EXPECT_EQ(out.str(), folder.File("site/frame.html") + "\n");
}

TEST_F(BuildCommand, MissingStylesFallBackWithOneWarningEach) {
    WriteProject("TEXTNAME=t.txt\r\nSTYLETEXT=7\r\n");
    WriteFile(folder.File("t.txt"), "");
    EXPECT_EQ(Run({"--out", folder.File("o"), folder.File("p.vkp")}), 0);
    // No settings file: all three styles fall back; the text style names 7.
    std::string warnings = err.str();
    EXPECT_EQ(std::count(warnings.begin(), warnings.end(), '\n'), 3);
    EXPECT_NE(warnings.find("7"), std::string::npos);
    EXPECT_NE(warnings.find("text.css"), std::string::npos);
}

TEST_F(BuildCommand, TabWidthComesFromTheOptionOrTheSettings) {
    WriteProject("TEXTNAME=t.txt\r\n");
    WriteFile(folder.File("t.txt"), "\t\t\tx\r\n");
    WriteFile(folder.File("s.INI"), "[SYSTEM]\r\nTABSPACE=3\r\n");
    ASSERT_EQ(
        Run({"--styles", folder.File("s.INI"), "--out", folder.File("o"), folder.File("p.vkp")}),
        0);
    EXPECT_NE(ReadFile(folder.File("o/text.html")).find("\r\n&nbsp;&nbsp;&nbsp;x\r\n<br>"),
              std::string::npos);
    ASSERT_EQ(Run({"--styles=" + folder.File("s.INI"), "--tab=1", "--out", folder.File("o"),
                   folder.File("p.vkp")}),
              0);
    EXPECT_NE(ReadFile(folder.File("o/text.html")).find("\r\n&nbsp;x\r\n<br>"), std::string::npos);
}

TEST_F(BuildCommand, UsageErrorsExitWithTwo) {
    WriteProject("TEXTNAME=t.txt\r\n");
    WriteFile(folder.File("t.txt"), "");
    EXPECT_EQ(Run({}), 2);
    EXPECT_EQ(Run({"--bogus", folder.File("p.vkp")}), 2);
    EXPECT_EQ(Run({"--tab", "x", folder.File("p.vkp")}), 2);
    EXPECT_EQ(Run({"--tab", "-1", folder.File("p.vkp")}), 2);
    EXPECT_EQ(Run({"--tab"}), 2);
    EXPECT_EQ(Run({folder.File("p.vkp"), folder.File("p.vkp")}), 2);
    EXPECT_EQ(Run({"--styles", folder.File("none.INI"), folder.File("p.vkp")}), 2);
    EXPECT_NE(err.str().find("none.INI"), std::string::npos);
    EXPECT_EQ(Run({folder.File("p.vkp")}), 2); // no output folder anywhere
    EXPECT_EQ(Run({"--help"}), 0);
    EXPECT_NE(out.str().find("--styles"), std::string::npos);
    EXPECT_EQ(Run({"--version"}), 0);
}

TEST_F(BuildCommand, MissingProjectOrTextIsNamed) {
    EXPECT_EQ(Run({folder.File("nothing.vkp")}), 2);
    EXPECT_NE(err.str().find("nothing.vkp"), std::string::npos);
    WriteProject("TEXTNAME=gone.txt\r\nOUTPUTPATH=o\r\n");
    EXPECT_EQ(Run({folder.File("p.vkp")}), 2);
    EXPECT_NE(err.str().find("gone.txt"), std::string::npos);
    ForceDirectories(folder.Native("adir"));
    WriteProject("TEXTNAME=adir\r\nOUTPUTPATH=o\r\n");
    EXPECT_EQ(Run({folder.File("p.vkp")}), 2);
    WriteFile(folder.File("p.vkp"), std::string("\x00\xFF\x83[PRO\x01", 8));
    EXPECT_EQ(Run({folder.File("p.vkp")}), 2); // garbage: no text file named
    EXPECT_EQ(Run({folder.Path()}), 2);        // a folder as project
}

TEST_F(BuildCommand, AnOutputPathThatIsAFileFailsWithOne) {
    WriteProject("TEXTNAME=t.txt\r\n");
    WriteFile(folder.File("t.txt"), "A\r\n");
    WriteFile(folder.File("afile"), "");
    EXPECT_EQ(Run({"--out", folder.File("afile"), folder.File("p.vkp")}), 1);
    EXPECT_NE(err.str().find("afile"), std::string::npos);
}

TEST_F(BuildCommand, AFailingWriteStopsTheBuildAndExitsWithOne) {
    WriteProject("TEXTNAME=t.txt\r\n");
    WriteFile(folder.File("t.txt"), "A\r\n");
    ForceDirectories(folder.Native("o"));
    WriteFile(folder.File("o/menu.html"), "old menu");
    // The fifth file (menu.html) hits a full disk.
    int opened = 0;
    SetWriteFaultHookForTesting([&opened](size_t) { return ++opened == 5 ? ENOSPC : 0; });
    int code = Run({"--out", folder.File("o"), folder.File("p.vkp")});
    SetWriteFaultHookForTesting(nullptr);
    EXPECT_EQ(code, 1);
    EXPECT_NE(err.str().find("ディスクがいっぱいです"), std::string::npos);
    EXPECT_NE(err.str().find("menu.html"), std::string::npos);
    // The folder as it was: the old menu, no page of this build, no file
    // of its own left behind.
    EXPECT_EQ(FolderSnapshot(folder.File("o")),
              (std::map<std::string, std::string>{{"menu.html", "old menu"}}));
}

TEST_F(BuildCommand, Utf8TextIsConverted) {
    WriteProject("TEXTNAME=t.txt\r\n");
    WriteFile(folder.File("t.txt"), "見出し😀\n");
    ASSERT_EQ(Run({"--out", folder.File("o"), folder.File("p.vkp")}), 0);
    EXPECT_NE(ReadFile(folder.File("o/text.html")).find(Sjis("見出し") + "&#128512;\r\n"),
              std::string::npos);
}

TEST_F(BuildCommand, SearchComesFromTheOptionOrTheProject) {
    WriteFile(folder.File("t.txt"), "A\r\n\tb\r\n");
    const struct {
        const char* Key;
        const char* Option;
        bool Search;
    } cases[] = {{"0", nullptr, false},
                 {"1", nullptr, true},
                 {"0", "--search", true},
                 {"1", "--no-search", false}};
    for (const auto& c : cases) {
        TScratchFolder site;
        WriteProject(std::string("TEXTNAME=t.txt\r\nSEARCHFLAG=") + c.Key + "\r\n");
        std::vector<std::string> arguments = {"--out", site.Path(), folder.File("p.vkp")};
        if (c.Option)
            arguments.insert(arguments.begin(), c.Option);
        ASSERT_EQ(Run(arguments), 0) << err.str();
        EXPECT_EQ(Exists(site.File("search.js")), c.Search) << c.Key << (c.Option ? c.Option : "");
        EXPECT_EQ(ReadFile(site.File("text.html")).find("search.html") != std::string::npos,
                  c.Search);
    }
}
