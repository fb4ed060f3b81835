// varnoke-build --watch as a user runs it: a real process in a scratch
// folder, its files changed the ways editors change them, its output lines
// read as they come, and ended by a signal.
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <poll.h>
#include <spawn.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

using namespace varnoke::test;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

class TWatchProcess {
  public:
    explicit TWatchProcess(std::vector<std::string> arguments, bool watch = true) {
        if (watch)
            arguments.insert(arguments.begin(), "--watch");
        arguments.insert(arguments.begin(), VARNOKE_BUILD_TOOL);
        std::vector<char*> argv;
        for (std::string& argument : arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        int out[2];
        int err[2];
        if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0)
            throw std::runtime_error("pipe");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_adddup2(&actions, err[1], 2);
        if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0)
            throw std::runtime_error("spawn");
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        ::close(err[1]);
        out_ = out[0];
        err_ = err[0];
    }
    ~TWatchProcess() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        ::close(out_);
        ::close(err_);
    }
    TWatchProcess(const TWatchProcess&) = delete;
    TWatchProcess& operator=(const TWatchProcess&) = delete;

    // The next line of standard output, or nothing when none comes in time.
    std::optional<std::string> NextLine(std::chrono::milliseconds timeout = 10s) {
        const auto end = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            if (const size_t newline = pending_.find('\n'); newline != std::string::npos) {
                std::string line = pending_.substr(0, newline);
                pending_.erase(0, newline + 1);
                return line;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                end - std::chrono::steady_clock::now());
            pollfd waiting{out_, POLLIN, 0};
            if (left.count() <= 0 || ::poll(&waiting, 1, static_cast<int>(left.count())) <= 0)
                return std::nullopt;
            char buffer[4096];
            const ssize_t got = ::read(out_, buffer, sizeof buffer);
            if (got <= 0)
                return std::nullopt;
            pending_.append(buffer, static_cast<size_t>(got));
        }
    }

    // Everything written to standard error so far.
    std::string Errors() {
        pollfd waiting{err_, POLLIN, 0};
        char buffer[4096];
        while (::poll(&waiting, 1, 0) > 0) {
            const ssize_t got = ::read(err_, buffer, sizeof buffer);
            if (got <= 0)
                break;
            errors_.append(buffer, static_cast<size_t>(got));
        }
        return errors_;
    }

    // Sends the signal and returns the exit status; -1 when the process did
    // not exit by itself.
    int Stop(int signal) {
        ::kill(pid_, signal);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

  private:
    pid_t pid_ = -1;
    int out_ = -1;
    int err_ = -1;
    std::string pending_;
    std::string errors_;
};

// Tells when a build begins writing into a folder: it makes its files'
// hidden folder there. Watched from before the build starts, so that the
// moment is never missed, however late the test looks.
class TBuildStartWatch {
  public:
    explicit TBuildStartWatch(const std::string& folder)
        : descriptor_(::inotify_init1(IN_CLOEXEC)) {
        ::inotify_add_watch(descriptor_, folder.c_str(), IN_CREATE);
    }
    ~TBuildStartWatch() { ::close(descriptor_); }
    TBuildStartWatch(const TBuildStartWatch&) = delete;
    TBuildStartWatch& operator=(const TBuildStartWatch&) = delete;

    bool Wait() {
        alignas(inotify_event) char buffer[4096];
        pollfd waiting{descriptor_, POLLIN, 0};
        while (::poll(&waiting, 1, 20'000) > 0) {
            const ssize_t got = ::read(descriptor_, buffer, sizeof buffer);
            for (ssize_t at = 0; at < got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                if (event->len > 0 && std::string(event->name).rfind(".varnoke-build-", 0) == 0)
                    return true;
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
        return false;
    }

  private:
    int descriptor_;
};

bool Contains(const std::optional<std::string>& line, const std::string& part) {
    return line && line->find(part) != std::string::npos;
}

const std::string Built = "作成しました";
const std::string Failed = "作成できませんでした";

// A project, its text and its styles in a scratch folder.
class Watch : public ::testing::Test {
  protected:
    Watch() {
        WriteProject("t.txt");
        WriteFile(Text(), "First\r\n");
        fs::copy_file(std::string(VARNOKE_EXAMPLES) + "/styles.INI", folder.File("s.INI"));
    }
    void WriteProject(const std::string& textName) {
        WriteFile(folder.File("p.vkp"),
                  "[PROJECT]\r\nTEXTNAME=" + textName + "\r\nOUTPUTPATH=out\r\n");
    }
    std::string Text() const { return folder.File("t.txt"); }
    std::string Page() const { return ReadFile(folder.File("out/text.html")); }
    std::unique_ptr<TWatchProcess> Start(bool watch = true) {
        return std::make_unique<TWatchProcess>(
            std::vector<std::string>{"--styles", folder.File("s.INI"), folder.File("p.vkp")},
            watch);
    }
    // A text that takes a build long enough to be stopped in the middle.
    static std::string LargeText() {
        std::string chapter = "Chapter\r\n";
        for (int line = 0; line < 100; ++line)
            chapter += "\t\tA line of body text to fill the manual, long enough to take time.\r\n";
        std::string large;
        while (large.size() < 24'000'000)
            large += chapter;
        return large;
    }
    // Replaces a file the way many editors save: a new file renamed over it.
    void RenameOver(const std::string& path, const std::string& bytes) {
        WriteFile(path + ".new", bytes);
        fs::rename(path + ".new", path);
    }

    TScratchFolder folder;
};

} // namespace

TEST_F(Watch, ThePagesFollowTheTextWhicheverWayItIsSaved) {
    auto watch = Start();
    EXPECT_EQ(watch->NextLine(), folder.File("out/text.html"));
    EXPECT_TRUE(Contains(watch->NextLine(), "開始: " + Built));
    EXPECT_NE(Page().find("First"), std::string::npos);

    WriteFile(Text(), "Rewritten\r\n");
    EXPECT_TRUE(Contains(watch->NextLine(), "t.txt: " + Built));
    EXPECT_NE(Page().find("Rewritten"), std::string::npos);

    RenameOver(Text(), "Renamed\r\n");
    EXPECT_TRUE(Contains(watch->NextLine(), "t.txt: " + Built));
    EXPECT_NE(Page().find("Renamed"), std::string::npos);

    // Gone: the build fails, says why, and leaves the pages as they were.
    fs::remove(Text());
    EXPECT_TRUE(Contains(watch->NextLine(), "t.txt: " + Failed));
    EXPECT_NE(watch->Errors().find("テキストファイルが見つかりません"), std::string::npos);
    EXPECT_NE(Page().find("Renamed"), std::string::npos);

    WriteFile(Text(), "Back\r\n");
    EXPECT_TRUE(Contains(watch->NextLine(), "t.txt: " + Built));
    EXPECT_NE(Page().find("Back"), std::string::npos);

    EXPECT_EQ(watch->Stop(SIGTERM), 0);
}

TEST_F(Watch, ABurstOfWritesIsBuiltOnce) {
    auto watch = Start();
    watch->NextLine();
    ASSERT_TRUE(Contains(watch->NextLine(), Built));
    for (int i = 0; i < 10; ++i)
        WriteFile(Text(), "Write " + std::to_string(i) + "\r\n");
    EXPECT_TRUE(Contains(watch->NextLine(), "t.txt: " + Built));
    EXPECT_NE(Page().find("Write 9"), std::string::npos);
    // The next line is that of a later change: the burst made no second build.
    WriteFile(folder.File("p.vkp"),
              "[PROJECT]\r\nTEXTNAME=t.txt\r\nOUTPUTPATH=out\r\nTITLENAME=Later\r\n");
    EXPECT_TRUE(Contains(watch->NextLine(), "p.vkp: " + Built));
    EXPECT_EQ(watch->Stop(SIGINT), 0);
}

TEST_F(Watch, FollowsTheProjectToAnotherTextAndWatchesTheStyles) {
    auto watch = Start();
    watch->NextLine();
    ASSERT_TRUE(Contains(watch->NextLine(), Built));

    WriteFile(folder.File("u.txt"), "Other\r\n");
    RenameOver(folder.File("p.vkp"), "[PROJECT]\r\nTEXTNAME=u.txt\r\nOUTPUTPATH=out\r\n");
    EXPECT_TRUE(Contains(watch->NextLine(), "p.vkp: " + Built));
    EXPECT_NE(Page().find("Other"), std::string::npos);
    WriteFile(Text(), "No longer read\r\n");

    // The next build is the one of the styles, changed after the old text:
    // that text made none.
    const std::string sheet = ReadFile(folder.File("out/text.css"));
    std::string styles = ReadFile(folder.File("s.INI"));
    styles.replace(styles.find("COLOR=16777215"), 14, "COLOR=255");
    RenameOver(folder.File("s.INI"), styles);
    const std::optional<std::string> next = watch->NextLine();
    EXPECT_TRUE(Contains(next, "s.INI: " + Built)) << next.value_or("no line");
    EXPECT_FALSE(Contains(next, "t.txt"));
    EXPECT_NE(ReadFile(folder.File("out/text.css")), sheet);
    EXPECT_EQ(watch->Stop(SIGTERM), 0);
}

TEST_F(Watch, AMissingTextIsWaitedFor) {
    fs::remove(Text());
    auto watch = Start();
    EXPECT_TRUE(Contains(watch->NextLine(), "開始: " + Failed));
    WriteFile(Text(), "Arrived\r\n");
    EXPECT_EQ(watch->NextLine(), folder.File("out/text.html"));
    EXPECT_TRUE(Contains(watch->NextLine(), "t.txt: " + Built));
    EXPECT_NE(Page().find("Arrived"), std::string::npos);
    EXPECT_EQ(watch->Stop(SIGTERM), 0);
}

TEST_F(Watch, ATextReplacedByAPipeIsRefusedAndTheWatchStillStops) {
    auto watch = Start();
    watch->NextLine();
    ASSERT_TRUE(Contains(watch->NextLine(), Built));
    // No writer will ever open it: a build that waited for one would hold
    // the watch, and its signals, for good.
    ASSERT_EQ(::mkfifo(folder.File("pipe").c_str(), 0600), 0);
    fs::rename(folder.File("pipe"), Text());
    EXPECT_TRUE(Contains(watch->NextLine(), "t.txt: " + Failed));
    EXPECT_NE(watch->Errors().find("通常のファイルではありません"), std::string::npos)
        << watch->Errors();
    EXPECT_NE(Page().find("First"), std::string::npos);
    EXPECT_EQ(watch->Stop(SIGINT), 0);
}

// A signal while a build writes its pages stops that build: the watch ends
// with status 0, and the folder holds the last build's pages, whole, and
// nothing of the stopped one. A build that finished before its signal came
// (a busy machine may let the test look late) is tried again.
TEST_F(Watch, ASignalDuringABuildStopsItAndLeavesTheLastPages) {
    const std::string large = LargeText();
    WriteFile(Text(), large);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        bool stopped = false;
        for (int attempt = 0; attempt < 5 && !stopped; ++attempt) {
            auto watch = Start();
            watch->NextLine();
            ASSERT_TRUE(Contains(watch->NextLine(), Built));
            const auto before = FolderSnapshot(folder.File("out"));
            TBuildStartWatch buildStart(folder.File("out"));
            RenameOver(Text(), large + "The end\r\n");
            ASSERT_TRUE(buildStart.Wait()) << "no build began";
            EXPECT_EQ(watch->Stop(signal), 0) << strsignal(signal);
            stopped = !watch->NextLine();
            if (stopped) {
                EXPECT_TRUE(FolderSnapshot(folder.File("out")) == before) << strsignal(signal);
            }
            RenameOver(Text(), large);
        }
        EXPECT_TRUE(stopped) << "every build finished before its signal came";
    }
}

// Without --watch the same: the build stops, and the signal then ends the
// program as it would have, leaving the folder as it was.
TEST_F(Watch, ASignalStopsABuildWithoutWatchAndLeavesTheLastPages) {
    ASSERT_EQ(Start(false)->Stop(0), 0);
    const std::string large = LargeText();
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        bool stopped = false;
        for (int attempt = 0; attempt < 5 && !stopped; ++attempt) {
            const auto before = FolderSnapshot(folder.File("out"));
            const std::string mark = "Attempt " + std::to_string(attempt) + strsignal(signal);
            WriteFile(Text(), large + mark + "\r\n");
            TBuildStartWatch buildStart(folder.File("out"));
            auto build = Start(false);
            ASSERT_TRUE(buildStart.Wait()) << "no build began";
            const int status = build->Stop(signal);
            stopped = Page().find(mark) == std::string::npos;
            if (stopped) {
                EXPECT_EQ(status, -1) << strsignal(signal);
                EXPECT_TRUE(FolderSnapshot(folder.File("out")) == before) << strsignal(signal);
            }
        }
        EXPECT_TRUE(stopped) << "every build finished before its signal came";
    }
}
