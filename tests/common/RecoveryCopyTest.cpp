#include "common/RecoveryCopy.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>

using namespace varnoke;
using namespace varnoke::test;

TEST(RecoveryCopy, EveryByteComesBack) {
    const TRecoveryCopy copy{"/home/a/\x8C\xA9.txt", 1700000000123,
                             std::string("a\nSUM 0\n\0z", 10), 4242};
    const std::optional<TRecoveryCopy> back = DecodeRecoveryCopy(EncodeRecoveryCopy(copy));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->TextFile, copy.TextFile);
    EXPECT_EQ(back->SavedAtMs, copy.SavedAtMs);
    EXPECT_EQ(back->Text, copy.Text);
    EXPECT_EQ(back->WriterPid, 4242);
}

TEST(RecoveryCopy, DamageIsRecognised) {
    const std::string whole = EncodeRecoveryCopy({"/t.txt", 5, "text of the author\n"});
    EXPECT_FALSE(DecodeRecoveryCopy(""));
    EXPECT_FALSE(DecodeRecoveryCopy("random bytes"));
    for (size_t cut : {size_t{10}, whole.size() / 2, whole.size() - 1})
        EXPECT_FALSE(DecodeRecoveryCopy(whole.substr(0, cut))) << cut;
    std::string flipped = whole;
    flipped[whole.find("author")] = 'A';
    EXPECT_FALSE(DecodeRecoveryCopy(flipped));
    EXPECT_FALSE(DecodeRecoveryCopy(whole + "x"));
    // Lengths beyond the bytes, up to one that wraps to 0 when 1 is added.
    for (const char* length : {"7", "18446744073709551615", "18446744073709551614"}) {
        EXPECT_FALSE(DecodeRecoveryCopy(
            std::string("VARNOKE RECOVERY COPY 1\nTIME 1\nPID 1\nFILE ") + length + "\n\n"))
            << length;
    }
}

TEST(RecoveryFolder, OneCopyPerTextFoundAgainAndRemoved) {
    TScratchFolder scratch;
    const TRecoveryFolder folder(scratch.Native("cache/recovery/"));
    std::vector<TNativePath> damaged;
    EXPECT_FALSE(folder.Find("/a.txt", damaged));
    EXPECT_TRUE(folder.FindAll(damaged).empty());

    folder.Write({"/a.txt", 100, "first"});
    folder.Write({"/a.txt", 200, "second"}); // the same text: the same copy
    folder.Write({"", 150, "untitled"});
    EXPECT_NE(folder.CopyFileOf("/a.txt"), folder.CopyFileOf("/b.txt"));
    ASSERT_TRUE(folder.Find("/a.txt", damaged));
    EXPECT_EQ(folder.Find("/a.txt", damaged)->Text, "second");
    const std::vector<TRecoveryCopy> all = folder.FindAll(damaged);
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].Text, "second"); // the newest first
    EXPECT_EQ(all[1].TextFile, "");

    folder.Remove("/a.txt");
    folder.Remove("/never-written.txt");
    EXPECT_FALSE(folder.Find("/a.txt", damaged));
    EXPECT_TRUE(damaged.empty());

    const TRecoveryFolder off;
    off.Write({"/a.txt", 1, "x"});
    EXPECT_FALSE(off.Enabled());
    EXPECT_TRUE(off.FindAll(damaged).empty());
}

TEST(RecoveryFolder, ADamagedCopyIsSetAsideAndReported) {
    TScratchFolder scratch;
    const TRecoveryFolder folder(scratch.Native());
    folder.Write({"/a.txt", 100, "good"});
    WriteFile(folder.CopyFileOf("/b.txt"), "VARNOKE RECOVERY COPY 1\nTIME 1\nFI");
    std::filesystem::create_directory(folder.CopyFileOf("/c.txt").Name()); // unreadable
    std::vector<TNativePath> damaged;
    const std::vector<TRecoveryCopy> all = folder.FindAll(damaged);
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].Text, "good");
    EXPECT_EQ(damaged.size(), 2u);
    EXPECT_TRUE(Exists(folder.CopyFileOf("/b.txt") + ".damaged"));
    damaged.clear();
    EXPECT_EQ(folder.FindAll(damaged).size(), 1u); // not reported twice
    EXPECT_TRUE(damaged.empty());
}

TEST(RecoveryFolder, ACopyCountsOnlyWhenNewerThanItsFile) {
    TScratchFolder scratch;
    WriteFile(scratch.File("t.txt"), "saved");
    const std::int64_t fileTime = *FileModifiedMs(scratch.Native("t.txt"));
    EXPECT_TRUE(HoldsUnsavedWork({scratch.File("t.txt"), fileTime + 1, "x"}));
    // Written in the millisecond of the save: no typing fits between them.
    EXPECT_FALSE(HoldsUnsavedWork({scratch.File("t.txt"), fileTime, "x"}));
    EXPECT_FALSE(HoldsUnsavedWork({scratch.File("t.txt"), fileTime - 1, "x"}));
    EXPECT_TRUE(HoldsUnsavedWork({scratch.File("gone.txt"), 1, "x"}));
    EXPECT_TRUE(HoldsUnsavedWork({"", 1, "typed after New"}));
}

TEST(RecoveryFolder, ACopyOfAWindowStillRunningIsNotLeftOver) {
    EXPECT_FALSE(WrittenByAnotherRunningWindow({"", 1, "x", ::getpid()})); // this very window
    EXPECT_FALSE(WrittenByAnotherRunningWindow({"", 1, "x", 0}));
    EXPECT_FALSE(WrittenByAnotherRunningWindow({"", 1, "x", 1})); // another program
    EXPECT_FALSE(WrittenByAnotherRunningWindow({"", 1, "x", 999'999'999}));

    // Another process of this same program: a window that still works on it.
    const pid_t other = ::fork();
    if (other == 0) {
        ::sleep(30);
        ::_exit(0);
    }
    ASSERT_GT(other, 0);
    EXPECT_TRUE(WrittenByAnotherRunningWindow({"", 1, "x", other}));
    ::kill(other, SIGKILL);
    ::waitpid(other, nullptr, 0);
    EXPECT_FALSE(WrittenByAnotherRunningWindow({"", 1, "x", other}));
}

TEST(RecoveryFolder, CopiesAreTheOwnersOnly) {
    TScratchFolder scratch;
    ::umask(022);
    // A folder left open by an earlier version is closed at the next copy.
    std::filesystem::create_directory(scratch.File("recovery"));
    std::filesystem::permissions(scratch.File("recovery"), std::filesystem::perms(0755));
    for (const char* folderName : {"recovery/", "new/recovery/"}) {
        SCOPED_TRACE(folderName);
        const TRecoveryFolder folder(scratch.Native(folderName));
        folder.Write({"/a.txt", 1, "private words"});
        folder.Write({"/a.txt", 2, "written over"});
        EXPECT_EQ(std::filesystem::status(folder.Folder().Name()).permissions(),
                  std::filesystem::perms(0700));
        EXPECT_EQ(std::filesystem::status(folder.CopyFileOf("/a.txt").Name()).permissions(),
                  std::filesystem::perms(0600));
    }
}

TEST(RecoveryFolder, AnEntryThatIsNoFileIsPassedOverNotWaitedFor) {
    TScratchFolder scratch;
    const TRecoveryFolder folder(scratch.Native());
    folder.Write({"/a.txt", 100, "good"});
    // A pipe would block a reader until some writer came; none will.
    ASSERT_EQ(::mkfifo(folder.CopyFileOf("/fifo.txt").CStr(), 0600), 0);
    std::vector<TNativePath> damaged;
    const std::vector<TRecoveryCopy> all = folder.FindAll(damaged);
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].Text, "good");
    EXPECT_EQ(damaged, std::vector<TNativePath>{folder.CopyFileOf("/fifo.txt")});
    damaged.clear();
    EXPECT_FALSE(folder.Find("/fifo.txt", damaged)); // set aside: not reported twice
    EXPECT_TRUE(damaged.empty());
}
