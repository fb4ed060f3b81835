#include "cli/FileWatcher.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <poll.h>

using namespace varnoke;
using namespace varnoke::test;
using Files = std::vector<std::string>;

namespace {
constexpr std::chrono::milliseconds Quiet{100};

// Waits up to `timeout` for the watcher to report, then gathers what else
// it reports until it is quiet: everything one step of a test caused.
Files ChangesWithin(TFileWatcher& watcher, std::chrono::milliseconds timeout) {
    Files changes;
    for (;;) {
        pollfd waiting{watcher.Descriptor(), POLLIN, 0};
        const auto wait = changes.empty() ? timeout : Quiet;
        if (::poll(&waiting, 1, static_cast<int>(wait.count())) <= 0)
            return changes;
        for (const std::string& file : watcher.TakeChanges()) {
            if (std::find(changes.begin(), changes.end(), file) == changes.end())
                changes.push_back(file);
        }
    }
}
constexpr std::chrono::milliseconds Soon{5000};
} // namespace

TEST(FileWatcher, SeesEveryWayOfSavingAndNothingElse) {
    TScratchFolder folder;
    const std::string text = folder.File("t.txt");
    WriteFile(text, "old");
    TFileWatcher watcher;
    watcher.Watch({text});

    // The neighbour's change comes first; the report that the later one
    // brings holds the watched file alone.
    WriteFile(folder.File("neighbour.txt"), "x");
    WriteFile(text, "in place");
    EXPECT_EQ(ChangesWithin(watcher, Soon), Files{text});

    WriteFile(folder.File("t.txt.new"), "renamed over");
    std::filesystem::rename(folder.File("t.txt.new"), text);
    EXPECT_EQ(ChangesWithin(watcher, Soon), Files{text});

    std::filesystem::remove(text);
    EXPECT_EQ(ChangesWithin(watcher, Soon), Files{text});
    WriteFile(text, "back");
    EXPECT_EQ(ChangesWithin(watcher, Soon), Files{text});
}

TEST(FileWatcher, AFileInAMissingFolderIsWatchedForItsReturn) {
    TScratchFolder folder;
    const std::string text = folder.File("a/b/t.txt");
    const std::string other = folder.File("o.txt");
    TFileWatcher watcher;
    watcher.Watch({other, text});

    std::filesystem::create_directories(folder.File("a/b"));
    EXPECT_EQ(ChangesWithin(watcher, Soon), Files{text});
    WriteFile(text, "here");
    EXPECT_EQ(ChangesWithin(watcher, Soon), Files{text});
    WriteFile(text, "again");
    EXPECT_EQ(ChangesWithin(watcher, Soon), Files{text});

    // The folder goes, and the file with it.
    std::filesystem::remove_all(folder.File("a"));
    EXPECT_EQ(ChangesWithin(watcher, Soon), Files{text});
    WriteFile(other, "x");
    EXPECT_EQ(ChangesWithin(watcher, Soon), Files{other});
}

TEST(FileWatcher, WatchesOnlyTheFilesLastNamed) {
    TScratchFolder folder;
    TFileWatcher watcher;
    watcher.Watch({folder.File("old.txt")});
    watcher.Watch({folder.File("new.txt")});
    WriteFile(folder.File("old.txt"), "x");
    WriteFile(folder.File("new.txt"), "x");
    EXPECT_EQ(ChangesWithin(watcher, Soon), Files{folder.File("new.txt")});
}
