// What the window says of the author's work is true: the title and the
// saves cover the text and the project, the project names its text as the
// author would, the status line tells what happened to the text on disk,
// and opening never puts one text under another project.
#include "WindowTest.h"
#include "app/text/TextDocument.h"
#include "app/window/ExternalFiles.h"
#include "app/window/StatusLine.h"
#include "common/RecoveryCopy.h"
#include "controls/ExtMemo.h"

#include <QCommandLineParser>
#include <QLineEdit>
#include <QMenu>

#include <filesystem>

#include <unistd.h>

using namespace varnoke;
using namespace varnoke::test;

namespace {

class WindowStates : public TWindowTest {
  protected:
    TExtRichEdit& Editor() { return window->Editor(); }
    void Type(const QString& text) {
        Editor().moveCursor(QTextCursor::End);
        QTest::keyClicks(&Editor(), text);
    }
};

} // namespace

TEST_F(WindowStates, OneSaveAfterNewNamesTheTextAndThenTheProject) {
    Open();
    Item("N1")->trigger();
    Type("A");
    EXPECT_EQ(window->windowTitle(), "無題* - Varnoke V2");
    dialogs->FileNames = {Q(folder.File("t.txt")), Q(folder.File("p.vkp"))};
    Item("S1")->trigger();
    ASSERT_EQ(dialogs->Shown.size(), 2) << dialogs->Shown.join('\n').toStdString();
    EXPECT_EQ(dialogs->Shown[0], "save: テキストファイルを保存");
    EXPECT_EQ(dialogs->Shown[1], "save: ﾌﾟﾛｼﾞｪｸﾄﾌｧｲﾙを保存");
    EXPECT_EQ(ReadFile(folder.File("t.txt")), "A");
    // The text beside the project is named relative to it.
    EXPECT_NE(ReadFile(folder.File("p.vkp")).find("TEXTNAME=t.txt\r\n"), std::string::npos);
    EXPECT_EQ(window->windowTitle(), "t.txt - Varnoke V2");
    EXPECT_FALSE(Item("S1")->isEnabled());

    // A change of the project alone shows in the title too.
    Find<QLineEdit>("Edit3")->setFocus();
    QTest::keyClicks(Find<QLineEdit>("Edit3"), "site");
    EXPECT_EQ(window->windowTitle(), "t.txt* - Varnoke V2");
}

TEST_F(WindowStates, OpenTextNamesAFileInTheProjectsFolderRelatively) {
    struct TRow {
        std::string File, Stored;
    };
    std::filesystem::create_directories(folder.File("work/sub"));
    std::filesystem::create_directories(folder.File("elsewhere"));
    const TRow rows[] = {{"work/sub/x.txt", "sub/x.txt"},
                         {"work/y.txt", "y.txt"},
                         {"elsewhere/z.txt", folder.File("elsewhere/z.txt")}};
    Open();
    WriteFile(folder.File("work/p.txt"), "P\r\n");
    WriteFile(folder.File("work/p.vkp"), "[PROJECT]\r\nTEXTNAME=p.txt\r\n");
    window->OpenProject(folder.File("work/p.vkp"));
    for (const TRow& row : rows) {
        WriteFile(folder.File(row.File), "T\r\n");
        dialogs->FileNames = {Q(folder.File(row.File))};
        Item("T1")->trigger();
        EXPECT_EQ(window->ProjectData().TextName, row.Stored) << row.File;
        EXPECT_EQ(Find<QLineEdit>("Edit4")->text(), Q(row.Stored)) << row.File;
    }
}

TEST_F(WindowStates, TheStatusLineSaysWhatBecameOfTheTextAndOfExecute) {
    Open();
    WriteFile(folder.File("t.txt"), "A\r\n");
    dialogs->FileNames = {Q(folder.File("t.txt"))};
    Item("T1")->trigger();
    std::filesystem::remove(folder.File("t.txt"));
    ASSERT_TRUE(Eventually([&] { return window->TextDocument().Modified(); }));
    EXPECT_TRUE(window->StatusLine().MessageText().contains("削除されました"))
        << window->StatusLine().MessageText().toStdString();
    // Until the text is written again.
    Item("SaveText")->trigger();
    EXPECT_TRUE(Exists(folder.File("t.txt")));
    EXPECT_EQ(window->StatusLine().MessageText(), "");

    // Execute is in the File menu, and reports what a large manual took,
    // to the millisecond.
    const QList<QObject*> menus = Item("X1")->associatedObjects();
    ASSERT_FALSE(menus.isEmpty());
    EXPECT_TRUE(qobject_cast<QMenu*>(menus[0])->actions().contains(Item("ToolButton7")));
    Editor().setPlainText(QStringLiteral("見出し\n\t\t本文の行です。\n").repeated(40'000));
    window->ProjectData().OutputPath = folder.File("out");
    Item("ToolButton7")->setEnabled(true);
    Item("ToolButton7")->trigger();
    const QRegularExpression took(QStringLiteral("ファイル, ([0-9]+\\.[0-9]{3}) 秒\\)$"));
    const QRegularExpressionMatch match = took.match(window->StatusLine().MessageText());
    ASSERT_TRUE(match.hasMatch()) << window->StatusLine().MessageText().toStdString();
    EXPECT_GT(match.captured(1).toDouble(), 0.0);
}

TEST_F(WindowStates, ARecoveredTextOfAnotherFileOpensAsThatText) {
    recoveryFolder = folder.File("recovery/");
    WriteFile(folder.File("g.txt"), "on disk\r\n");
    WriteFile(folder.File("g.vkp"), "[PROJECT]\r\nTEXTNAME=g.txt\r\n");
    Open();
    TRecoveryFolder(TNativePath{recoveryFolder}).Write({"", NowMs() + 60'000, "typed after New"});
    QCommandLineParser parser;
    AddFileArgument(parser);
    ASSERT_TRUE(parser.parse({"varnoke", Q(folder.File("g.vkp"))}));
    dialogs->Answers = {TAnswer::Yes};
    OpenAtStart(*window, parser);
    EXPECT_EQ(Editor().toPlainText(), "typed after New");
    // The project no longer names g.txt, whose text is not in the editor.
    EXPECT_EQ(window->ProjectData().TextName, "");
    EXPECT_TRUE(window->SystemData().ProjectModified);
    EXPECT_EQ(Find<QLineEdit>("Edit4")->text(), "");
    EXPECT_EQ(ReadFile(folder.File("g.txt")), "on disk\r\n");
}

TEST_F(WindowStates, AProjectWhoseTextCannotBeReadLeavesTheEditorAsItWas) {
    std::filesystem::create_directory(folder.File("folder.txt"));
    WriteFile(folder.File("locked.txt"), "L\r\n");
    std::filesystem::permissions(folder.File("locked.txt"), std::filesystem::perms::none);
    // Root reads any file: the locked text is a case for other users.
    const bool locked = ::geteuid() != 0;
    for (const std::string text : {"folder.txt", "locked.txt"}) {
        if (text == "locked.txt" && !locked)
            continue;
        Open();
        WriteFile(folder.File("a.txt"), "A\r\n");
        WriteFile(folder.File("a.vkp"), "[PROJECT]\r\nTEXTNAME=a.txt\r\n");
        window->OpenProject(folder.File("a.vkp"));
        window->MarkModified();
        const int listed = Find<QMenu>("N15")->actions().size();
        WriteFile(folder.File("b.vkp"), "[PROJECT]\r\nTEXTNAME=" + text + "\r\n");
        EXPECT_ANY_THROW(window->OpenProject(folder.File("b.vkp"))) << text;
        EXPECT_EQ(Editor().toPlainText(), "A\n") << text;
        EXPECT_EQ(window->TextDocument().FileName(), folder.File("a.txt")) << text;
        // Not listed, not marked saved, not refreshed.
        EXPECT_EQ(Find<QMenu>("N15")->actions().size(), listed) << text;
        EXPECT_TRUE(window->SystemData().ProjectModified) << text;
        EXPECT_TRUE(window->RefreshPending()) << text;
    }
}
