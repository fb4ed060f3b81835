// Runs the built varnoke-build as a user would and compares whole output
// folders with the expected files kept in tests/data/cli.
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

using namespace varnoke::test;
namespace fs = std::filesystem;

namespace {
struct TRun {
    int exitCode;
    std::string output;
};

TRun RunTool(const std::string& arguments) {
    std::string command = std::string(VARNOKE_BUILD_TOOL) + " " + arguments + " 2>&1";
    TRun run{-1, {}};
    FILE* pipe = ::popen(command.c_str(), "r");
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.output.append(buffer, got);
    int status = ::pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

void ExpectSameFolder(const fs::path& expected, const fs::path& actual) {
    size_t count = 0;
    for (const auto& entry : fs::directory_iterator(expected)) {
        ++count;
        const fs::path name = entry.path().filename();
        EXPECT_EQ(ReadFile((actual / name).string()), ReadFile(entry.path().string())) << name;
    }
    EXPECT_EQ(static_cast<size_t>(std::distance(fs::directory_iterator(actual), {})), count);
}

const fs::path Data = fs::path(VARNOKE_TEST_DATA) / "cli";
} // namespace

TEST(EndToEnd, WorkedExampleWithoutSplit) {
    TScratchFolder out;
    TRun run = RunTool("--styles " + (Data / "styles.INI").string() + " --out " + out.Path() + " " +
                       (Data / "worked.vkp").string());
    ASSERT_EQ(run.exitCode, 0) << run.output;
    ExpectSameFolder(Data / "worked-expected", out.Path());
}

TEST(EndToEnd, SplitWithTitleFrame) {
    TScratchFolder out;
    TRun run = RunTool("--styles " + (Data / "styles.INI").string() + " --out " + out.Path() + " " +
                       (Data / "split.vkp").string());
    ASSERT_EQ(run.exitCode, 0) << run.output;
    ExpectSameFolder(Data / "split-expected", out.Path());
}

TEST(EndToEnd, TheBundledExampleBuilds) {
    TScratchFolder out;
    const fs::path examples = VARNOKE_EXAMPLES;
    TRun run = RunTool("--styles " + (examples / "styles.INI").string() + " --out " + out.Path() +
                       " " + (examples / "guide.vkp").string());
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output, out.Path() + "frame.html\n");
    EXPECT_TRUE(Exists(out.File("menu.html")));
}

TEST(EndToEnd, ExitCodesAndMessages) {
    TScratchFolder folder;
    TRun missing = RunTool(folder.File("nothing.vkp"));
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_NE(missing.output.find("nothing.vkp"), std::string::npos);

    WriteFile(folder.File("file"), "");
    TRun intoFile = RunTool("--out " + folder.File("file") + " " + (Data / "worked.vkp").string());
    EXPECT_EQ(intoFile.exitCode, 1);

    EXPECT_EQ(RunTool("--help").exitCode, 0);
    EXPECT_EQ(RunTool("--tab 1x " + (Data / "worked.vkp").string()).exitCode, 2);
}

TEST(EndToEnd, EmptyAndHugeTexts) {
    TScratchFolder folder;
    WriteFile(folder.File("p.vkp"), "[PROJECT]\r\nTEXTNAME=t.txt\r\nFILEDEVIDEFLAG=1\r\n");
    WriteFile(folder.File("t.txt"), "");
    EXPECT_EQ(RunTool("--out " + folder.File("o") + " " + folder.File("p.vkp")).exitCode, 0);
    EXPECT_TRUE(Exists(folder.File("o/text0.html")));

    // One line of a megabyte, handed out whole.
    WriteFile(folder.File("t.txt"), "\t\t" + std::string(1 << 20, 'x'));
    ASSERT_EQ(RunTool("--out " + folder.File("o") + " " + folder.File("p.vkp")).exitCode, 0);
    EXPECT_NE(ReadFile(folder.File("o/text0.html")).find(std::string(1 << 20, 'x') + "<br>"),
              std::string::npos);
}
