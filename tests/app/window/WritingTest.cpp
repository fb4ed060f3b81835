// What an author expects of the editor, through the real window: find and
// replace, redo, the heading outline and the go-to field, the ready styles
// and style import, files dropped or named on the command line, shortcuts
// and the status line.
#include "TypeText.h"
#include "WindowTest.h"
#include "app/preview/PreviewPane.h"
#include "app/window/ExternalFiles.h"
#include "app/window/Platform.h"
#include "controls/EditorStatus.h"
#include "controls/ExtMemo.h"
#include "controls/FindBar.h"
#include "controls/GoToHeading.h"
#include "controls/OutlineModel.h"
#include "controls/OutlinePane.h"
#include "css/CSSProperty.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCommandLineParser>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTreeView>
#include <QUrl>
#include <gtest/gtest.h>

using namespace varnoke;
using namespace varnoke::test;

namespace {

class Writing : public TWindowTest {
  protected:
    std::string Settings() { return folder.File("varnoke.INI"); }
    TExtRichEdit& Editor() { return window->Editor(); }
    TFindBar& Bar() { return window->FindBar(); }
    QStringList OutlineTree() {
        QStringList tree;
        const QAbstractItemModel& model = window->Outline().Model();
        for (int top = 0; top < model.rowCount(); ++top) {
            const QModelIndex index = model.index(top, 0);
            tree << index.data().toString();
            for (int child = 0; child < model.rowCount(index); ++child)
                tree << "  " + model.index(child, 0, index).data().toString();
        }
        return tree;
    }
    int CaretLine() { return Editor().textCursor().blockNumber(); }
    QStringList StyleNames() {
        QStringList names;
        const TCSSPropertyClass& styles = window->SystemData().Styles;
        for (int i = 0; i < styles.Count(); ++i)
            names << QString::fromStdString(styles.Items(i).Name);
        return names;
    }
    // Drops local files on a widget as a file manager does.
    void Drop(QWidget* target, const std::string& file) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(QString::fromStdString(file))});
        const QPoint at = target->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        EXPECT_TRUE(drop.isAccepted());
    }
    std::string ProjectNamingItsText(const std::string& name, const std::string& text) {
        WriteFile(folder.File(name + ".txt"), text);
        WriteFile(folder.File(name + ".vkp"),
                  "[PROJECT]\r\nTEXTNAME=" + name + ".txt\r\nTITLENAME=" + name + "\r\n");
        return folder.File(name + ".vkp");
    }
};

} // namespace

TEST_F(Writing, FindWorksOnCharactersAndWraps) {
    Open();
    ShowActive();
    // "ャ" and "m" hold the bytes of "ノ" between them; "ハ" differs from
    // "ノ" in its second byte only.
    Editor().setPlainText("ャm ハ\nノ ハノ");
    QTest::keyClick(&Editor(), Qt::Key_F, Qt::ControlModifier);
    ASSERT_FALSE(Bar().isHidden());
    EXPECT_TRUE(Bar().FindField().hasFocus());
    TypeText(&Bar().FindField(), "ノ");
    EXPECT_EQ(Editor().textCursor().selectionStart(), 5);
    QTest::keyClick(&Bar().FindField(), Qt::Key_F3);
    EXPECT_EQ(Editor().textCursor().selectionStart(), 8);
    QTest::keyClick(&Bar().FindField(), Qt::Key_F3);
    EXPECT_EQ(Editor().textCursor().selectionStart(), 5);
    EXPECT_EQ(Bar().Message(), "先頭から検索しました");
    QTest::keyClick(&Bar().FindField(), Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(Editor().textCursor().selectionStart(), 8);
    // Esc closes the bar and the author types on in the text.
    QTest::keyClick(&Bar().FindField(), Qt::Key_Escape);
    EXPECT_TRUE(Bar().isHidden());
    EXPECT_TRUE(Editor().hasFocus());
}

TEST_F(Writing, ReplaceAllIsOneUndoStepAndRedoBringsItBack) {
    Open();
    ShowActive();
    Editor().setPlainText("章1\n\t節\n\t\t章の本文、章の終わり\n");
    EXPECT_FALSE(Item("R1")->isEnabled());
    QTest::keyClick(&Editor(), Qt::Key_H, Qt::ControlModifier);
    Bar().FindField().setText("章");
    Bar().ReplaceField().setText("Chapter ");
    Bar().findChild<QPushButton*>("ReplaceAll")->click();
    const QString replaced = "Chapter 1\n\t節\n\t\tChapter の本文、Chapter の終わり\n";
    EXPECT_EQ(Editor().toPlainText(), replaced);
    EXPECT_EQ(OutlineTree(), (QStringList{"Chapter 1", "  節"}));
    EXPECT_EQ(Bar().Message(), "3 件置換しました");
    Editor().setFocus();
    QTest::keyClick(&Editor(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Editor().toPlainText(), "章1\n\t節\n\t\t章の本文、章の終わり\n");
    // The count was of a text that is no more.
    EXPECT_EQ(Bar().Message(), "");
    EXPECT_EQ(OutlineTree(), (QStringList{"章1", "  節"}));
    ASSERT_TRUE(Item("R1")->isEnabled());
    QTest::keyClick(&Editor(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(Editor().toPlainText(), replaced);
    QTest::keyClick(&Editor(), Qt::Key_Z, Qt::ControlModifier);
    Item("R1")->trigger();
    EXPECT_EQ(Editor().toPlainText(), replaced);
    QTest::keyClick(&Editor(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(&Editor(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Editor().toPlainText(), replaced);
    EXPECT_FALSE(Item("R1")->isEnabled());

    // Likewise the next edit; a heading with characters Shift-JIS lacks is
    // listed with those characters.
    Bar().FindField().setText("Chapter ");
    Bar().ReplaceField().setText("☃");
    Bar().findChild<QPushButton*>("ReplaceAll")->click();
    EXPECT_EQ(Bar().Message(), "3 件置換しました");
    Editor().moveCursor(QTextCursor::End);
    QTest::keyClick(&Editor(), Qt::Key_X);
    EXPECT_EQ(Bar().Message(), "");
    EXPECT_EQ(OutlineTree().first().left(2), "☃1");
}

TEST_F(Writing, OutlineFollowsTypingAndTakesTheCaretToAHeading) {
    Open();
    ShowActive();
    Editor().setFocus();
    TypeText(&Editor(), "第1章\n\t\t本文\n");
    EXPECT_EQ(OutlineTree(), (QStringList{"第1章"}));
    TypeText(&Editor(), "\t概要\n第2章\n\t詳細");
    EXPECT_EQ(OutlineTree(), (QStringList{"第1章", "  概要", "第2章", "  詳細"}));
    // Removing the tab of a heading makes it a main heading of its own.
    Editor().setTextCursor(QTextCursor(Editor().document()->findBlockByNumber(2)));
    QTest::keyClick(&Editor(), Qt::Key_Delete);
    EXPECT_EQ(OutlineTree(), (QStringList{"第1章", "概要", "第2章", "  詳細"}));
    // The heading under the caret is the outline's current entry.
    EXPECT_EQ(window->Outline().Tree().currentIndex().data().toString(), "概要");

    QTreeView& tree = window->Outline().Tree();
    const QModelIndex second = window->Outline().Model().index(2, 0);
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, tree.visualRect(second).center());
    EXPECT_EQ(CaretLine(), 3);
    EXPECT_TRUE(Editor().hasFocus());

    // Ctrl+J: type part of a heading, Enter.
    QTest::keyClick(&Editor(), Qt::Key_J, Qt::ControlModifier);
    TGoToHeading& go = window->GoToHeading();
    ASSERT_FALSE(go.isHidden());
    TypeText(&go.Field(), "詳");
    QTest::keyClick(&go.Field(), Qt::Key_Return);
    EXPECT_TRUE(go.isHidden());
    EXPECT_EQ(CaretLine(), 4);
}

TEST_F(Writing, TheOutlineToggleIsKeptInTheSettings) {
    Open();
    QAction* toggle = Item("OutlineToggle");
    ASSERT_TRUE(toggle->isChecked());
    toggle->trigger();
    EXPECT_TRUE(window->Outline().isHidden());
    window.reset();
    EXPECT_NE(ReadFile(Settings()).find("SHOWOUTLINE=0\r\n"), std::string::npos);
    Open();
    EXPECT_FALSE(Item("OutlineToggle")->isChecked());
    EXPECT_TRUE(window->Outline().isHidden());
}

TEST_F(Writing, AFirstStartBringsReadyStylesThatMakeAFinishedLook) {
    Open();
    const QStringList names = StyleNames();
    ASSERT_GE(names.size(), 3);
    EXPECT_EQ(window->findChild<QComboBox*>("ComboBox18")->count(), names.size());
    EXPECT_NE(ReadFile(Settings()).find("[STYLE]"), std::string::npos);

    // The first style, which a new project uses everywhere, is not the
    // plain look of a new style.
    window->Editor().setPlainText("A\n\tb\n\t\tc\n");
    TCSSProperty("PLAIN").WriteCSS(folder.Native("plain.css"));
    EXPECT_NE(ReadFile(folder.File("temp/text.css")), ReadFile(folder.File("plain.css")));

    // Later starts read the styles from the settings file: a deleted one
    // stays deleted.
    window->SystemData().Styles.Delete(0);
    window->SystemData().Styles.SaveToFile(TNativePath(Settings()));
    Open();
    EXPECT_EQ(StyleNames(), names.mid(1));

    // A settings file without styles is no first start.
    WriteFile(Settings(), "[SYSTEM]\r\nTABSPACE=4\r\n");
    Open();
    EXPECT_TRUE(StyleNames().isEmpty());
}

TEST_F(Writing, ImportAppendsStylesAndNumbersTakenNames) {
    Open("[SYSTEM]\r\nAUTOSAVEFLAG=1\r\n[STYLE]\r\nCOUNT=1\r\nSTYLE0=MENU\r\n");
    const QString example = VARNOKE_EXAMPLES "/styles.INI";
    dialogs->FileNames = {example, example};
    Item("ImportStyles1")->trigger();
    EXPECT_EQ(StyleNames(), (QStringList{"MENU", "STANDARD", "MENU(2)", "TITLE"}));
    EXPECT_EQ(window->SystemData().StyleIndex, 1);
    Item("ImportStyles1")->trigger();
    EXPECT_EQ(StyleNames().mid(4), (QStringList{"STANDARD(2)", "MENU(3)", "TITLE(2)"}));
    // With automatic saving on, the style file holds them at once.
    const std::string saved = ReadFile(Settings());
    EXPECT_NE(saved.find("STYLE6=TITLE(2)\r\n"), std::string::npos);
    EXPECT_NE(saved.find("[MENU(3)_H1_FONT]"), std::string::npos);
    EXPECT_EQ(window->findChild<QComboBox*>("ComboBox16")->itemText(5), "5:MENU(3)");

    // Off, they live in memory until saved; a cancelled dialog does nothing.
    Item("A2")->trigger();
    dialogs->FileNames = {example, std::nullopt};
    Item("ImportStyles1")->trigger();
    Item("ImportStyles1")->trigger();
    EXPECT_EQ(StyleNames().size(), 10);
    EXPECT_EQ(ReadFile(Settings()), saved);

    dialogs->FileNames = {QString::fromStdString(folder.File("none.INI"))};
    Item("ImportStyles1")->trigger();
    EXPECT_EQ(dialogs->Shown.last(), "warning: 取り込めるスタイルがありません.");
}

TEST_F(Writing, DroppedFilesOpenAsProjectOrText) {
    Open();
    const std::string project = ProjectNamingItsText("guide", "A\r\n\tb\r\n");
    Drop(Editor().viewport(), project);
    EXPECT_EQ(window->SystemData().ProjectFile, project);
    EXPECT_EQ(window->ProjectData().TitleName, "guide");
    EXPECT_EQ(Editor().toPlainText(), "A\n\tb\n");
    EXPECT_EQ(OutlineTree(), (QStringList{"A", "  b"}));
    EXPECT_FALSE(window->SystemData().ProjectModified);

    // Anything else is the text; on the settings page as well.
    WriteFile(folder.File("notes.md"), "Notes\r\n");
    Drop(window->Control("TabSheet1"), folder.File("notes.md"));
    EXPECT_EQ(Editor().toPlainText(), "Notes\n");
    // Beside the project, the project names it relatively.
    EXPECT_EQ(window->ProjectData().TextName, "notes.md");
    EXPECT_TRUE(window->SystemData().ProjectModified);

    // Dragged text (not a file) is still the editor's to take.
    QMimeData text;
    text.setText("plain");
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Editor().viewport(), &enter);
    EXPECT_EQ(Editor().toPlainText(), "Notes\n");
}

TEST_F(Writing, AFileOnTheCommandLineOpensAsProjectOrText) {
    const std::string project = ProjectNamingItsText("cli", "Top\r\n");
    WriteFile(folder.File("loose.txt"), "Loose\r\n");
    const auto start = [&](const QStringList& arguments) {
        Open();
        QCommandLineParser parser;
        AddFileArgument(parser);
        ASSERT_TRUE(parser.parse(arguments));
        OpenFileArgument(*window, parser);
    };
    start({"varnoke", QString::fromStdString(project)});
    EXPECT_EQ(window->SystemData().ProjectFile, project);
    EXPECT_EQ(Editor().toPlainText(), "Top\n");

    start({"varnoke", QString::fromStdString(folder.File("loose.txt"))});
    EXPECT_EQ(window->ProjectData().TextName, folder.File("loose.txt"));
    EXPECT_EQ(Editor().toPlainText(), "Loose\n");

    start({"varnoke", QString::fromStdString(folder.File("gone.vkp"))});
    ASSERT_FALSE(dialogs->Shown.isEmpty());
    EXPECT_TRUE(dialogs->Shown.last().startsWith("error: ファイル \"" +
                                                 QString::fromStdString(folder.File("gone.vkp"))))
        << dialogs->Shown.last().toStdString();
    EXPECT_EQ(window->SystemData().ProjectFile, project); // the one before
}

TEST_F(Writing, ExecuteHasF5) {
    Open();
    ShowActive();
    QAction* execute = Item("ToolButton7");
    EXPECT_EQ(execute->shortcut(), QKeySequence(Qt::Key_F5));
    EXPECT_TRUE(execute->toolTip().contains("F5"));
    window->ProjectData().OutputPath = folder.File("out");
    std::filesystem::create_directory(folder.File("out"));
    window->SetRefreshPending();
    window->RefreshAll();
    QTest::keyClick(&Editor(), Qt::Key_F5);
    EXPECT_TRUE(Exists(folder.File("out/text.html")));
}

TEST_F(Writing, TheStatusLineShowsCaretTextAndLastBuild) {
    Open();
    TEditorStatus& status = window->EditorStatus();
    // Start-up builds the preview of the empty text.
    EXPECT_EQ(status.Text(), "1 行, 1 列 | Shift-JIS | CR LF | 見出し 0 ・ 1 ページ");
    Editor().setPlainText("A\n\tb\nB\n\t\tbody\n");
    QTextCursor cursor(Editor().document()->findBlockByNumber(3));
    cursor.movePosition(QTextCursor::EndOfBlock);
    Editor().setTextCursor(cursor);
    EXPECT_EQ(status.Text(), "4 行, 7 列 | Shift-JIS | CR LF | 見出し 3 ・ 1 ページ");
    // Split, every main heading has its page.
    window->ProjectData().FileDivideFlag = true;
    window->MakePreview();
    EXPECT_TRUE(status.Text().endsWith("見出し 3 ・ 2 ページ"));
    status.SetEncoding("UTF-8");
    status.SetLineEnds("LF");
    EXPECT_TRUE(status.Text().startsWith("4 行, 7 列 | UTF-8 | LF"));
}

TEST_F(Writing, ADropOverUnsavedWorkAsksFirst) {
    Open();
    const std::string project = ProjectNamingItsText("guide", "A\r\n");
    Editor().insertPlainText("unsaved work\n"); // typed, so not saved anywhere
    WriteFile(folder.File("notes.md"), "Notes\r\n");

    dialogs->Answers = {TAnswer::Cancel};
    Drop(Editor().viewport(), folder.File("notes.md"));
    ASSERT_FALSE(dialogs->Shown.isEmpty());
    EXPECT_EQ(dialogs->Shown.last(), "ask: 警告: テキストファイルを保存しますか?");
    EXPECT_EQ(Editor().toPlainText(), "unsaved work\n");

    dialogs->Answers = {TAnswer::Cancel};
    Drop(Editor().viewport(), project);
    EXPECT_EQ(Editor().toPlainText(), "unsaved work\n");
    EXPECT_NE(window->SystemData().ProjectFile, project);

    // No drops the unsaved text; the project opens.
    dialogs->Answers = {TAnswer::No};
    Drop(Editor().viewport(), project);
    EXPECT_EQ(window->SystemData().ProjectFile, project);
    EXPECT_EQ(Editor().toPlainText(), "A\n");
}

TEST_F(Writing, TheStatusLineNamesTheFormOfTheOpenedText) {
    Open();
    const struct {
        std::string Bytes;
        const char* Status;
    } rows[] = {
        {"\xEF\xBB\xBF"
         "caf\xC3\xA9\n",
         "1 行, 1 列 | UTF-8 (BOM) | LF"},
        {Utf16File(u"caf\u00E9\r\n", false), "1 行, 1 列 | UTF-16 LE | CR LF"},
        {Utf16File(u"caf\u00E9\n", true), "1 行, 1 列 | UTF-16 BE | LF"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Status);
        WriteFile(folder.File("text.txt"), row.Bytes);
        dialogs->FileNames = {QString::fromStdString(folder.File("text.txt"))};
        Item("T1")->trigger();
        EXPECT_EQ(Editor().toPlainText(), QString::fromUtf8("café\n"));
        EXPECT_TRUE(window->EditorStatus().Text().startsWith(row.Status))
            << window->EditorStatus().Text().toStdString();
    }
}
