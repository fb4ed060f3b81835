#include "common/PathNames.h"
#include "TestSupport.h"
#include "common/Errors.h"
#include "common/ProgramPaths.h"
#include "common/ShiftJis.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

using namespace varnoke;
using namespace varnoke::test;

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
    EXPECT_EQ(SettingsIniPathFor(TNativePath("/opt/varnoke/varnoke")).Name(),
              "/opt/varnoke/varnoke.INI");
    EXPECT_EQ(SettingsIniPathFor(TNativePath("C/tool.exe")).Name(), "C/tool.INI");
    EXPECT_NE(ExecutablePath().Name().find("common_tests"), std::string::npos);
    // Beside the program, or in the user's folders when it may not write its own.
    const std::string temp = TempFolder().Name();
    ASSERT_GT(temp.size(), 5u);
    EXPECT_EQ(temp.substr(temp.size() - 5), "temp/");
    EXPECT_EQ(RecoveryFolder().Name(), temp.substr(0, temp.size() - 5) + "recovery/");
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

// Where a name of the model becomes a file name, and back: a name either
// converts exactly or is refused with the file's name, never changed.
TEST(NativePath, ConvertsExactlyOrNamesTheFile) {
    const struct {
        const char* Name;
        std::string Sjis;       // as the model stores it
        std::string Native;     // as the file system spells it; empty: refused
        std::string Shown = ""; // what the refusal names
    } rows[] = {
        {"Ascii", "/p/t.txt", "/p/t.txt"},
        {"Japanese", "/\x8C\xA9/t.txt", "/\xE8\xA6\x8B/t.txt"},               // 見
        {"AnUnassignedCode", "/p/t\x85\x40.txt", "", "/p/t\xEF\xBF\xBD.txt"}, // no character
        {"ACutCharacter", "/p/t\x8C", "", "/p/t\xEF\xBF\xBD"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Name);
        if (row.Native.empty()) {
            try {
                NativePath(row.Sjis);
                ADD_FAILURE() << "converted";
            } catch (const EConvertError& error) {
                EXPECT_NE(std::string(error.what()).find(row.Shown), std::string::npos)
                    << error.what();
            }
            EXPECT_TRUE(NativePathOrEmpty(row.Sjis).Empty());
            continue;
        }
        EXPECT_EQ(NativePath(row.Sjis).Name(), row.Native);
        EXPECT_EQ(SjisPathFromNative(TNativePath(row.Native)), row.Sjis);
    }
    // A character Shift-JIS lacks cannot be stored: the file is named.
    const std::string snowman = "/home/jos\xC3\xA9/\xE2\x98\x83.vkp";
    try {
        SjisPathFromNative(TNativePath(snowman));
        ADD_FAILURE() << "stored";
    } catch (const EConvertError& error) {
        EXPECT_NE(std::string(error.what()).find(snowman), std::string::npos) << error.what();
    }
}

namespace {
// Sets an environment variable for the life of the object.
class TEnvironmentValue {
  public:
    TEnvironmentValue(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name))
            old_ = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~TEnvironmentValue() {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }

  private:
    const char* name_;
    std::optional<std::string> old_;
};
} // namespace

TEST(ProgramPaths, AnInstalledProgramKeepsItsSettingsInTheUsersFolders) {
    TScratchFolder scratch;
    // The user's folders may hold any character: a user called José.
    const std::string xdg = scratch.File("jos\xC3\xA9\xE2\x98\x83/config");
    const TEnvironmentValue config("XDG_CONFIG_HOME", xdg);
    const std::string user = xdg + "/varnoke/";
    const struct {
        const char* Name;
        std::string Executable;
        std::string Settings;
        std::function<void()> Make = nullptr;
        bool BindsOnlyUsers = false; // permission bits do not bind root
    } rows[] = {
        // Root may write /usr/bin, and still nothing goes beside the program.
        {"InUsrBin", "/usr/bin/varnoke", user + "varnoke.INI"},
        {"InUsrLocal", "/usr/local/bin/varnoke", user + "varnoke.INI"},
        {"InOpt", "/opt/varnoke/bin/varnoke", user + "varnoke.INI"},
        {"ACopyInAWritableFolder", scratch.File("bin/varnoke"), scratch.File("bin/varnoke.INI"),
         [&] { std::filesystem::create_directory(scratch.File("bin")); }},
        {"AFolderShiftJisCanName", scratch.File("\xE8\xA6\x8B/varnoke"),
         scratch.File("\xE8\xA6\x8B/varnoke.INI"),
         [&] { std::filesystem::create_directory(scratch.File("\xE8\xA6\x8B")); }},
        // é and the snowman: the settings stay beside the program all the same.
        {"AFolderShiftJisCannotName", scratch.File("d\xC3\xA9\xE2\x98\x83/varnoke"),
         scratch.File("d\xC3\xA9\xE2\x98\x83/varnoke.INI"),
         [&] { std::filesystem::create_directory(scratch.File("d\xC3\xA9\xE2\x98\x83")); }},
        {"AReadOnlyFolder", scratch.File("ro/varnoke"), user + "varnoke.INI",
         [&] {
             std::filesystem::create_directory(scratch.File("ro"));
             std::filesystem::permissions(scratch.File("ro"), std::filesystem::perms(0555));
         },
         true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Name);
        if (row.BindsOnlyUsers && RunningAsRoot())
            continue;
        if (row.Make)
            row.Make();
        EXPECT_EQ(SettingsIniPathOfProgram(TNativePath(row.Executable)).Name(), row.Settings);
    }
    // The settings are saved at exit: their folder is there by then.
    EXPECT_TRUE(std::filesystem::is_directory(user));
    EXPECT_TRUE(InSystemFolder(TNativePath("/usr/bin/varnoke")));
    EXPECT_FALSE(InSystemFolder(TNativePath("/usr2/varnoke")));
    EXPECT_FALSE(InSystemFolder(TNativePath("/home/a/opt/varnoke")));
}
