// Both programs copied into a folder whose name Shift-JIS cannot hold (é
// and a snowman), as a user unpacks them anywhere: each starts, and keeps
// its files where it can name them.
#include "TestSupport.h"

#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>


using namespace varnoke::test;

namespace {

struct TRun {
    int ExitCode;
    std::string Out;
};

TRun RunProgram(const std::string& program, const QStringList& arguments,
                const QProcessEnvironment& environment) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QString::fromStdString(program), arguments);
    process.waitForFinished(60'000);
    const std::string out = process.readAllStandardOutput().toStdString() +
                            process.readAllStandardError().toStdString();
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, out};
}

} // namespace

// A copy in a folder it may write keeps its files beside itself, whatever
// the folder is called; one that may not keeps them in the user's folders,
// whatever the user is called. Either way the window starts, and the build
// finds the window's styles without being told where they are.
TEST(ProgramFolder, BothProgramsWorkWhateverTheirFoldersAreCalled) {
    const struct {
        const char* Name;
        std::string Bin;  // the programs' folder
        std::string Home; // $HOME, with no XDG variables set
        std::string Settings;
        std::string Sample; // the style sample in the temp folder
        bool ReadOnlyBin = false;
    } rows[] = {
        {"BesideACopy", "d\xC3\xA9\xE2\x98\x83/", "home/", "d\xC3\xA9\xE2\x98\x83/varnoke.INI",
         "d\xC3\xA9\xE2\x98\x83/temp/sample.html"},
        {"InTheHomeOfJose", "ro/", "jos\xC3\xA9\xE2\x98\x83/",
         "jos\xC3\xA9\xE2\x98\x83/.config/varnoke/varnoke.INI",
         "jos\xC3\xA9\xE2\x98\x83/.cache/varnoke/temp/sample.html", true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Name);
        if (row.ReadOnlyBin && RunningAsRoot())
            continue; // root writes any folder: no copy of root's goes to the user's folders
        TScratchFolder folder;
        const std::string bin = folder.File(row.Bin);
        std::filesystem::create_directories(bin);
        std::filesystem::create_directories(folder.File(row.Home));
        std::filesystem::copy_file(VARNOKE_WINDOW_PROGRAM, bin + "varnoke");
        std::filesystem::copy_file(VARNOKE_BUILD_TOOL, bin + "varnoke-build");
        if (row.ReadOnlyBin)
            std::filesystem::permissions(bin, std::filesystem::perms(0555));
        WriteFile(folder.File("t.txt"), "Chapter\r\n\t\tBody\r\n");
        WriteFile(folder.File("p.vkp"), "[PROJECT]\r\nTEXTNAME=t.txt\r\nOUTPUTPATH=out\r\n");

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HOME", QString::fromStdString(folder.File(row.Home)));
        environment.remove("XDG_CONFIG_HOME");
        environment.remove("XDG_CACHE_HOME");
        environment.insert("QT_QPA_PLATFORM", "offscreen");

        const TRun buildVersion = RunProgram(bin + "varnoke-build", {"--version"}, environment);
        EXPECT_EQ(buildVersion.ExitCode, 0) << buildVersion.Out;
        EXPECT_EQ(buildVersion.Out, "varnoke-build 2.0.0\n");
        const TRun windowVersion = RunProgram(bin + "varnoke", {"--version"}, environment);
        EXPECT_EQ(windowVersion.ExitCode, 0) << windowVersion.Out;
        EXPECT_NE(windowVersion.Out.find("2.0.0"), std::string::npos) << windowVersion.Out;

        // The window's first start saves its settings at once and writes the
        // style sample into its temp folder.
        QProcess window;
        window.setProcessEnvironment(environment);
        window.setProcessChannelMode(QProcess::MergedChannels);
        window.start(QString::fromStdString(bin + "varnoke"), {});
        ASSERT_TRUE(window.waitForStarted(10'000));
        const bool started = QTest::qWaitFor(
            [&] {
                return window.state() != QProcess::Running ||
                       (Exists(folder.File(row.Settings)) && Exists(folder.File(row.Sample)));
            },
            60'000);
        const bool running = window.state() == QProcess::Running;
        window.terminate(); // SIGTERM, and only to a process that still runs
        window.waitForFinished(10'000);
        EXPECT_TRUE(started && running) << window.readAll().toStdString();

        // The build takes those settings' styles: no style is missing.
        const TRun build = RunProgram(bin + "varnoke-build",
                                      {QString::fromStdString(folder.File("p.vkp"))}, environment);
        EXPECT_EQ(build.ExitCode, 0) << build.Out;
        EXPECT_EQ(build.Out, folder.File("out/text.html") + "\n");
        EXPECT_TRUE(Exists(folder.File("out/text.html")));
        if (row.ReadOnlyBin) {
            for (const auto& entry : std::filesystem::directory_iterator(bin)) {
                const std::string name = entry.path().filename().string();
                EXPECT_TRUE(name == "varnoke" || name == "varnoke-build")
                    << "made beside: " << name;
            }
        }
    }
}
