// A real window process gets text typed, is killed with SIGKILL before the
// text is saved, and the next start offers the text back, byte for byte.
#include "FakeDialogs.h"
#include "TestSupport.h"
#include "app/preview/PreviewPane.h"
#include "app/text/TextDocument.h"
#include "app/window/Platform.h"
#include "common/RecoveryCopy.h"
#include "controls/ExtMemo.h"

#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>


using namespace varnoke;
using namespace varnoke::test;

namespace {
class TNoPreview : public TPreviewNavigator {
  public:
    void Navigate(const TNativePath&) override {}
};

std::string WithCrLf(const std::string& text) {
    std::string result;
    for (char c : text)
        result += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return result;
}
} // namespace

TEST(CrashRecovery, AKilledWindowGivesItsUnsavedTextBackAtTheNextStart) {
    TScratchFolder folder;
    // A copy of the program, so that its settings, temp and recovery folders
    // are made beside it, in the scratch folder.
    std::filesystem::create_directory(folder.File("bin"));
    std::filesystem::copy_file(VARNOKE_WINDOW_PROGRAM, folder.File("bin/varnoke"));
    const std::string typed =
        "見出し\n\t節 1\n\t\t本文 caf\xC3\xA9 \xE2\x88\x92 \xF0\x9F\x98\x80\n";
    WriteFile(folder.File("typed.txt"), typed);

    QProcess window;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("VARNOKE_TYPE_AT_START", QString::fromStdString(folder.File("typed.txt")));
    // No installed guide, which a first start would open in place of an
    // empty editor.
    environment.insert("XDG_DATA_HOME", QString::fromStdString(folder.File("share")));
    environment.insert("XDG_DATA_DIRS", QString::fromStdString(folder.File("share")));
    window.setProcessEnvironment(environment);
    window.setProcessChannelMode(QProcess::MergedChannels);
    window.start(QString::fromStdString(folder.File("bin/varnoke")), {});
    ASSERT_TRUE(window.waitForStarted(10'000));

    // The copy appears once the typing has paused for a moment.
    const TRecoveryFolder recovery(folder.Native("bin/recovery/"));
    const auto copied = [&] {
        const std::optional<TRecoveryCopy> copy =
            DecodeRecoveryCopy(ReadFile(recovery.CopyFileOf("").Name()));
        return copy && copy->Text == typed;
    };
    const bool appeared = QTest::qWaitFor(copied, 60'000);
    window.kill(); // SIGKILL, and only to a process that still runs
    window.waitForFinished(10'000);
    ASSERT_TRUE(appeared) << window.readAll().toStdString();
    EXPECT_EQ(window.exitStatus(), QProcess::CrashExit);

    // The next start, over the same folders.
    TPlatformEnvironment next;
    next.SettingsFile = folder.Native("bin/varnoke.INI");
    next.TempFolder = folder.Native("bin/temp/");
    next.RecoveryFolder = folder.Native("bin/recovery/");
    auto dialogs = std::make_unique<TFakeDialogs>();
    TFakeDialogs& shown = *dialogs;
    shown.Answers = {TAnswer::Yes};
    next.Dialogs = std::move(dialogs);
    TNoPreview preview;
    next.MakePreview = [&preview](QWidget*, QWidget*& widget) {
        widget = nullptr;
        return &preview;
    };
    TPlatform restarted(std::move(next));
    restarted.OfferRecoveryAtStartUp();
    ASSERT_EQ(shown.Shown.size(), 1);
    EXPECT_TRUE(shown.Shown[0].endsWith("復元しますか?"));
    EXPECT_TRUE(restarted.TextDocument().Modified());

    // Saved, it is the typed text exactly: a new text with CR LF, in UTF-8
    // because of the emoji.
    shown.FileNames = {QString::fromStdString(folder.File("recovered.txt"))};
    shown.Answers = {TAnswer::Yes};
    EXPECT_TRUE(restarted.SaveTextAs());
    EXPECT_EQ(ReadFile(folder.File("recovered.txt")), WithCrLf(typed));
    EXPECT_FALSE(Exists(recovery.CopyFileOf("").Name()));
}
