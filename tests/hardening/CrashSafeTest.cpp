// A save or a build killed at any moment (SIGKILL: no handler, no flush, no
// destructor runs) must not cost the user a file. A child process saves or
// builds in a loop, alternating between two versions, and is killed: at a
// random time, just after it starts a write, or while it is held inside
// one. Every settings, style and project file must then load as one of the
// two versions, whole; every page is whole; and the next build must replace
// every page and leave nothing of the killed one.
#include "Hardening.h"
#include "buildmanual/BuildManual.h"
#include "common/FileSystem.h"
#include "common/TextLines.h"
#include "css/CSSPropertyClass.h"
#include "projectdata/ProjectData.h"
#include "sysdata/SystemData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <poll.h>
#include <random>
#include <sys/wait.h>
#include <thread>
#include <vector>

using namespace varnoke;
using namespace varnoke::test;

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::microseconds;
using std::chrono::milliseconds;

// Each test keeps killing for this long (and for at least MinimumRounds).
constexpr auto TimeBudget = std::chrono::seconds(8);
constexpr int MaximumRounds = 50;
constexpr int MinimumRounds = 12;

enum class TKillMode {
    RandomTime,   // anywhere in the loop
    AfterAWrite,  // a moment after the n-th write began
    HeldInAWrite, // the n-th write never happens: the child waits there
};

// A child process running `work` until it is killed. Before every write to a
// file the child sends one byte over a pipe, so the parent can pick its
// moment; in HeldInAWrite mode the child stops for good at the n-th write.
class TWorker {
  public:
    TWorker(const std::function<void()>& work, int holdAtWrite) {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0)
            throw std::runtime_error("pipe2");
        ::fcntl(fds[1], F_SETFL, O_NONBLOCK); // never let a full pipe stop the child
        pid_ = ::fork();
        if (pid_ < 0)
            throw std::runtime_error("fork");
        if (pid_ == 0) {
            ::close(fds[0]);
            const int notify = fds[1];
            int writes = 0;
            SetWriteFaultHookForTesting([notify, holdAtWrite, &writes](size_t) {
                const char byte = 'w';
                [[maybe_unused]] ssize_t ignored = ::write(notify, &byte, 1);
                if (++writes == holdAtWrite) {
                    for (;;)
                        ::pause();
                }
                return 0;
            });
            try {
                work();
            } catch (...) {
                ::_exit(3);
            }
            ::_exit(0);
        }
        ::close(fds[1]);
        readEnd_ = fds[0];
    }
    ~TWorker() {
        if (pid_ > 0)
            Kill();
        ::close(readEnd_);
    }
    TWorker(const TWorker&) = delete;
    TWorker& operator=(const TWorker&) = delete;

    // Waits until the child has begun `count` writes; false when it does not
    // get there in time.
    bool WaitForWrites(int count) {
        const auto deadline = Clock::now() + std::chrono::seconds(20);
        while (count > 0) {
            const auto left =
                std::chrono::duration_cast<milliseconds>(deadline - Clock::now()).count();
            pollfd wait{readEnd_, POLLIN, 0};
            if (left <= 0 || ::poll(&wait, 1, static_cast<int>(left)) <= 0)
                return false;
            char bytes[64];
            const ssize_t got = ::read(readEnd_, bytes, std::min<size_t>(sizeof bytes, count));
            if (got <= 0)
                return false;
            count -= static_cast<int>(got);
        }
        return true;
    }

    // True when SIGKILL ended the child, false when it had ended before.
    bool Kill() {
        ::kill(pid_, SIGKILL);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = 0;
        return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    }

  private:
    pid_t pid_ = 0;
    int readEnd_ = -1;
};

// Drives the rounds: starts the work, kills it in the round's mode, and
// lets `check` look at the files.
class TKillRounds {
  public:
    TKillRounds(std::function<void()> work, microseconds oneCycle, int writesPerCycle)
        : work_(std::move(work)), oneCycle_(oneCycle), writesPerCycle_(writesPerCycle) {}

    void Run(const std::function<void(int round)>& check) {
        const auto start = Clock::now();
        for (int round = 0; round < MaximumRounds; ++round) {
            if (round >= MinimumRounds && Clock::now() - start > TimeBudget)
                break;
            const auto mode = static_cast<TKillMode>(round % 3);
            // Two cycles' worth of writes: both versions get interrupted.
            std::uniform_int_distribution<int> write(1, 2 * writesPerCycle_);
            const int holdAt = mode == TKillMode::HeldInAWrite ? write(random_) : 0;
            TWorker worker(work_, holdAt);
            switch (mode) {
            case TKillMode::RandomTime:
                std::this_thread::sleep_for(microseconds(
                    std::uniform_int_distribution<long>(0, 2 * oneCycle_.count())(random_)));
                break;
            case TKillMode::AfterAWrite:
                ASSERT_TRUE(worker.WaitForWrites(write(random_))) << "round " << round;
                std::this_thread::sleep_for(
                    microseconds(std::uniform_int_distribution<long>(0, 400)(random_)));
                break;
            case TKillMode::HeldInAWrite:
                ASSERT_TRUE(worker.WaitForWrites(holdAt)) << "round " << round;
                break;
            }
            EXPECT_TRUE(worker.Kill()) << "the worker ended by itself in round " << round;
            check(round);
            if (::testing::Test::HasFailure())
                return;
            ++rounds_;
        }
    }
    int Rounds() const { return rounds_; }

  private:
    std::function<void()> work_;
    microseconds oneCycle_;
    int writesPerCycle_;
    std::mt19937 random_{20240611};
    int rounds_ = 0;
};

microseconds TimeOf(const std::function<void()>& work) {
    const auto start = Clock::now();
    work();
    return std::chrono::duration_cast<microseconds>(Clock::now() - start);
}

// --- Settings, styles and project -----------------------------------------

// What a file holds, in comparable form: every field the program reads.
std::string Print(const TSystemData& settings) {
    return std::to_string(settings.StyleTop) + "|" + std::to_string(settings.StyleIndex) + "|" +
           std::to_string(settings.PreviewTarget) + "|" + settings.ProjectFile + "|" +
           std::to_string(settings.AutoSaveFlag) + "|" + std::to_string(settings.TabSpace);
}

std::string Print(const TCSSPropertyClass& styles) {
    TIniDocument ini;
    ini.WriteInteger("NAMES", "COUNT", styles.Count());
    for (int i = 0; i < styles.Count(); ++i) {
        ini.WriteString("NAMES", std::to_string(i), styles.Items(i).Name);
        styles.Items(i).SaveToIni(ini);
    }
    return ini.ToBytes();
}

std::string Print(const TProjectData& project) {
    return project.TextName + "|" + std::to_string(project.ContentsType) + "|" +
           std::to_string(project.FileDivideFlag) + "|" + std::to_string(project.TitleFrameFlag) +
           "|" + project.TitleName + "|" + project.OutputPath + "|" +
           std::to_string(project.StyleTitle) + "|" + std::to_string(project.StyleMenu) + "|" +
           std::to_string(project.StyleText);
}

struct TSavedVersion {
    TSavedVersion(const TNativePath& settingsFile, int variant) : Settings(settingsFile) {
        Settings.StyleTop = variant;
        Settings.StyleIndex = 10 + variant;
        Settings.PreviewTarget = static_cast<std::uint8_t>(variant);
        Settings.ProjectFile =
            "/projects/" +
            std::string(static_cast<size_t>(20 + variant * 40), static_cast<char>('a' + variant)) +
            ".vkp";
        Settings.AutoSaveFlag = variant == 1;
        Settings.TabSpace = variant == 0 ? 2 : 8;

        // Hundreds of styles: the style file takes long enough to save that
        // many kills land inside it.
        const int count = variant == 0 ? 150 : 140;
        for (int i = 0; i < count; ++i) {
            TCSSProperty& style = Styles.Items(Styles.Add("style" + std::to_string(i)));
            style.Background.Color = variant * 1000 + i;
            style.Background.CGFlag = variant == 1;
            style.Background.CGFile = "back" + std::to_string(variant) + ".png";
            style.Chips[ChipH1].Margin.Sides[sdTop].Param = 0.25f * static_cast<float>(i + variant);
            style.Chips[ChipP].Border.Sides[sdLeft].Color = variant == 0 ? -i : i;
        }

        Project.TextName = variant == 0 ? "a.txt" : "a much longer name of the text file.txt";
        Project.ContentsType = static_cast<std::uint8_t>(variant);
        Project.FileDivideFlag = variant == 1;
        Project.TitleFrameFlag = variant == 0;
        Project.TitleName = std::string(static_cast<size_t>(10 + variant * 300), 'T');
        Project.OutputPath = "out" + std::to_string(variant);
        Project.StyleTitle = variant;
        Project.StyleMenu = 2 * variant;
        Project.StyleText = 3 * variant;
    }

    void Save(const TNativePath& stylesFile, const TNativePath& projectFile) const {
        Settings.Save();
        Styles.SaveToFile(stylesFile);
        Project.SaveToFile(projectFile);
    }

    TSystemData Settings;
    TCSSPropertyClass Styles;
    TProjectData Project;
};

// Temporary files that killed saves left beside their targets ("name." and
// six random characters); removed, so that they do not pile up.
int CountAndRemoveLeftovers(const std::string& folder, const std::vector<std::string>& targets) {
    int leftovers = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (std::find(targets.begin(), targets.end(), name) != targets.end())
            continue;
        EXPECT_TRUE(std::any_of(targets.begin(), targets.end(),
                                [&](const std::string& target) {
                                    return name.size() == target.size() + 7 &&
                                           name.rfind(target + ".", 0) == 0;
                                }))
            << "unexpected file " << name;
        std::filesystem::remove(entry.path());
        ++leftovers;
    }
    return leftovers;
}

} // namespace

TEST(CrashSafe, AKilledSaveLeavesEveryFileOldOrNewAndWhole) {
    TScratchFolder folder(MemoryBase());
    const TNativePath settingsFile = folder.Native("varnoke.INI");
    const TNativePath stylesFile = folder.Native("styles.INI");
    const TNativePath projectFile = folder.Native("manual.vkp");
    const TSavedVersion versions[2] = {{settingsFile, 0}, {settingsFile, 1}};

    // Both versions as they load back, saved over each other once as in
    // the loop (the style file keeps the sections of the dropped styles).
    versions[1].Save(stylesFile, projectFile);
    const auto oneCycle = TimeOf([&] { versions[0].Save(stylesFile, projectFile); });
    std::string expected[2][3];
    for (int v : {1, 0}) {
        versions[v].Save(stylesFile, projectFile);
        TSystemData settings(settingsFile);
        settings.Load();
        TCSSPropertyClass styles;
        styles.LoadFromFile(stylesFile);
        TProjectData project;
        project.LoadFromFile(projectFile);
        expected[v][0] = Print(settings);
        expected[v][1] = Print(styles);
        expected[v][2] = Print(project);
        ASSERT_EQ(expected[v][0], Print(versions[v].Settings));
        ASSERT_EQ(expected[v][1], Print(versions[v].Styles));
        ASSERT_EQ(expected[v][2], Print(versions[v].Project));
    }

    int interrupted = 0;
    TKillRounds rounds(
        [&] {
            for (unsigned i = 1;; ++i)
                versions[i % 2].Save(stylesFile, projectFile);
        },
        oneCycle, 3);
    rounds.Run([&](int round) {
        TSystemData settings(settingsFile);
        settings.Load();
        TCSSPropertyClass styles;
        styles.LoadFromFile(stylesFile);
        TProjectData project;
        project.LoadFromFile(projectFile);
        const std::string found[3] = {Print(settings), Print(styles), Print(project)};
        const char* names[3] = {"settings", "styles", "project"};
        for (int file = 0; file < 3; ++file)
            EXPECT_TRUE(found[file] == expected[0][file] || found[file] == expected[1][file])
                << names[file] << " file is neither version after round " << round;
        interrupted +=
            CountAndRemoveLeftovers(folder.Path(), {"varnoke.INI", "styles.INI", "manual.vkp"});
    });
    EXPECT_GE(rounds.Rounds(), MinimumRounds);
    // The held rounds always stop a save half-way; the test proves nothing
    // if no save was ever cut.
    EXPECT_GT(interrupted, 0);
    RecordProperty("rounds", rounds.Rounds());
    RecordProperty("interrupted_saves", interrupted);
}

// --- Builds ----------------------------------------------------------------

namespace {

// A text of twelve chapters, each with headings and a few thousand body
// lines; both versions split into the same twelve pages.
std::string ManualText(char version) {
    std::string text;
    for (int chapter = 0; chapter < 12; ++chapter) {
        text += "Chapter " + std::to_string(chapter) + " " + version + "\r\n";
        for (int section = 0; section < 4; ++section) {
            text += "\tSection " + std::to_string(section) + "\r\n";
            for (int line = 0; line < 700; ++line)
                text += "\t\t\t" + std::string(1, version) + " body line " + std::to_string(line) +
                        " of the manual\r\n";
        }
    }
    return text;
}

struct TBuildSetup {
    TBuildSetup() {
        project.ContentsType = 1;
        project.FileDivideFlag = true;
        project.TitleFrameFlag = true;
        project.TitleName = "Crash";
        project.StyleTitle = 0;
        project.StyleMenu = 1;
        project.StyleText = 2;
        for (const char* name : {"title", "menu", "text"})
            styles.Add(name);
        styles.Items(2).Background.Color = 0x00FFEE;
    }
    void Build(const TTextLines& lines, const std::string& folder) const {
        BuildManual({project, styles, lines, 4}, TNativePath(folder));
    }
    TProjectData project;
    TCSSPropertyClass styles;
};

} // namespace

TEST(CrashSafe, TheBuildAfterAKilledBuildReplacesEveryPageWhole) {
    TScratchFolder clean(MemoryBase());
    TScratchFolder out(MemoryBase());
    const TBuildSetup setup;
    const TTextLines textA(ManualText('A'));
    const TTextLines textB(ManualText('B'));

    setup.Build(textB, clean.Path());
    const TFolderSnapshot expected = Snapshot(clean.Path());
    ASSERT_EQ(expected.size(), 12u + 6u); // text0..text11, menu, title, frame, three sheets

    const auto oneCycle = TimeOf([&] { setup.Build(textA, out.Path()); });
    int cutPages = 0;
    TKillRounds rounds(
        [&] {
            for (unsigned i = 0;; ++i)
                setup.Build(i % 2 == 0 ? textA : textB, out.Path());
        },
        oneCycle, static_cast<int>(expected.size()));
    int leftStages = 0;
    rounds.Run([&](int round) {
        // The killed build's pages are whole: they are renamed into place
        // complete. What it was writing stays in its hidden folder, which
        // the next build removes.
        for (const auto& [name, digest] : Snapshot(out.Path())) {
            if (name.rfind(".varnoke-build-", 0) == 0) {
                leftStages += name.back() == '/';
                continue;
            }
            const std::string bytes = ReadFile(out.File(name));
            if (!EndsWith(bytes, EndsWith(name, ".css") ? "}\r\n\r\n" : "</html>\r\n"))
                ++cutPages;
        }
        setup.Build(textB, out.Path());
        EXPECT_EQ(Snapshot(out.Path()), expected) << "after round " << round;
    });
    EXPECT_GE(rounds.Rounds(), MinimumRounds);
    EXPECT_EQ(cutPages, 0);
    EXPECT_GT(leftStages, 0) << "no build was killed while it wrote";
    RecordProperty("rounds", rounds.Rounds());
    RecordProperty("left_stages", leftStages);
}
