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
