#include "TestSupport.h"
#include "common/Errors.h"
#include "common/FileSystem.h"
#include "common/StagedFolder.h"
#include "common/TextFileWriter.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

using namespace varnoke;
using namespace varnoke::test;

TEST(TextFileWriter, WritesLinesWithCrLf) {
    TScratchFolder folder;
    TTextFileWriter file(folder.Native("a.html"));
    file.WriteLine("one");
    file.WriteLine("");
    file.Close();
    EXPECT_EQ(ReadFile(folder.File("a.html")), "one\r\n\r\n");
}

TEST(TextFileWriter, BigOutputGoesThroughWhole) {
    TScratchFolder folder;
    std::string line(3'000'000, 'y');
    TTextFileWriter file(folder.Native("big"));
    file.WriteLine("x");
    file.WriteLine(line);
    file.Close();
    EXPECT_EQ(ReadFile(folder.File("big")), "x\r\n" + line + "\r\n");
}

namespace {
int CodeOfFailure(const std::string& path) {
    try {
        TTextFileWriter file{TNativePath(path)};
        file.WriteLine("x");
        file.Close();
    } catch (const EInOutError& error) {
        EXPECT_EQ(error.FileName().Name(), path);
        return error.Code();
    }
    return 0;
}

int CodeOfFailingWrite(int error) {
    TScratchFolder folder;
    SetWriteFaultHookForTesting([error](size_t) { return error; });
    int code = CodeOfFailure(folder.File("f.html"));
    SetWriteFaultHookForTesting(nullptr);
    return code;
}
} // namespace

TEST(TextFileWriter, FailuresCarryTheClassicCodes) {
    TScratchFolder folder;
    EXPECT_EQ(CodeOfFailure(folder.File("missing/title.css")), 3);
    EXPECT_EQ(CodeOfFailure(folder.Path()), 5); // a folder, not a file
    EXPECT_EQ(CodeOfFailingWrite(ENOSPC), 101);
    EXPECT_EQ(CodeOfFailingWrite(EACCES), 5);
    EXPECT_EQ(CodeOfFailingWrite(EMFILE), 4);
    EXPECT_EQ(CodeOfFailingWrite(EIO), EIO);
}

TEST(TextFileWriter, MessagesFollowTheCode) {
    EXPECT_EQ(InOutErrorMessage(3), "ファイル名の指定が間違っています");
    EXPECT_EQ(InOutErrorMessage(101), "ディスクがいっぱいです");
    EXPECT_EQ(InOutErrorMessage(5), "ファイルへのアクセスが拒否されました");
    EXPECT_EQ(InOutErrorMessage(32), "I/O エラー (32)");
}

TEST(TextFileWriter, ReadOnlyFileIsRefused) {
    if (RunningAsRoot())
        GTEST_SKIP() << "permission bits do not bind root";
    TScratchFolder folder;
    WriteFile(folder.File("ro.css"), "old");
    std::filesystem::permissions(folder.File("ro.css"), std::filesystem::perms::owner_read);
    EXPECT_EQ(CodeOfFailure(folder.File("ro.css")), 5);
}

TEST(FileSystem, MakesFoldersWithTheirParents) {
    TScratchFolder folder;
    ForceDirectories(folder.Native("a/b/c/"));
    EXPECT_TRUE(DirectoryExists(folder.Native("a/b/c")));
    WriteFile(folder.File("file"), "");
    EXPECT_THROW(ForceDirectories(folder.Native("file/sub")), EFCreateError);
}

TEST(FileSystem, OnlyRegularFilesAreRead) {
    std::string bytes;
    EXPECT_THROW(ReadWholeFile(TNativePath("/dev/zero"), bytes), EFOpenError);
    EXPECT_TRUE(bytes.empty());
}

TEST(SaveUserFile, ReplacesWholeKeepsPermissionsAndLinks) {
    TScratchFolder folder;
    const std::string text = folder.File("t.txt");
    WriteFile(text, "old");
    std::filesystem::permissions(text, std::filesystem::perms(0640));
    SaveUserFile(TNativePath(text), "new");
    EXPECT_EQ(ReadFile(text), "new");
    EXPECT_EQ(std::filesystem::status(text).permissions(), std::filesystem::perms(0640));

    // Saving through a link replaces the file it names; the link stays a link.
    std::filesystem::create_symlink(text, folder.File("link.txt"));
    SaveUserFile(folder.Native("link.txt"), "through the link");
    EXPECT_TRUE(std::filesystem::is_symlink(folder.File("link.txt")));
    EXPECT_EQ(ReadFile(text), "through the link");

    EXPECT_THROW(SaveUserFile(folder.Native("gone/t.txt"), "x"), EFCreateError);
    SetWriteFaultHookForTesting([](size_t) { return ENOSPC; });
    EXPECT_THROW(SaveUserFile(TNativePath(text), "disk full"), EFCreateError);
    SetWriteFaultHookForTesting(nullptr);
    EXPECT_EQ(ReadFile(text), "through the link");
}

TEST(SaveUserFile, AReadOnlyFileIsRefusedNotReplaced) {
    if (RunningAsRoot())
        GTEST_SKIP() << "root may write any file";
    TScratchFolder folder;
    const std::string text = folder.File("t.txt");
    WriteFile(text, "keep");
    std::filesystem::permissions(text, std::filesystem::perms(0444));
    EXPECT_THROW(SaveUserFile(TNativePath(text), "x"), EFCreateError);
    EXPECT_EQ(ReadFile(text), "keep");
}

// A stage a killed build left goes when the next one is made; the stage of a
// build still running stays. A folder in a file's place is found before any
// file moves.
TEST(StagedFolder, TakesWhatEndedBuildsLeftAndMovesAllOrNothing) {
    TScratchFolder folder;
    const pid_t ended = ::fork();
    if (ended == 0)
        ::_exit(0);
    ::waitpid(ended, nullptr, 0);
    const std::string left = ".varnoke-build-" + std::to_string(ended) + "-abcdef";
    const std::string running = ".varnoke-build-" + std::to_string(::getpid()) + "-ghijkl";
    for (const std::string& stage : {left, running, std::string(".varnoke-build-other")}) {
        std::filesystem::create_directory(folder.File(stage));
        WriteFile(folder.File(stage + "/text.html"), "cut sh");
    }
    WriteFile(folder.File("a"), "old a");
    std::filesystem::create_directory(folder.File("b"));
    {
        TStagedFolder stage(folder.Native(), "a");
        WriteFile(stage.Path() + "a", "new a");
        WriteFile(stage.Path() + "b", "new b");
        EXPECT_EQ(stage.FinalName(stage.Path() + "b"), folder.Native("b"));
        EXPECT_THROW(stage.Commit({"a", "b"}), EInOutError);
    }
    EXPECT_EQ(FolderSnapshot(folder.Path()),
              (std::map<std::string, std::string>{{"a", "old a"},
                                                  {"b", "<folder>"},
                                                  {running, "<folder>"},
                                                  {".varnoke-build-other", "<folder>"}}));
}
