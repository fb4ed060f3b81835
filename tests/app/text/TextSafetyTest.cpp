// The author's text is never lost: the window driven as a user would, with
// dialogs answered by the test. Saving in the text's own form, the question
// before every command that drops a modified text, recovery copies, changes
// made on disk by other programs, and bad input.
#include "WindowTest.h"
#include "app/preview/PreviewPane.h"
#include "app/styles/StylePage.h"
#include "app/text/TextDocument.h"
#include "app/text/TextFileWatcher.h"
#include "app/window/ExternalFiles.h"
#include "app/window/Platform.h"
#include "common/Errors.h"
#include "common/RecoveryCopy.h"
#include "common/ShiftJis.h"
#include "controls/ExtMemo.h"
#include "controls/RETabWidth.h"

#include <QAction>
#include <QComboBox>
#include <QCommandLineParser>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTextBlock>
#include <gtest/gtest.h>

using namespace varnoke;
using namespace varnoke::test;

namespace {

const QString SaveTextQuestion = "ask: 警告: テキストファイルを保存しますか?";

class TextSafety : public TWindowTest {
  protected:
    TextSafety() {
        recoveryFolder = folder.File("recovery/");
        recoveryDelayMs = 10;
    }

    // A project "<name>.vkp" naming its text "<name>.txt" (absolute) in the
    // scratch folder, opened in the window.
    std::string OpenProjectWithText(const std::string& name, const std::string& textBytes,
                                    const std::string& projectBody = "") {
        WriteFile(folder.File(name + ".txt"), textBytes);
        WriteFile(folder.File(name + ".vkp"),
                  "[PROJECT]\r\nTEXTNAME=" + folder.File(name + ".txt") + "\r\n" + projectBody);
        window->OpenProject(folder.File(name + ".vkp"));
        return folder.File(name + ".txt");
    }

    TExtRichEdit& Editor() { return window->Editor(); }
    TTextDocument& Text() { return window->TextDocument(); }
    QString EditorText() { return Editor().toPlainText(); }
    std::string CopyOf(const std::string& textFile) {
        return TRecoveryFolder(folder.Native("recovery/")).CopyFileOf(textFile).Name();
    }

    // Types at the end of the text: keys for ASCII, an input-method commit
    // for anything else, as a Japanese input method hands text over.
    void TypeAtEnd(const QString& text) {
        Editor().moveCursor(QTextCursor::End);
        bool ascii = true;
        for (QChar c : text)
            ascii = ascii && c.unicode() < 0x80;
        if (ascii) {
            QTest::keyClicks(&Editor(), text);
            return;
        }
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QApplication::sendEvent(&Editor(), &commit);
    }
};

// Rewrites a file the way editors save: a new file renamed over the old.
void ReplaceByRename(const std::string& path, const std::string& bytes) {
    WriteFile(path + ".new", bytes);
    std::filesystem::rename(path + ".new", path);
}

} // namespace

// ---- saving ------------------------------------------------------------------

TEST_F(TextSafety, AnEditedTextIsWrittenBackInItsOwnForm) {
    // é, U+2212 MINUS SIGN, an emoji and a no-break space.
    const std::string utf8 = "caf\xC3\xA9 \xE2\x88\x92 \xF0\x9F\x98\x80\xC2\xA0\n\t\xE7\xAF\x80\n";
    const std::string files[] = {
        Sjis("見出し\r\n\t節\r\n\t\t本文です。ｶﾀｶﾅ\r\n"), // Shift-JIS, CR LF
        Sjis("見出し\n\t節"),                             // Shift-JIS, LF, no final break
        utf8,                                             // UTF-8 without a byte-order mark
        "\xEF\xBB\xBF" + std::string("caf\xC3\xA9\r\n\xF0\x9F\x98\x80\r\n"), // with one
        Utf16File(u"caf\u00E9 \u2603\r\n\t\U0001F600\r\n", false),           // Notepad's "Unicode"
        Utf16File(u"\u898B\u51FA\u3057\n\t\u00E9", true), // big-endian, LF, no final break
    };
    Open();
    int n = 0;
    for (const std::string& bytes : files) {
        SCOPED_TRACE(n);
        const std::string file = OpenProjectWithText("t" + std::to_string(n++), bytes);
        TypeAtEnd("x");
        QTest::keyClick(&Editor(), Qt::Key_Backspace);
        ASSERT_TRUE(Text().Modified());
        Item("S1")->trigger();
        EXPECT_EQ(ReadFile(file), bytes);
        EXPECT_FALSE(Text().Modified());
    }
    // The editor shows the characters themselves, not character references
    // or their nearest Shift-JIS look-alikes.
    OpenProjectWithText("u", utf8);
    const QString raw = Editor().document()->toRawText(); // toPlainText() hides U+00A0
    EXPECT_EQ(QString(raw).replace(QChar::ParagraphSeparator, '\n').toStdString(), utf8);
}

TEST_F(TextSafety, OverwriteSaveWritesOnlyTheTextWhenOnlyTheTextChanged) {
    Open();
    EXPECT_EQ(window->windowTitle(), "Varnoke V2");
    const std::string file = OpenProjectWithText("guide", "A\r\n");
    EXPECT_EQ(window->windowTitle(), "guide.txt - Varnoke V2");
    EXPECT_FALSE(Item("S1")->isEnabled());
    TypeAtEnd("B");
    EXPECT_EQ(window->windowTitle(), "guide.txt* - Varnoke V2");
    EXPECT_TRUE(Item("S1")->isEnabled());
    const std::string project = ReadFile(folder.File("guide.vkp"));
    Item("S1")->trigger();
    EXPECT_EQ(ReadFile(file), "A\r\nB");
    EXPECT_EQ(ReadFile(folder.File("guide.vkp")), project);
    EXPECT_TRUE(dialogs->Shown.filter("save").isEmpty());
    EXPECT_FALSE(Item("S1")->isEnabled());
    EXPECT_EQ(window->windowTitle(), "guide.txt - Varnoke V2");

    // Both modified: the text, then the project.
    TypeAtEnd("C");
    QTest::keyClicks(window->findChild<QLineEdit*>("Edit3"), "/out");
    Item("S1")->trigger();
    EXPECT_EQ(ReadFile(file), "A\r\nBC");
    EXPECT_NE(ReadFile(folder.File("guide.vkp")).find("OUTPUTPATH=/out"), std::string::npos);
    EXPECT_FALSE(Item("S1")->isEnabled());
}

TEST_F(TextSafety, ANewTextIsSavedAsShiftJisOrAsUtf8WhenItMustBe) {
    Open();
    TypeAtEnd("A\tb");
    QTest::keyClick(&Editor(), Qt::Key_Return);
    TypeAtEnd("見出し");
    EXPECT_EQ(window->windowTitle(), "無題* - Varnoke V2");
    dialogs->FileNames = {QString::fromStdString(folder.File("new.txt"))};
    Item("SaveText")->trigger(); // no file yet: save as
    EXPECT_EQ(ReadFile(folder.File("new.txt")), "A\tb\r\n" + Sjis("見出し"));
    EXPECT_EQ(window->ProjectData().TextName, folder.File("new.txt"));
    EXPECT_TRUE(window->SystemData().ProjectModified); // the project names its text now

    // An emoji has no Shift-JIS form: Cancel saves nothing.
    TypeAtEnd("\xF0\x9F\x98\x80");
    dialogs->Answers = {TAnswer::Cancel};
    Item("SaveText")->trigger();
    EXPECT_TRUE(dialogs->Shown.last().endsWith("UTF-8 で保存しますか?"));
    EXPECT_EQ(ReadFile(folder.File("new.txt")), "A\tb\r\n" + Sjis("見出し"));
    EXPECT_TRUE(Text().Modified());
    // Yes writes UTF-8 with the text's CR LF; never a character reference.
    dialogs->Answers = {TAnswer::Yes};
    Item("SaveText")->trigger();
    EXPECT_EQ(ReadFile(folder.File("new.txt")), "A\tb\r\n見出し\xF0\x9F\x98\x80");
    EXPECT_EQ(Text().Format().Encoding, TTextEncoding::Utf8);
    EXPECT_FALSE(Text().Modified());
}

TEST_F(TextSafety, AFailedSaveKeepsTheTextItsMarkAndItsRecoveryCopy) {
    Open();
    std::filesystem::create_directory(folder.File("sub"));
    WriteFile(folder.File("sub/t.vkp"), "[PROJECT]\r\nTEXTNAME=t.txt\r\n");
    WriteFile(folder.File("sub/t.txt"), "old");
    window->OpenProject(folder.File("sub/t.vkp"));
    TypeAtEnd(" and new");
    Text().WriteRecoveryCopy();
    const std::string copy = CopyOf(folder.File("sub/t.txt"));
    ASSERT_TRUE(Exists(copy));

    // A disk that is full, then a folder that is gone.
    SetWriteFaultHookForTesting([](size_t) { return ENOSPC; });
    Item("S1")->trigger();
    SetWriteFaultHookForTesting(nullptr);
    std::filesystem::remove_all(folder.File("sub"));
    Item("SaveText")->trigger();
    const QStringList errors = dialogs->Shown.filter("error");
    ASSERT_EQ(errors.size(), 2);
    for (const QString& error : errors) {
        EXPECT_TRUE(error.contains(QString::fromStdString(folder.File("sub/t.txt"))));
        EXPECT_TRUE(error.contains("を作成できません"));
    }
    EXPECT_EQ(EditorText(), "old and new");
    EXPECT_TRUE(Text().Modified());
    EXPECT_TRUE(Exists(copy));
}

TEST_F(TextSafety, ASaveIntoAReadOnlyFolderIsRefused) {
    if (RunningAsRoot())
        GTEST_SKIP() << "root may write into any folder";
    Open();
    const std::string file = OpenProjectWithText("ro", "old");
    TypeAtEnd("er");
    std::filesystem::permissions(folder.Path(), std::filesystem::perms(0555));
    Item("S1")->trigger();
    std::filesystem::permissions(folder.Path(), std::filesystem::perms(0755));
    ASSERT_EQ(dialogs->Shown.filter("error").size(), 1);
    EXPECT_TRUE(dialogs->Shown.last().contains("を作成できません"));
    EXPECT_EQ(ReadFile(file), "old");
    EXPECT_TRUE(Text().Modified());
}

// ---- asking before the text is dropped ----------------------------------------

TEST_F(TextSafety, EveryCommandThatDropsAModifiedTextAsksFirst) {
    Open();
    const std::string other = folder.File("other.vkp");
    WriteFile(folder.File("other.txt"), "other");
    WriteFile(other, "[PROJECT]\r\nTITLENAME=Other\r\nTEXTNAME=other.txt\r\n");
    window->OpenProject(other); // into the recent list
    const std::string file = OpenProjectWithText("mine", "text\r\n", "TITLENAME=Mine\r\n");
    TypeAtEnd("typed");
    const QString typed = EditorText();

    const std::pair<const char*, std::function<void()>> commands[] = {
        {"close", [&] { EXPECT_FALSE(window->close()); }},
        {"new", [&] { Item("N1")->trigger(); }},
        {"open project", [&] { Item("O1")->trigger(); }},
        {"recent project", [&] { window->findChild<QMenu*>("N15")->actions()[1]->trigger(); }},
        {"open text", [&] { Item("T1")->trigger(); }},
        {"enter in the text-file field",
         [&] { QTest::keyClick(window->findChild<QLineEdit*>("Edit4"), Qt::Key_Return); }},
    };
    for (const auto& [name, command] : commands) {
        SCOPED_TRACE(name);
        dialogs->Shown.clear();
        dialogs->Answers = {TAnswer::Cancel};
        command();
        ASSERT_FALSE(dialogs->Shown.isEmpty());
        EXPECT_EQ(dialogs->Shown.first(), SaveTextQuestion);
        EXPECT_EQ(dialogs->Shown.size(), 1); // no dialog of the command itself
        EXPECT_EQ(EditorText(), typed);
        EXPECT_TRUE(Text().Modified());
        EXPECT_EQ(window->ProjectData().TitleName, "Mine");
        EXPECT_EQ(Text().FileName(), file);
    }
}

TEST_F(TextSafety, TheTextIsAskedBeforeTheProjectAndYesSavesIt) {
    Open();
    const std::string file = OpenProjectWithText("mine", "text");
    TypeAtEnd("!");
    QTest::keyClicks(window->findChild<QLineEdit*>("Edit3"), "/out");
    // Yes to the text, Cancel to the project: the text is saved, nothing opens.
    dialogs->Answers = {TAnswer::Yes, TAnswer::Cancel};
    Item("O1")->trigger();
    EXPECT_EQ(dialogs->Shown,
              QStringList({SaveTextQuestion, "ask: 警告: プロジェクトを保存しますか?"}));
    EXPECT_EQ(ReadFile(file), "text!");
    EXPECT_FALSE(Text().Modified());

    // No drops the text: New starts an empty one, and its recovery copy goes.
    TypeAtEnd("?");
    Text().WriteRecoveryCopy();
    ASSERT_TRUE(Exists(CopyOf(file)));
    dialogs->Answers = {TAnswer::No, TAnswer::No};
    Item("N1")->trigger();
    EXPECT_EQ(EditorText(), "");
    EXPECT_EQ(Text().FileName(), "");
    EXPECT_EQ(window->ProjectData().OutputPath, "");
    EXPECT_FALSE(Exists(CopyOf(file)));
    EXPECT_EQ(ReadFile(file), "text!");
}

TEST_F(TextSafety, AFailedOrCancelledSaveStopsTheCommand) {
    Open();
    TypeAtEnd("unsaved");
    // No file yet: Yes opens the save dialog; cancelling it stops New.
    window->ProjectData().TitleName = "Keep";
    dialogs->Answers = {TAnswer::Yes};
    Item("N1")->trigger();
    EXPECT_EQ(dialogs->Shown.last(), "save: テキストファイルを保存");
    EXPECT_EQ(window->ProjectData().TitleName, "Keep");
    // A save that fails stops the close.
    dialogs->Answers = {TAnswer::Yes};
    dialogs->FileNames = {QString::fromStdString(folder.File("gone/t.txt"))};
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(dialogs->Shown.last().startsWith("error: "));
    EXPECT_EQ(EditorText(), "unsaved");
    // No closes the window and takes the recovery copy with it.
    Text().WriteRecoveryCopy();
    ASSERT_TRUE(Exists(CopyOf("")));
    dialogs->Answers = {TAnswer::No};
    EXPECT_TRUE(window->close());
    EXPECT_FALSE(Exists(CopyOf("")));
}

// ---- recovery copies ------------------------------------------------------------

TEST_F(TextSafety, TheRecoveryCopyFollowsTheUnsavedTextAndGoesWithASave) {
    Open();
    const std::string file = OpenProjectWithText("r", "saved");
    EXPECT_FALSE(Exists(CopyOf(file)));
    TypeAtEnd(" typed");
    ASSERT_TRUE(QTest::qWaitFor([&] { return Exists(CopyOf(file)); }, 5000));
    const std::optional<TRecoveryCopy> copy = DecodeRecoveryCopy(ReadFile(CopyOf(file)));
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->TextFile, file);
    EXPECT_EQ(copy->Text, "saved typed");
    Item("S1")->trigger();
    EXPECT_FALSE(Exists(CopyOf(file)));
    // Undoing every change also leaves nothing to recover.
    TypeAtEnd("x");
    ASSERT_TRUE(QTest::qWaitFor([&] { return Exists(CopyOf(file)); }, 5000));
    Editor().undo();
    EXPECT_FALSE(Text().Modified());
    EXPECT_FALSE(Exists(CopyOf(file)));
}

TEST_F(TextSafety, ACopyNewerThanItsFileIsOfferedWhenTheTextOpens) {
    Open();
    WriteFile(folder.File("t.txt"), "on disk");
    const TRecoveryFolder recovery(folder.Native("recovery/"));
    recovery.Write({folder.File("t.txt"), NowMs() + 60'000, "recovered \xF0\x9F\x98\x80"});
    dialogs->FileNames = {QString::fromStdString(folder.File("t.txt"))};
    dialogs->Answers = {TAnswer::No};
    Item("T1")->trigger();
    EXPECT_TRUE(dialogs->Shown.last().endsWith("復元しますか?"));
    EXPECT_EQ(EditorText(), "on disk");
    EXPECT_FALSE(Exists(CopyOf(folder.File("t.txt")))); // No deletes the copy

    recovery.Write({folder.File("t.txt"), NowMs() + 60'000, "recovered \xF0\x9F\x98\x80"});
    dialogs->FileNames = {QString::fromStdString(folder.File("t.txt"))};
    dialogs->Answers = {TAnswer::Yes};
    Item("T1")->trigger();
    EXPECT_EQ(EditorText().toStdString(), "recovered \xF0\x9F\x98\x80");
    EXPECT_TRUE(Text().Modified()); // recovered, not yet saved
    EXPECT_EQ(ReadFile(folder.File("t.txt")), "on disk");

    // A copy older than its file is not offered.
    recovery.Write({folder.File("t.txt"), 1000, "old"});
    dialogs->Shown.clear();
    window->LoadText(folder.File("t.txt"));
    EXPECT_TRUE(dialogs->Shown.isEmpty());
}

TEST_F(TextSafety, AProjectWhoseTextWasNeverSavedOffersItsRecoveryCopy) {
    Open();
    TRecoveryFolder(folder.Native("recovery/"))
        .Write({folder.File("unsaved.txt"), NowMs(), "typed, never saved"});
    WriteFile(folder.File("p.vkp"), "[PROJECT]\r\nTEXTNAME=unsaved.txt\r\n");
    dialogs->Answers = {TAnswer::Yes};
    EXPECT_THROW(window->OpenProject(folder.File("p.vkp")), EFOpenError); // still reported
    EXPECT_TRUE(dialogs->Shown.last().endsWith("復元しますか?"));
    EXPECT_EQ(EditorText(), "typed, never saved");
    Item("S1")->trigger();
    EXPECT_EQ(ReadFile(folder.File("unsaved.txt")), Sjis("typed, never saved"));
}

TEST_F(TextSafety, StartUpOffersWhatAnEarlierRunLeftUnsaved) {
    WriteFile(folder.File("t.txt"), "on disk\r\n");
    const TRecoveryFolder recovery(folder.Native("recovery/"));
    recovery.Write({folder.File("t.txt"), NowMs() + 60'000, "newer work\n"});
    recovery.Write({"", NowMs() + 30'000, "typed after New"});
    WriteFile(folder.File("recovery/0000000000000bad.recover"), "VARNOKE RECOVERY COPY 1\nTI");
    Open("", {TAnswer::No, TAnswer::Yes});
    // The damaged copy is reported and passed over; the newest is offered first.
    ASSERT_EQ(dialogs->Shown.size(), 3);
    EXPECT_TRUE(dialogs->Shown[0].startsWith("warning: ")) << dialogs->Shown[0].toStdString();
    EXPECT_TRUE(dialogs->Shown[1].contains("t.txt"));
    EXPECT_TRUE(dialogs->Shown[2].contains("ファイルに保存されていないテキスト"));
    EXPECT_FALSE(Exists(CopyOf(folder.File("t.txt")))); // declined: deleted
    EXPECT_EQ(EditorText(), "typed after New");
    EXPECT_EQ(Text().FileName(), "");
    EXPECT_TRUE(Text().Modified());
    EXPECT_EQ(window->windowTitle(), "無題* - Varnoke V2");

    // A recovered text is bound to its file and saved in the file's form.
    window.reset();
    recovery.Write({folder.File("t.txt"), NowMs() + 60'000, "newer work\n"});
    Open("", {TAnswer::Yes});
    EXPECT_EQ(EditorText(), "newer work\n");
    EXPECT_EQ(Text().FileName(), folder.File("t.txt"));
    EXPECT_EQ(window->windowTitle(), "t.txt* - Varnoke V2");
    Item("S1")->trigger();
    EXPECT_EQ(ReadFile(folder.File("t.txt")), "newer work\r\n");
    EXPECT_FALSE(Exists(CopyOf(folder.File("t.txt"))));
}

TEST_F(TextSafety, AProjectGivenAtStartOffersItsTextsCopyOnceAndLeavesItUnsaved) {
    WriteFile(folder.File("g.txt"), "on disk\r\n");
    WriteFile(folder.File("g.vkp"), "[PROJECT]\r\nTEXTNAME=g.txt\r\n");
    Open();
    // What a killed window left of the project's text, found as the program
    // starts with the project (a double-click in a file manager).
    TRecoveryFolder(folder.Native("recovery/"))
        .Write({folder.File("g.txt"), NowMs() + 60'000, "newer work\n"});
    QCommandLineParser parser;
    AddFileArgument(parser);
    ASSERT_TRUE(parser.parse({"varnoke", QString::fromStdString(folder.File("g.vkp"))}));
    dialogs->Answers = {TAnswer::Yes};
    OpenAtStart(*window, parser);
    // One question, not a second one that would save or drop the work.
    ASSERT_EQ(dialogs->Shown.size(), 1) << dialogs->Shown.join('\n').toStdString();
    EXPECT_TRUE(dialogs->Shown[0].endsWith("復元しますか?"));
    EXPECT_EQ(window->SystemData().ProjectFile, folder.File("g.vkp"));
    EXPECT_EQ(EditorText(), "newer work\n");
    EXPECT_TRUE(Text().Modified());
    EXPECT_EQ(ReadFile(folder.File("g.txt")), "on disk\r\n");
}

// ---- the file changed on disk -------------------------------------------------

TEST_F(TextSafety, AnUnmodifiedEditorFollowsTheFileAndKeepsItsPlace) {
    Open();
    const std::string file = OpenProjectWithText("w", "one\r\ntwo\r\nthree\r\n");
    QTextCursor cursor = Editor().textCursor();
    cursor.setPosition(Editor().document()->findBlockByNumber(1).position() + 2);
    Editor().setTextCursor(cursor);
    ReplaceByRename(file, "ONE\r\nTWO\r\nTHREE\r\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return EditorText() == "ONE\nTWO\nTHREE\n"; }, 5000));
    EXPECT_EQ(Editor().textCursor().blockNumber(), 1);
    EXPECT_EQ(Editor().textCursor().positionInBlock(), 2);
    EXPECT_FALSE(Text().Modified());
    EXPECT_TRUE(dialogs->Shown.isEmpty());
    // Written in place, too; and again after the rename replaced the file.
    WriteFile(file, "in place\r\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return EditorText() == "in place\n"; }, 5000));
    // A file that no longer looks like text is asked about; No keeps the
    // editor's text, which now differs from the file.
    ReplaceByRename(file, std::string("bin\0ary", 7));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialogs->Shown.isEmpty(); }, 5000));
    EXPECT_TRUE(dialogs->Shown.last().contains("NUL 文字"));
    EXPECT_EQ(EditorText(), "in place\n");
    EXPECT_TRUE(Text().Modified());
}

TEST_F(TextSafety, AModifiedEditorAsksBeforeItFollowsTheFile) {
    Open();
    const std::string file = OpenProjectWithText("w", "base");
    TypeAtEnd(" mine");
    // No keeps the editor's text, which now differs from the new file.
    ReplaceByRename(file, "theirs");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialogs->Shown.isEmpty(); }, 5000));
    EXPECT_TRUE(dialogs->Shown.last().contains("再読み込みしますか?"));
    EXPECT_EQ(EditorText(), "base mine");
    EXPECT_TRUE(Text().Modified());
    // Yes takes theirs.
    dialogs->Answers = {TAnswer::Yes};
    ReplaceByRename(file, "theirs again");
    ASSERT_TRUE(QTest::qWaitFor([&] { return EditorText() == "theirs again"; }, 5000));
    EXPECT_EQ(dialogs->Shown.size(), 2);
    EXPECT_FALSE(Text().Modified());
    // The window's own saves are not mistaken for another program's: a
    // watcher of the test's own, which saw the file before the save, tells
    // when the save's notice has come and settled. The window's watcher,
    // older, has its notice first; the text modified meanwhile would make
    // a mistaken notice ask.
    TypeAtEnd("!");
    TTextFileWatcher witness;
    witness.Watch(file);
    bool saveNoticed = false;
    QObject::connect(&witness, &TTextFileWatcher::Changed, [&] { saveNoticed = true; });
    Item("S1")->trigger();
    TypeAtEnd("?");
    ASSERT_TRUE(QTest::qWaitFor([&] { return saveNoticed; }, 5000));
    QCoreApplication::processEvents();
    EXPECT_EQ(dialogs->Shown.size(), 2);
}

TEST_F(TextSafety, ADeletedFileMarksTheTextModifiedSoThatItIsWrittenAgain) {
    Open();
    const std::string file = OpenProjectWithText("d", "keep me");
    std::filesystem::remove(file);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Text().Modified(); }, 5000));
    EXPECT_EQ(EditorText(), "keep me");
    EXPECT_EQ(window->windowTitle(), "d.txt* - Varnoke V2");
    ASSERT_TRUE(QTest::qWaitFor([&] { return Exists(CopyOf(file)); }, 5000));
    Item("S1")->trigger();
    EXPECT_EQ(ReadFile(file), "keep me");
}

// ---- bad input -------------------------------------------------------------------

TEST_F(TextSafety, AFileThatIsNoTextIsTakenOnlyWhenTheUserAgrees) {
    Open();
    OpenProjectWithText("good", "good text");
    WriteFile(folder.File("binary.txt"), std::string("\x7F"
                                                     "ELF\0\0\x83",
                                                     7));
    dialogs->FileNames = {QString::fromStdString(folder.File("binary.txt"))};
    Item("T1")->trigger(); // unanswered: No, the default
    EXPECT_TRUE(dialogs->Shown.last().contains("NUL 文字"));
    EXPECT_EQ(EditorText(), "good text");
    EXPECT_EQ(Text().FileName(), folder.File("good.txt"));

    WriteFile(folder.File("cut.txt"), "abc\x83");
    dialogs->FileNames = {QString::fromStdString(folder.File("cut.txt"))};
    dialogs->Answers = {TAnswer::Yes};
    Item("T1")->trigger();
    EXPECT_TRUE(dialogs->Shown.last().contains("Shift-JIS として読めないバイト"));
    EXPECT_EQ(Text().FileName(), folder.File("cut.txt"));
    EXPECT_EQ(window->ProjectData().TextName, "cut.txt"); // beside the project
}

TEST_F(TextSafety, ATabWidthTheEditorCannotTakeFailsBeforeTheTextIsReplaced) {
    Open("[SYSTEM]\r\nTABSPACE=-2\r\n");
    // The width's error; the editor is left empty, not bound to the text.
    EXPECT_THROW(OpenProjectWithText("first", "first"), EAssertionFailed);
    EXPECT_EQ(Text().FileName(), "");
    dialogs->Shown.clear();
    WriteFile(folder.File("second.txt"), "second");
    dialogs->FileNames = {QString::fromStdString(folder.File("second.txt"))};
    Item("T1")->trigger();
    ASSERT_EQ(dialogs->Shown.filter("error").size(), 1);
    EXPECT_EQ(EditorText(), "");
    EXPECT_NE(window->ProjectData().TextName, folder.File("second.txt"));

    // An odd width from the settings file is shown, not offered as a choice.
    window.reset();
    Open("[SYSTEM]\r\nTABSPACE=3\r\n");
    auto* tabs = window->findChild<QComboBox*>("ComboBox1");
    EXPECT_EQ(tabs->count(), 3);
    EXPECT_EQ(tabs->currentIndex(), -1);
    EXPECT_EQ(tabs->placeholderText(), "3");
    OpenProjectWithText("odd", "odd");
    EXPECT_EQ(EditorText(), "odd");
}

// ---- styles and projects ---------------------------------------------------------

TEST_F(TextSafety, UnsavedStylesAreAskedAboutAtClose) {
    Open("[SYSTEM]\r\nAUTOSAVEFLAG=0\r\n\r\n[STYLE]\r\nCOUNT=1\r\nSTYLE0=A\r\n");
    EXPECT_TRUE(window->close()); // nothing changed: no question
    QComboBox* weight = window->StylePage().ComboBox(2);
    weight->setCurrentIndex(1);
    emit weight->activated(1);
    dialogs->Shown.clear();
    dialogs->Answers = {TAnswer::Cancel};
    EXPECT_FALSE(window->close());
    EXPECT_EQ(dialogs->Shown, QStringList{"ask: 警告: スタイルを保存しますか?"});
    dialogs->Answers = {TAnswer::Yes};
    EXPECT_TRUE(window->close());
    EXPECT_NE(ReadFile(folder.File("varnoke.INI")).find("WEIGHT=1"), std::string::npos);
}

TEST_F(TextSafety, SaveAsIntoAnotherFolderKeepsRelativeNamesWorking) {
    Open();
    std::filesystem::create_directories(folder.File("ex/site"));
    WriteFile(folder.File("ex/guide.txt"), "Guide\r\n");
    WriteFile(folder.File("ex/guide.vkp"),
              "[PROJECT]\r\nTEXTNAME=guide.txt\r\nOUTPUTPATH=site\r\n");
    window->OpenProject(folder.File("ex/guide.vkp"));
    std::filesystem::create_directories(folder.File("copies/deep"));
    dialogs->FileNames = {QString::fromStdString(folder.File("copies/deep/guide.vkp"))};
    Item("N4")->trigger();
    const std::string saved = ReadFile(folder.File("copies/deep/guide.vkp"));
    EXPECT_NE(saved.find("TEXTNAME=../../ex/guide.txt\r\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("OUTPUTPATH=../../ex/site\r\n"), std::string::npos) << saved;
    window->OpenProject(folder.File("copies/deep/guide.vkp"));
    EXPECT_EQ(EditorText(), "Guide\n");
    window->Button8Click();
    EXPECT_TRUE(Exists(folder.File("ex/site/text.html")));
}
