#include "common/PathNames.h"
#include "common/ProgramPaths.h"

#include <gtest/gtest.h>

using namespace varnoke;

TEST(PathNames, SplitsFileNames) {
    EXPECT_EQ(ExtractFileName("/a/b/text.html"), "text.html");
    EXPECT_EQ(ExtractFilePath("/a/b/text.html"), "/a/b/");
    EXPECT_EQ(ExtractFileExt("/a/b.d/text"), "");
    EXPECT_EQ(FileNameWithoutExt("/a/b/text0.html"), "text0");
    EXPECT_EQ(ChangeFileExt("/a/b.d/tool", ".INI"), "/a/b.d/tool.INI");
    EXPECT_EQ(ChangeFileExt("/a/tool.bin", ".INI"), "/a/tool.INI");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/out"), "/out/");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/out/"), "/out/");
    EXPECT_EQ(ResolveAgainst("/p/", "t.txt"), "/p/t.txt");
    EXPECT_EQ(ResolveAgainst("/p", "/abs/t.txt"), "/abs/t.txt");
}

TEST(ProgramPaths, SettingsSitBesideTheExecutable) {
    EXPECT_EQ(SettingsIniPathFor("/opt/varnoke/varnoke"), "/opt/varnoke/varnoke.INI");
    EXPECT_EQ(SettingsIniPathFor("C/tool.exe"), "C/tool.INI");
    EXPECT_NE(ExecutablePath().find("common_tests"), std::string::npos);
    EXPECT_EQ(TempFolder().substr(TempFolder().size() - 5), "temp/");
}

TEST(PathNames, RelativeNamesFollowAMovedProject) {
    EXPECT_EQ(NormalizedPath("/a/./b//c/../d/"), "/a/b/d");
    EXPECT_EQ(NormalizedPath("/.."), "/");
    EXPECT_EQ(RelativePath("/p/", "/p/t.txt"), "t.txt");
    EXPECT_EQ(RelativePath("/p", "/p/sub/t.txt"), "sub/t.txt");
    EXPECT_EQ(RelativePath("/p/q/", "/p/t.txt"), "../t.txt");
    EXPECT_EQ(RelativePath("/p/q", "/p"), "..");
    EXPECT_EQ(RelativePath("/p/", "/p"), ".");
    EXPECT_EQ(RebaseRelativeName("guide.txt", "/ex/", "/elsewhere/"), "../ex/guide.txt");
    EXPECT_EQ(RebaseRelativeName("site", "/ex/", "/ex/deep/"), "../site");
    EXPECT_EQ(RebaseRelativeName("../t.txt", "/a/b/", "/a/"), "t.txt");
    EXPECT_EQ(RebaseRelativeName("t.txt", "/a/", "/a/"), "t.txt");
    EXPECT_EQ(RebaseRelativeName("/abs/t.txt", "/a/", "/b/"), "/abs/t.txt");
    EXPECT_EQ(RebaseRelativeName("", "/a/", "/b/"), "");
    EXPECT_EQ(RebaseRelativeName("t.txt", "", "/b/"), "t.txt"); // no folder to start from
}
