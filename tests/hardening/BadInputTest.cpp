// What bad input does, row by row. Each row of a table names one kind of
// bad input and the outcome it must have: a correct build (or load), or a
// named error with nothing else changed. The first table runs varnoke-build
// (in-process through RunBuildCommand, a few rows also through the built
// program); the second the loaders of the core; the third the savers.
#include "Hardening.h"
#include "cli/BuildCommand.h"
#include "common/Errors.h"
#include "common/FileSystem.h"
#include "common/IniDocument.h"
#include "common/ProfileIni.h"
#include "common/RecoveryCopy.h"
#include "common/TextLines.h"
#include "css/CSSPropertyClass.h"
#include "projectdata/ProjectData.h"
#include "sysdata/SystemData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <sstream>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace varnoke;
using namespace varnoke::test;
using namespace std::string_literals;

namespace {

constexpr size_t MB = 1024 * 1024;

// The pages and sheets of a build without split, in the order written.
const std::vector<std::string> BuildOrder = {"title.css", "menu.css",   "text.css",  "text.html",
                                             "menu.html", "title.html", "frame.html"};

std::string RandomBytes(size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes)
        c = static_cast<char>(random() & 0xFF);
    return bytes;
}

// A text of about `size` bytes: a main heading, then body lines of a
// kilobyte, then a last main heading that proves the end was reached.
std::string HugeText(size_t size) {
    std::string text = "[PROJECT]\r\n";
    text.reserve(size + 64);
    const std::string line = "\t\t" + std::string(1020, 'w') + "\r\n";
    while (text.size() + line.size() < size)
        text += line;
    text += "TITLENAME=found at the end\r\n";
    return text;
}

long HugeTextLines(size_t size) {
    long lines = 2; // the two headings
    for (size_t length = 11; length + 1024 < size; length += 1024)
        ++lines;
    return lines;
}

// A complete file of the build: the sheet's last rule or the page's end.
bool IsComplete(const std::string& name, const std::string& bytes) {
    return EndsWith(bytes, EndsWith(name, ".css") ? "}\r\n\r\n" : "</html>\r\n");
}

std::string Old(const std::string& name) {
    return "old " + name + " from an earlier build";
}

// --- varnoke-build ------------------------------------------------------

enum class TOutcome {
    Build,      // exit 0: every file of the build written whole
    UsageError, // exit 2: the message, and nothing changed at all
    WriteError, // exit 1: the message naming the failing file, and the
                // folder as it was: the earlier build whole, nothing left
};

// The folder of one row: project p.vkp naming t.txt and the output folder
// "out", which holds an earlier build; styles s.INI.
struct TBuildCase {
    TBuildCase() : folder(MemoryBase()) {
        WriteFile(folder.File("p.vkp"), "[PROJECT]\r\nTEXTNAME=t.txt\r\nOUTPUTPATH=out\r\n"
                                        "CONTENTSTYPE=1\r\nTITLENAME=Bad input\r\n");
        WriteFile(folder.File("t.txt"), "Chapter\r\n\tSection\r\n\t\tBody\r\n");
        WriteFile(folder.File("s.INI"),
                  ReadFile(std::string(VARNOKE_TEST_DATA) + "/cli/styles.INI"));
        ForceDirectories(folder.Native("out"));
        for (const std::string& name : BuildOrder)
            WriteFile(folder.File("out/" + name), Old(name));
        arguments = {"--styles", folder.File("s.INI"), folder.File("p.vkp")};
    }
    std::string Page(const std::string& name) const {
        return ReadWhole(folder.File("out/" + name));
    }

    TScratchFolder folder;
    std::vector<std::string> arguments;
    TWriteFaultHook fault; // in-process runs only
    std::string skip;      // a reason to skip the row here
};

struct TBuildRow {
    const char* Name;
    std::function<void(TBuildCase&)> Setup;
    TOutcome Outcome;
    const char* Message = "";     // must appear on standard error
    const char* FailingFile = ""; // WriteError: the file that could not be written
    std::function<void(const TBuildCase&)> Check = nullptr; // more about a correct build
    bool ThroughTheProgram = false;                         // run the built varnoke-build as well
};

// A pipe in place of a file: no writer will ever open it.
void ReplaceByPipe(const std::string& path) {
    std::filesystem::remove(path);
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
}

// A heading with a character Shift-JIS lacks, and a body line with a
// character outside the 16-bit range, as a UTF-16 file.
std::string Utf16Text(bool bigEndian) {
    return Utf16File(u"\u898B\u51FA\u3057 \u2603\r\n\t\tcaf\u00E9 \U0001F600\r\n", bigEndian);
}

void ExpectUtf16TextRead(const TBuildCase& c) {
    const std::string page = c.Page("text.html");
    EXPECT_NE(page.find("\r\n\x8C\xA9\x8F\x6F\x82\xB5 &#9731;\r\n"), std::string::npos); // 見出し ☃
    EXPECT_NE(page.find("\r\ncaf&#233; &#128512;\r\n<br>"), std::string::npos);
    EXPECT_EQ(page.find('\0'), std::string::npos);
    EXPECT_NE(c.Page("menu.html").find("\x8C\xA9\x8F\x6F\x82\xB5 &#9731;"), std::string::npos);
}

// Fails the n-th write to any file with `error`.
TWriteFaultHook FailWrite(int n, int error) {
    auto count = std::make_shared<int>(0);
    return [count, n, error](size_t) { return ++*count == n ? error : 0; };
}

const TBuildRow BuildRows[] = {
    {"EmptyText", [](TBuildCase& c) { WriteFile(c.folder.File("t.txt"), ""); }, TOutcome::Build, "",
     "",
     [](const TBuildCase& c) {
         EXPECT_EQ(c.Page("text.html").find("<h1>"), std::string::npos);
         EXPECT_EQ(c.Page("menu.html").find("<a href"), std::string::npos);
     },
     true},
    {"BinaryText",
     [](TBuildCase& c) { WriteFile(c.folder.File("t.txt"), RandomBytes(256 * 1024, 7)); },
     TOutcome::Build},
    {"TextCutInADoubleByteCharacter",
     [](TBuildCase& c) { WriteFile(c.folder.File("t.txt"), "A\r\n\t\tb\x82"); }, TOutcome::Build,
     "", "",
     [](const TBuildCase& c) {
         // The lone lead byte stays; it must not swallow the markup after it.
         EXPECT_NE(c.Page("text.html").find("\r\nb\x82<br>\r\n</p>\r\n"), std::string::npos);
     }},
    {"Utf8TextCutInACharacter",
     [](TBuildCase& c) {
         WriteFile(c.folder.File("t.txt"), "\xEF\xBB\xBF\xE8\xA6\x8B\r\n\t\t\xE5\x87");
     },
     TOutcome::Build, "", "",
     [](const TBuildCase& c) {
         const std::string page = c.Page("text.html");
         EXPECT_NE(page.find("\r\n\x8C\xA9\r\n\r\n</a>"), std::string::npos); // 見
         EXPECT_NE(page.find("\r\n\xE5\x87<br>\r\n"), std::string::npos);
     }},
    {"HundredMegabyteText",
     [](TBuildCase& c) { WriteFile(c.folder.File("t.txt"), HugeText(100 * MB)); }, TOutcome::Build,
     "", "",
     [](const TBuildCase& c) {
         const std::string page = c.Page("text.html");
         EXPECT_GT(page.size(), 100 * MB);
         EXPECT_NE(page.find("<a name=\"h11\">\r\nTITLENAME=found at the end\r\n"),
                   std::string::npos);
     }},
    {"TenMegabyteLines",
     [](TBuildCase& c) {
         WriteFile(c.folder.File("t.txt"), std::string(10 * MB, 'H') + "<\r\n\t\t" +
                                               std::string(10 * MB, 'b') + ">\r\n\t" +
                                               std::string(10 * MB, 's'));
     },
     TOutcome::Build, "", "",
     [](const TBuildCase& c) {
         const std::string menu = c.Page("menu.html");
         EXPECT_NE(menu.find("\r\n" + std::string(10 * MB, 'H') + "<\r\n\r\n</a>"),
                   std::string::npos);
         EXPECT_NE(menu.find("\r\n" + std::string(10 * MB, 's') + "\r\n</a>"), std::string::npos);
         EXPECT_NE(c.Page("text.html").find("\r\n" + std::string(10 * MB, 'b') + ">\r\n<br>"),
                   std::string::npos);
     }},
    {"TenThousandLeadingTabs",
     [](TBuildCase& c) {
         WriteFile(c.folder.File("t.txt"), "A\r\n" + std::string(10000, '\t') + "x\r\n");
         c.arguments.insert(c.arguments.begin(), {"--tab", "8"});
     },
     TOutcome::Build, "", "",
     [](const TBuildCase& c) {
         std::string nbsp;
         for (int i = 0; i < 9998 * 8; ++i)
             nbsp += "&nbsp;";
         EXPECT_NE(c.Page("text.html").find("\r\n" + nbsp + "x\r\n<br>"), std::string::npos);
     },
     true},
    {"NulByteInALine",
     [](TBuildCase& c) { WriteFile(c.folder.File("t.txt"), "A\0B\r\n\t\tc\0d\r\n"s); },
     TOutcome::Build, "NUL 文字", "",
     [](const TBuildCase& c) {
         EXPECT_NE(c.Page("text.html").find("\r\nc\0d\r\n<br>"s), std::string::npos);
         EXPECT_NE(c.Page("menu.html").find("\r\nA\0B\r\n"s), std::string::npos);
     },
     true},
    {"StyleCountOfTwoBillion",
     [](TBuildCase& c) {
         WriteFile(c.folder.File("s.INI"),
                   "[STYLE]\r\nCOUNT=2000000000\r\nSTYLE0=RED\r\n[RED_BG]\r\nCOLOR=255\r\n");
     },
     TOutcome::Build, "", "",
     [](const TBuildCase& c) {
         EXPECT_NE(c.Page("text.css").find("background-color: #ff0000;"), std::string::npos);
     },
     true},
    {"NanAndHugeStyleParameters",
     [](TBuildCase& c) {
         WriteFile(c.folder.File("s.INI"),
                   "[STYLE]\r\nCOUNT=1\r\nSTYLE0=X\r\n[X_P_LINE]\r\nLTYPE=1\r\nPARAM=nan\r\n"
                   "[X_P_SPACE]\r\nLTYPE=1\r\nPARAM=1e300\r\n[X_H1_MARGIN]\r\nTOP_PARAM=-1E300\r\n"
                   "[X_H2_BORDER]\r\nLEFT_WIDTH_TYPE=3\r\nLEFT_WIDTH_PARAM=inf\r\n");
     },
     TOutcome::Build, "", "",
     [](const TBuildCase& c) {
         const std::string css = c.Page("text.css");
         EXPECT_NE(css.find("\tline-height: 0.0em;"), std::string::npos);
         EXPECT_NE(css.find("\tletter-spacing : 0.0em;"), std::string::npos);
         EXPECT_NE(css.find("\tBorder-left-width  : 0.0px;"), std::string::npos);
         for (const char* bad : {"nan", "inf", "e+"})
             EXPECT_EQ(css.find(bad), std::string::npos) << bad;
     }},
    {"HundredThousandStyles",
     [](TBuildCase& c) {
         // Loading and saving such an index once took minutes.
         std::string styles = "[STYLE]\r\nCOUNT=100000\r\n";
         for (int i = 0; i < 100000; ++i)
             styles += "STYLE" + std::to_string(i) + "=S" + std::to_string(i) + "\r\n";
         styles += "[S0_BG]\r\nCOLOR=255\r\n";
         WriteFile(c.folder.File("s.INI"), styles);
     },
     TOutcome::Build, "", "",
     [](const TBuildCase& c) {
         EXPECT_NE(c.Page("text.css").find("background-color: #ff0000;"), std::string::npos);
     }},
    {"EmptyStyleFile", [](TBuildCase& c) { WriteFile(c.folder.File("s.INI"), ""); },
     TOutcome::Build, "初期状態のスタイル"},
    {"BinaryStyleFile",
     [](TBuildCase& c) { WriteFile(c.folder.File("s.INI"), RandomBytes(64 * 1024, 11)); },
     TOutcome::Build, "初期状態のスタイル"},
    {"EmptyProjectFile", [](TBuildCase& c) { WriteFile(c.folder.File("p.vkp"), ""); },
     TOutcome::UsageError, "TEXTNAME", "", nullptr, true},
    {"BinaryProjectFile",
     [](TBuildCase& c) { WriteFile(c.folder.File("p.vkp"), RandomBytes(64 * 1024, 5)); },
     TOutcome::UsageError, "TEXTNAME"},
    {"ProjectCutInTheTextName",
     [](TBuildCase& c) { WriteFile(c.folder.File("p.vkp"), "[PROJECT]\r\nTEXTNAME=t.t"); },
     TOutcome::UsageError, "テキストファイルが見つかりません"},
    {"ProjectPathIsAFolder",
     [](TBuildCase& c) {
         ForceDirectories(c.folder.Native("d.vkp"));
         c.arguments.back() = c.folder.File("d.vkp");
     },
     TOutcome::UsageError, "プロジェクトファイルが見つかりません", "", nullptr, true},
    {"TextPathIsAFolder",
     [](TBuildCase& c) {
         std::filesystem::remove(c.folder.File("t.txt"));
         ForceDirectories(c.folder.Native("t.txt"));
     },
     TOutcome::UsageError, "テキストファイルが見つかりません"},
    {"StylePathIsAFolder",
     [](TBuildCase& c) {
         std::filesystem::remove(c.folder.File("s.INI"));
         ForceDirectories(c.folder.Native("s.INI"));
     },
     TOutcome::UsageError, "スタイルファイルが見つかりません"},
    {"OutputFolderIsAFile",
     [](TBuildCase& c) {
         WriteFile(c.folder.File("plain"), "a file");
         c.arguments.insert(c.arguments.begin(), {"--out", c.folder.File("plain")});
     },
     TOutcome::WriteError, "を作成できません", "", nullptr, true},
    {"APageNameIsTakenByAFolder",
     [](TBuildCase& c) {
         std::filesystem::remove(c.folder.File("out/menu.html"));
         ForceDirectories(c.folder.Native("out/menu.html"));
     },
     TOutcome::WriteError, "ファイルへのアクセスが拒否されました", "menu.html"},
    {"TextWithoutReadPermission",
     [](TBuildCase& c) {
         if (RunningAsRoot())
             c.skip = "permission bits do not bind root";
         ::chmod(c.folder.File("t.txt").c_str(), 0);
     },
     TOutcome::UsageError, "は開けません"},
    {"TextIsAPipe", [](TBuildCase& c) { ReplaceByPipe(c.folder.File("t.txt")); },
     TOutcome::UsageError, "通常のファイルではありません", "", nullptr, true},
    {"ProjectIsAPipe",
     [](TBuildCase& c) {
         ReplaceByPipe(c.folder.File("f.vkp"));
         c.arguments.back() = c.folder.File("f.vkp");
     },
     TOutcome::UsageError, "通常のファイルではありません", "", nullptr, true},
    {"StyleFileIsAPipe", [](TBuildCase& c) { ReplaceByPipe(c.folder.File("s.INI")); },
     TOutcome::UsageError, "通常のファイルではありません", "", nullptr, true},
    {"StyleFileIsADevice",
     [](TBuildCase& c) {
         std::filesystem::remove(c.folder.File("s.INI"));
         std::filesystem::create_symlink("/dev/null", c.folder.File("s.INI"));
     },
     TOutcome::UsageError, "通常のファイルではありません"},
    {"Utf16LittleEndianText",
     [](TBuildCase& c) { WriteFile(c.folder.File("t.txt"), Utf16Text(false)); }, TOutcome::Build,
     "", "", ExpectUtf16TextRead, true},
    {"Utf16BigEndianText",
     [](TBuildCase& c) { WriteFile(c.folder.File("t.txt"), Utf16Text(true)); }, TOutcome::Build, "",
     "", ExpectUtf16TextRead},
    {"OutputWithoutWritePermission",
     [](TBuildCase& c) {
         // Root writes anyway; the refusal is simulated where the system
         // would give it.
         c.fault = FailWrite(1, EACCES);
     },
     TOutcome::WriteError, "ファイルへのアクセスが拒否されました", "title.css"},
    {"DiskFullAtTheBodyPage", [](TBuildCase& c) { c.fault = FailWrite(4, ENOSPC); },
     TOutcome::WriteError, "ディスクがいっぱいです", "text.html"},
    {"DiskFullAtTheLastPage", [](TBuildCase& c) { c.fault = FailWrite(7, ENOSPC); },
     TOutcome::WriteError, "ディスクがいっぱいです", "frame.html"},
    {"TextNamedAsTheBodyPage",
     [](TBuildCase& c) {
         std::filesystem::rename(c.folder.File("t.txt"), c.folder.File("out/text.html"));
         WriteFile(c.folder.File("t.txt"), "not read");
         WriteFile(c.folder.File("p.vkp"), "[PROJECT]\r\nTEXTNAME=text.html\r\nOUTPUTPATH=.\r\n");
         c.arguments.back() = c.folder.File("out/p.vkp");
         std::filesystem::rename(c.folder.File("p.vkp"), c.folder.File("out/p.vkp"));
         WriteFile(c.folder.File("p.vkp"), "not read");
     },
     TOutcome::UsageError, "と同じファイルです", "", nullptr, true},
    {"ProjectNamedAsTheFrameSet",
     [](TBuildCase& c) {
         WriteFile(c.folder.File("out/frame.html"),
                   "[PROJECT]\r\nTEXTNAME=../t.txt\r\nOUTPUTPATH=.\r\n");
         c.arguments.back() = c.folder.File("out/../out/./frame.html");
     },
     TOutcome::UsageError, "と同じファイルです", "", nullptr, true},
    {"StyleFileLinkedToAStyleSheet",
     [](TBuildCase& c) {
         std::filesystem::rename(c.folder.File("s.INI"), c.folder.File("out/text.css"));
         std::filesystem::create_symlink("out/text.css", c.folder.File("s.INI"));
     },
     TOutcome::UsageError, "と同じファイルです", "", nullptr, true},
    // The names on the command line never go into the model: any
    // character will do. Names the project holds are Shift-JIS; bytes
    // that are not name no file, and are said so.
    {"CommandLineNamesShiftJisCannotHold",
     [](TBuildCase& c) {
         const std::string own = c.folder.File("d\xC3\xA9\xE2\x98\x83/");
         std::filesystem::create_directory(own);
         for (const char* input : {"p.vkp", "t.txt", "s.INI"})
             std::filesystem::copy_file(c.folder.File(input), own + input);
         c.arguments = {"--styles", own + "s.INI", "--out", c.folder.File("out"), own + "p.vkp"};
     },
     TOutcome::Build, "", "", nullptr, true},
    {"TextNameThatIsNoShiftJis",
     [](TBuildCase& c) {
         WriteFile(c.folder.File("p.vkp"),
                   "[PROJECT]\r\nTEXTNAME=t\x85\x40.txt\r\nOUTPUTPATH=out\r\n");
     },
     TOutcome::UsageError, "Shift-JIS の文字でないバイトを含みます", "", nullptr, true},
    {"OutputFolderThatIsNoShiftJis",
     [](TBuildCase& c) {
         WriteFile(c.folder.File("p.vkp"), "[PROJECT]\r\nTEXTNAME=t.txt\r\nOUTPUTPATH=o\xFF\r\n");
     },
     TOutcome::UsageError, "Shift-JIS の文字でないバイトを含みます"},
    {"TabSpaceOfTwoBillion",
     [](TBuildCase& c) {
         // The settings' width beyond what --tab accepts writes as --tab 64.
         std::string settings = ReadFile(c.folder.File("s.INI"));
         settings.replace(settings.find("TABSPACE=4"), 10, "TABSPACE=2147483647");
         WriteFile(c.folder.File("s.INI"), settings);
         WriteFile(c.folder.File("t.txt"), "A\r\n\t\t\t\tx\r\n");
     },
     TOutcome::Build, "", "",
     [](const TBuildCase& c) {
         std::string nbsp;
         for (int i = 0; i < 2 * 64; ++i)
             nbsp += "&nbsp;";
         EXPECT_NE(c.Page("text.html").find("\r\n" + nbsp + "x\r\n<br>"), std::string::npos);
         EXPECT_LT(c.Page("text.html").size(), 4096u);
     },
     true},
};

struct TRun {
    int ExitCode;
    std::string Out;
    std::string Err;
};

TRun RunInProcess(const TBuildCase& c) {
    std::ostringstream out, err;
    SetWriteFaultHookForTesting(c.fault);
    const int code = RunBuildCommand(c.arguments, c.folder.Native("bin/varnoke"), out, err);
    SetWriteFaultHookForTesting(nullptr);
    return {code, out.str(), err.str()};
}

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

TRun RunTheProgram(const TBuildCase& c) {
    TScratchFolder logs; // outside the row's folder, which must not change
    std::string command = VARNOKE_BUILD_TOOL;
    for (const std::string& argument : c.arguments)
        command += " " + Quoted(argument);
    command += " >" + logs.File("out") + " 2>" + logs.File("err");
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(logs.File("out")),
            ReadFile(logs.File("err"))};
}

void ExpectOutcome(const TBuildRow& row, const TBuildCase& c, const TFolderSnapshot& before,
                   const TRun& run) {
    const TFolderSnapshot after = Snapshot(c.folder.Path());
    const auto digest = [](const TFolderSnapshot& files, const char* name) {
        return files.count(name) ? files.at(name) : TFileDigest{0, 1}; // gone
    };
    for (const char* input : {"p.vkp", "t.txt", "s.INI"})
        EXPECT_TRUE(digest(after, input) == digest(before, input)) << input << " changed";
    if (*row.Message) {
        EXPECT_NE(run.Err.find(row.Message), std::string::npos) << run.Err;
    }

    switch (row.Outcome) {
    case TOutcome::Build:
        ASSERT_EQ(run.ExitCode, ExitSuccess) << run.Err;
        EXPECT_EQ(run.Out, c.folder.File("out/frame.html") + "\n");
        for (const std::string& name : BuildOrder) {
            const std::string bytes = c.Page(name);
            EXPECT_TRUE(IsComplete(name, bytes)) << name << " is not whole";
        }
        for (const auto& file : after) {
            if (file.first.rfind("out/", 0) == 0 && file.first != "out/") {
                EXPECT_NE(std::find(BuildOrder.begin(), BuildOrder.end(), file.first.substr(4)),
                          BuildOrder.end())
                    << "unexpected " << file.first;
            }
        }
        if (row.Check)
            row.Check(c);
        break;
    case TOutcome::UsageError:
        EXPECT_EQ(run.ExitCode, ExitUsage) << run.Err;
        EXPECT_EQ(run.Out, "");
        EXPECT_EQ(after, before);
        break;
    case TOutcome::WriteError: {
        EXPECT_EQ(run.ExitCode, ExitWriteFailed) << run.Err;
        EXPECT_EQ(run.Out, "");
        if (!*row.FailingFile) {
            EXPECT_EQ(after, before); // failed before the first file
            break;
        }
        EXPECT_NE(run.Err.find(row.FailingFile), std::string::npos) << run.Err;
        EXPECT_EQ(after, before); // all or nothing: the earlier build whole
        break;
    }
    }
}

// gtest shows a failing row by its name, not by its bytes.
void PrintTo(const TBuildRow& row, std::ostream* out) {
    *out << row.Name;
}

class BadBuildInput : public ::testing::TestWithParam<TBuildRow> {};

TEST_P(BadBuildInput, HasItsStatedOutcome) {
    const TBuildRow& row = GetParam();
    {
        TBuildCase c;
        row.Setup(c);
        if (!c.skip.empty())
            GTEST_SKIP() << c.skip;
        const TFolderSnapshot before = Snapshot(c.folder.Path());
        SCOPED_TRACE("in-process");
        ExpectOutcome(row, c, before, RunInProcess(c));
    }
    if (row.ThroughTheProgram) {
        TBuildCase c;
        row.Setup(c);
        ASSERT_FALSE(c.fault) << "the program has no write-fault seam";
        const TFolderSnapshot before = Snapshot(c.folder.Path());
        SCOPED_TRACE("through varnoke-build");
        ExpectOutcome(row, c, before, RunTheProgram(c));
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, BadBuildInput, ::testing::ValuesIn(BuildRows),
                         [](const ::testing::TestParamInfo<TBuildRow>& row) {
                             return std::string(row.param.Name);
                         });

// --- The loaders of the core ------------------------------------------------

// What every loader makes of one input file. A loader either loads (what
// the file has, defaults for the rest) or raises EFOpenError and leaves its
// object as it was.
struct TLoaderRow {
    const char* Name;
    std::function<void(const std::string& path)> Make;
    bool OpenError = false;
    std::optional<std::string> Title = "before"; // TProjectData::TitleName over "before"
    std::vector<std::string> Styles = {};        // the names loaded
    int TabSpace = 2;                            // TSystemData::TabSpace
    long TextLines = -1;                         // lines of the text file; -1: not checked
};

// The names a style file loads when its COUNT runs past its STYLEn keys.
std::vector<std::string> NamesThenEmpty(std::vector<std::string> names, size_t count) {
    names.resize(count);
    return names;
}

const TLoaderRow LoaderRows[] = {
    {"MissingFile", [](const std::string&) {}, false, "before", {}, 2, 0},
    {"Empty", [](const std::string& path) { WriteFile(path, ""); }, false, "before", {}, 2, 0},
    {"Binary", [](const std::string& path) { WriteFile(path, RandomBytes(256 * 1024, 3)); }},
    {"CutInADoubleByteCharacter",
     [](const std::string& path) {
         WriteFile(path, "[PROJECT]\r\nTITLENAME=\x83n\x83\r\n[STYLE]\r\nCOUNT=1\r\nSTYLE0=\x82");
     },
     false,
     "\x83n\x83",
     {"\x82"},
     2,
     5},
    {"HundredMegabytes",
     [](const std::string& path) { WriteFile(path, HugeText(100 * MB)); },
     false,
     "found at the end",
     {},
     2,
     HugeTextLines(100 * MB)},
    {"TenMegabyteLines",
     [](const std::string& path) {
         // The style name only a megabyte: each of the style's some 170
         // keys is looked up in a section named after it, so a name costs
         // 170 times its length (in proportion still, but slow under the
         // sanitizers).
         WriteFile(path, "[PROJECT]\r\nOUTPUTPATH=" + std::string(10 * MB, 'o') +
                             "\r\nTITLENAME=" + std::string(10 * MB, 't') + "\r\n[STYLE]\r\n" +
                             "COUNT=1\r\nSTYLE0=" + std::string(MB, 's'));
     },
     false,
     std::string(10 * MB, 't'),
     {std::string(MB, 'S')},
     2,
     6},
    {"TenThousandLeadingTabs",
     [](const std::string& path) {
         // Blanks around keys are trimmed, tabs among them.
         WriteFile(path, "[SYSTEM]\r\n" + std::string(10000, '\t') + "TABSPACE=8\r\n[PROJECT]\r\n" +
                             std::string(10000, '\t') + "TITLENAME=tabbed");
     },
     false,
     "tabbed",
     {},
     8,
     4},
    {"NulByteInAValue",
     [](const std::string& path) {
         WriteFile(path, "[PROJECT]\r\nTITLENAME=a\0b\r\n[STYLE]\r\nCOUNT=1\r\nSTYLE0=x\0y\r\n"s);
     },
     false,
     "a\0b"s,
     {"X\0Y"s},
     2,
     5},
    {"StyleCountOfTwoBillion",
     [](const std::string& path) {
         WriteFile(path, "[STYLE]\r\nCOUNT=2000000000\r\nSTYLE0=a\r\nSTYLE1=b\r\n");
     },
     false, "before",
     NamesThenEmpty({"A", "B"}, 4096), // capped, far above what hand-edited files hold
     2, 4},
    {"NegativeAndOverflowingNumbers",
     [](const std::string& path) {
         WriteFile(path, "[STYLE]\r\nCOUNT=-5\r\nSTYLE0=a\r\n[SYSTEM]\r\nTABSPACE=99999999999\r\n");
     },
     false,
     "before",
     {},
     2,
     5},
    {"RecoveryCopyLengthThatWraps",
     [](const std::string& path) {
         WriteFile(path, "VARNOKE RECOVERY COPY 1\nTIME 1\nPID 1\nFILE 18446744073709551615\n\n");
     },
     false,
     "before",
     {},
     2,
     5},
    {"PathIsAFolder", [](const std::string& path) { ForceDirectories(TNativePath(path)); }, true},
    {"PathIsAPipe", [](const std::string& path) { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); },
     true},
    {"PathIsASocket",
     [](const std::string& path) {
         sockaddr_un address{};
         address.sun_family = AF_UNIX;
         path.copy(address.sun_path, sizeof address.sun_path - 1);
         const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
         ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
         ::close(listener); // the socket's name stays
     },
     true},
    {"LinkToADevice",
     [](const std::string& path) { std::filesystem::create_symlink("/dev/zero", path); }, true},
    {"NoReadPermission",
     [](const std::string& path) {
         WriteFile(path, "[PROJECT]\r\nTITLENAME=x\r\n");
         ::chmod(path.c_str(), 0);
     },
     true},
};

void PrintTo(const TLoaderRow& row, std::ostream* out) {
    *out << row.Name;
}

class BadLoaderInput : public ::testing::TestWithParam<TLoaderRow> {};

TEST_P(BadLoaderInput, EveryLoaderHasTheStatedOutcome) {
    const TLoaderRow& row = GetParam();
    if (std::string(row.Name) == "NoReadPermission" && RunningAsRoot())
        GTEST_SKIP() << "permission bits do not bind root";
    TScratchFolder folder(MemoryBase());
    const TNativePath path = folder.Native("input");
    row.Make(path.Name());
    const TFolderSnapshot before = Snapshot(folder.Path());

    TProjectData project;
    project.TitleName = "before";
    TCSSPropertyClass styles;
    styles.Add("kept");
    TSystemData settings(path);
    settings.TabSpace = 4;
    if (row.OpenError) {
        EXPECT_THROW(TIniDocument{path}, EFOpenError);
        EXPECT_THROW(project.LoadFromFile(path), EFOpenError);
        EXPECT_THROW(styles.LoadFromFile(path), EFOpenError);
        EXPECT_THROW(settings.Load(), EFOpenError);
        std::string bytes;
        EXPECT_THROW(ReadWholeFile(path, bytes), EFOpenError);
        TTextLines lines;
        EXPECT_THROW(LoadTextLines(path, lines), EFOpenError);
        EXPECT_EQ(project.TitleName, "before");
        ASSERT_EQ(styles.Count(), 1);
        EXPECT_EQ(styles.Items(0).Name, "KEPT");
        EXPECT_EQ(settings.TabSpace, 2); // reset, then the read failed
    } else {
        project.LoadFromFile(path);
        if (row.Title) {
            EXPECT_EQ(project.TitleName, *row.Title);
        }
        styles.LoadFromFile(path);
        std::vector<std::string> names;
        for (int i = 0; i < styles.Count(); ++i)
            names.push_back(styles.Items(i).Name);
        EXPECT_EQ(names, row.Styles);
        settings.Load();
        EXPECT_EQ(settings.TabSpace, row.TabSpace);
        std::string bytes;
        ReadWholeFile(path, bytes);
        EXPECT_FALSE(DecodeRecoveryCopy(bytes)); // none is a whole copy
        const TTextLines lines(DecodeTextFile(bytes));
        if (row.TextLines >= 0) {
            EXPECT_EQ(static_cast<long>(lines.Count()), row.TextLines);
        }
    }
    EXPECT_EQ(Snapshot(folder.Path()), before) << "a loader changed the folder";
}

INSTANTIATE_TEST_SUITE_P(Rows, BadLoaderInput, ::testing::ValuesIn(LoaderRows),
                         [](const ::testing::TestParamInfo<TLoaderRow>& row) {
                             return std::string(row.param.Name);
                         });

// --- The savers ---------------------------------------------------------------

// A save that cannot be done raises EFCreateError naming the file (or
// EFOpenError, when the target cannot even be read for the keys it keeps),
// and the file keeps its content: no empty or half file, no temporary left
// beside it.
struct TSaverRow {
    const char* Name;
    int Fault;                                         // errno for the write, 0 for none
    std::function<void(const std::string& path)> Make; // the target as it is before
    const char* Reason;                                // part of the message
    bool OpenError = false;
};

const TSaverRow SaverRows[] = {
    {"DiskFull", ENOSPC, [](const std::string& path) { WriteFile(path, "[OLD]\r\nK=1\r\n"); },
     "ディスクに十分な空き領域がありません"},
    {"WriteRefused", EACCES, [](const std::string& path) { WriteFile(path, "[OLD]\r\nK=1\r\n"); },
     "アクセスが拒否されました"},
    {"DeviceFails", EIO, [](const std::string& path) { WriteFile(path, "[OLD]\r\nK=1\r\n"); }, ""},
    {"TargetIsAFolder", 0, [](const std::string& path) { ForceDirectories(TNativePath(path)); },
     "フォルダです", true},
    {"FolderMissing", 0, [](const std::string&) {}, "見つかりません"},
};

void PrintTo(const TSaverRow& row, std::ostream* out) {
    *out << row.Name;
}

class BadSaveTarget : public ::testing::TestWithParam<TSaverRow> {};

TEST_P(BadSaveTarget, EverySaverRefusesAndKeepsTheFile) {
    const TSaverRow& row = GetParam();
    TScratchFolder folder(MemoryBase());
    const TNativePath path =
        folder.Native(std::string(row.Name) == "FolderMissing" ? "gone/v.INI" : "v.INI");
    row.Make(path.Name());
    const TFolderSnapshot before = Snapshot(folder.Path());

    TSystemData settings(path);
    settings.Styles.Add("one");
    TProjectData project;
    project.TitleName = "t";
    const std::vector<std::pair<const char*, std::function<void()>>> savers = {
        {"settings", [&] { settings.Save(); }},
        {"styles", [&] { settings.Styles.SaveToFile(path); }},
        {"project", [&] { project.SaveToFile(path); }},
    };
    for (const auto& [what, save] : savers) {
        SetWriteFaultHookForTesting([&](size_t) { return row.Fault; });
        try {
            save();
            ADD_FAILURE() << what << " saved";
        } catch (const EVarnokeError& error) {
            const bool named = row.OpenError
                                   ? dynamic_cast<const EFOpenError*>(&error) != nullptr
                                   : dynamic_cast<const EFCreateError*>(&error) != nullptr;
            EXPECT_TRUE(named) << error.what();
            EXPECT_NE(std::string(error.what()).find(path.Name()), std::string::npos)
                << error.what();
            EXPECT_NE(std::string(error.what()).find(row.Reason), std::string::npos)
                << error.what();
        }
        SetWriteFaultHookForTesting(nullptr);
        EXPECT_EQ(Snapshot(folder.Path()), before) << what;
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, BadSaveTarget, ::testing::ValuesIn(SaverRows),
                         [](const ::testing::TestParamInfo<TSaverRow>& row) {
                             return std::string(row.param.Name);
                         });

// --- Saves through symbolic links ------------------------------------------

// Every file the programs write may be a symbolic link the user made (a
// settings file kept with other dotfiles, a text in a synced folder): the
// save goes to the file it names, and the link stays a link.
struct TLinkRow {
    const char* Name;
    const char* Points; // what the link at links/<name> holds; the file is always real/file
    bool FileExists = true;
};

const TLinkRow LinkRows[] = {
    {"AbsoluteLink", "<folder>real/file"},
    {"RelativeLink", "../real/file"},
    {"LinkToALink", "../real/middle"}, // real/middle is a link to real/file
    {"LinkToAFileNotYetMade", "../real/file", false},
};

// Makes the row's link at `link` (in the folder's "links/"); returns the
// file it finally names.
std::string MakeLink(const TLinkRow& row, const TScratchFolder& folder, const std::string& link) {
    ForceDirectories(folder.Native("real"));
    if (row.FileExists)
        WriteFile(folder.File("real/file"), "old");
    std::filesystem::create_symlink("file", folder.File("real/middle"));
    const std::string points = row.Points;
    std::filesystem::create_symlink(
        points.rfind("<folder>", 0) == 0 ? folder.File(points.substr(8)) : points, link);
    return folder.File("real/file");
}

void PrintTo(const TLinkRow& row, std::ostream* out) {
    *out << row.Name;
}

class LinkedSaveTarget : public ::testing::TestWithParam<TLinkRow> {};

TEST_P(LinkedSaveTarget, EverySaverWritesTheLinkedFile) {
    // Each saver writes `path`; its name is also what the written file holds.
    const std::vector<std::pair<const char*, std::function<void(const TNativePath& path)>>> savers =
        {
            {"TABSPACE=8",
             [](const TNativePath& path) {
                 TSystemData settings(path);
                 settings.TabSpace = 8;
                 settings.Save();
             }},
            {"STYLE0=LINKED",
             [](const TNativePath& path) {
                 TCSSPropertyClass styles;
                 styles.Add("linked");
                 styles.SaveToFile(path);
             }},
            {"TITLENAME=linked",
             [](const TNativePath& path) {
                 TProjectData project;
                 project.TitleName = "linked";
                 project.SaveToFile(path);
             }},
            {"FileName1=/linked.vkp",
             [](const TNativePath& path) {
                 ProfileWriteString(path, "KeepFileNames", "FileName1", "/linked.vkp");
             }},
            {"linked text", [](const TNativePath& path) { SaveUserFile(path, "linked text"); }},
        };
    for (const auto& [what, save] : savers) {
        SCOPED_TRACE(what);
        TScratchFolder folder;
        ForceDirectories(folder.Native("links"));
        const std::string link = folder.File("links/file");
        const std::string target = MakeLink(GetParam(), folder, link);
        save(TNativePath(link));
        EXPECT_TRUE(std::filesystem::is_symlink(link));
        EXPECT_NE(ReadFile(target).find(what), std::string::npos) << ReadFile(target);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.File("links")),
                                std::filesystem::directory_iterator()),
                  1)
            << "a file beside the link";
    }
    // A recovery copy, whose name the folder gives.
    TScratchFolder folder;
    const TRecoveryFolder recovery(folder.Native("links/"));
    ForceDirectories(recovery.Folder());
    const std::string link = recovery.CopyFileOf("/t.txt").Name();
    const std::string target = MakeLink(GetParam(), folder, link);
    recovery.Write({"/t.txt", 1, "linked copy"});
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    const std::optional<TRecoveryCopy> copy = DecodeRecoveryCopy(ReadFile(target));
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->Text, "linked copy");
}

INSTANTIATE_TEST_SUITE_P(Rows, LinkedSaveTarget, ::testing::ValuesIn(LinkRows),
                         [](const ::testing::TestParamInfo<TLinkRow>& row) {
                             return std::string(row.param.Name);
                         });

} // namespace
