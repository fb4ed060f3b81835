#include "controls/ExtMemo.h"

#include "common/Errors.h"
#include "common/ShiftJis.h"

#include <QApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>

using namespace varnoke;

namespace {

class ExtMemoTest : public ::testing::Test {
  protected:
    static std::uint32_t WindowWord(TCustomExtRichEdit& editor) {
        return static_cast<std::uint32_t>(editor.Perform(EM_GETWORDWRAPMODE, 0, 0));
    }
    static std::uint32_t WindowOptions(TCustomExtRichEdit& editor) {
        return static_cast<std::uint32_t>(editor.Perform(EM_GETOPTIONS, 0, 0));
    }
    static TCompColors WindowImeColors(TCustomExtRichEdit& editor) {
        TCompColors records{};
        editor.Perform(EM_GETIMECOLOR, 0, reinterpret_cast<std::intptr_t>(records.data()));
        return records;
    }
    // The custom set the window holds for a kind, read in custom mode.
    static std::string WindowCustomSet(TCustomExtRichEdit& editor, int kind) {
        const auto word = editor.Perform(EM_GETWORDWRAPMODE, 0, 0);
        editor.Perform(EM_SETWORDWRAPMODE, WBF_CUSTOM, 0);
        std::string set = editor.GetPunctuation(kind);
        editor.Perform(EM_SETWORDWRAPMODE, static_cast<std::uintptr_t>(word), 0);
        return set;
    }
    static std::string SjisTextOf(const char* utf8) { return Sjis(utf8); }
    static std::vector<std::string> LinesOf(const TCustomExtRichEdit& editor) {
        std::vector<std::string> lines;
        const TLineSource& source = editor.Lines();
        for (size_t i = 0; i < source.Count(); ++i)
            lines.push_back(std::string(source.Line(i)) + std::string(source.LineBreak(i)));
        return lines;
    }
    static std::string TempFile(const std::string& bytes) {
        char name[] = "/tmp/extmemoXXXXXX";
        int descriptor = ::mkstemp(name);
        EXPECT_GE(descriptor, 0);
        ::close(descriptor);
        std::ofstream(name, std::ios::binary) << bytes;
        return name;
    }
};

TEST_F(ExtMemoTest, ModeWordArithmetic) {
    TExtRichEdit editor;
    // The declared default is custom, but an untouched word of 0 reads as
    // level 2.
    EXPECT_EQ(editor.WordWrapOption().ModeWord(), 0u);
    EXPECT_EQ(editor.WordWrapOption().PunctuationMode(), wbfLevel2);
    EXPECT_EQ(editor.WordWrapOption().WordWrapMode(), TWordWrapModes());

    editor.WordWrapOption().SetPunctuationMode(wbfLevel2);
    EXPECT_EQ(editor.WordWrapOption().ModeWord(), 0x100u);
    EXPECT_EQ(WindowWord(editor), 0x100u);

    editor.WordWrapOption().SetWordWrapMode(wbfWordWrap | wbfOverflow);
    EXPECT_EQ(WindowWord(editor), 0x150u);
    editor.WordWrapOption().SetPunctuationMode(wbfLevel1);
    EXPECT_EQ(WindowWord(editor), 0x0D0u);
    EXPECT_EQ(editor.WordWrapOption().WordWrapMode(), wbfWordWrap | wbfOverflow);

    TExtRichEdit fresh;
    fresh.WordWrapOption().SetWordWrapMode(wbfWordWrap);
    EXPECT_EQ(fresh.WordWrapOption().ModeWord(), 0x210u);
    EXPECT_EQ(WindowWord(fresh), 0x210u);
    EXPECT_EQ(fresh.WordWrapOption().PunctuationMode(), wbfCustom);

    // Clearing every wrap bit keeps the punctuation bits.
    fresh.WordWrapOption().SetWordWrapMode({});
    EXPECT_EQ(WindowWord(fresh), 0x200u);
}

TEST_F(ExtMemoTest, PunctuationModeIsReadFromTheWindowWord) {
    TExtRichEdit editor;
    const struct {
        std::uint32_t word;
        TPunctuationMode mode;
    } cases[] = {{0x80, wbfLevel1},  {0x280, wbfLevel1}, {0x200, wbfCustom}, {0x270, wbfCustom},
                 {0x100, wbfLevel2}, {0x180, wbfLevel2}, {0x300, wbfLevel2}, {0x0, wbfLevel2}};
    for (const auto& c : cases) {
        editor.Perform(EM_SETWORDWRAPMODE, c.word, 0);
        EXPECT_EQ(editor.WordWrapOption().PunctuationMode(), c.mode) << std::hex << c.word;
        EXPECT_EQ(editor.WordWrapOption().ModeWord(), c.word);
    }
}

TEST_F(ExtMemoTest, UnchangedValuesSendNothing) {
    TExtRichEdit editor;
    TWordWrapOption& option = editor.WordWrapOption();
    option.SetWordWrapMode(wbfWordBreak);
    // The window is changed behind the option's back; setting the values
    // the option already holds must not overwrite it.
    editor.Perform(EM_SETWORDWRAPMODE, 0x1F0, 0);
    option.SetWordWrapMode(wbfWordBreak);
    option.SetPunctuationMode(wbfCustom);
    EXPECT_EQ(WindowWord(editor), 0x1F0u);

    TImeColor same;
    editor.ImeColors().SetTransfered(same);
    TCompColors poked{};
    poked[2].crText = 0x123456;
    editor.Perform(EM_SETIMECOLOR, 0, reinterpret_cast<std::intptr_t>(poked.data()));
    TImeColor current;
    current.SetIcText(0x123456);
    editor.ImeColors().SetTransfered(current); // refreshed entry is the same
    EXPECT_EQ(WindowImeColors(editor)[2].crText, 0x123456u);
}

TEST_F(ExtMemoTest, SettingACharacterSetSwitchesToCustom) {
    TExtRichEdit editor;
    TWordWrapOption& option = editor.WordWrapOption();
    const std::string leading = Sjis("（「");
    option.SetPcLeading(leading);
    EXPECT_EQ(option.PunctuationMode(), wbfCustom);
    EXPECT_EQ(option.pcLeading(), leading);
    EXPECT_EQ(editor.GetPunctuation(pkLeading), leading);

    option.SetPunctuationMode(wbfLevel2);
    option.SetPcLeading(leading); // the same string: still switches
    EXPECT_EQ(option.PunctuationMode(), wbfCustom);
    EXPECT_EQ(WindowWord(editor) & 0x380, 0x200u);
}

TEST_F(ExtMemoTest, RefusedCharacterSetIsForgotten) {
    TExtRichEdit editor;
    TWordWrapOption& option = editor.WordWrapOption();
    option.SetPcFollowing(Sjis("、。"));
    option.SetPcFollowing(std::string(3000, '.')); // longer than the window reads back
    EXPECT_EQ(option.pcFollowing(), "");
    option.SetPcOverflow("a\x82"); // a lead byte without its trail byte
    EXPECT_EQ(option.pcOverflow(), "");
    // An empty set is a set the window takes.
    option.SetPcDelimiter(" ");
    option.SetPcDelimiter("");
    EXPECT_EQ(option.pcDelimiter(), "");
    EXPECT_EQ(WindowCustomSet(editor, pkDelimiter), "");
}

TEST_F(ExtMemoTest, LevelSetsComeFromTheWindow) {
    TExtRichEdit editor;
    TWordWrapOption& option = editor.WordWrapOption();
    option.SetPcFollowing("x");
    option.SetPunctuationMode(wbfLevel1);
    const std::string level1 = option.pcFollowing();
    EXPECT_EQ(level1, option.Table()[wbfLevel1][0]);
    EXPECT_NE(level1.find(Sjis("。")), std::string::npos);
    EXPECT_EQ(level1.find(Sjis("ー")), std::string::npos);
    editor.Perform(EM_SETWORDWRAPMODE, WBF_LEVEL1, 0);
    EXPECT_EQ(editor.GetPunctuation(pkFollowing), level1);

    editor.SetStreamState(TCustomExtRichEdit::TStreamState::Writing);
    EXPECT_EQ(option.pcFollowing(), "x");
    editor.SetStreamState(TCustomExtRichEdit::TStreamState::None);

    option.SetPunctuationMode(wbfLevel2);
    EXPECT_NE(option.pcFollowing().find(Sjis("ー")), std::string::npos);
    // The window's sets are valid CP932 without character references.
    for (int row : {wbfLevel1, wbfLevel2}) {
        for (const std::string& set : option.Table()[static_cast<size_t>(row)]) {
            EXPECT_FALSE(set.empty());
            EXPECT_EQ(set.find("&#"), std::string::npos) << SjisToUtf8(set);
            EXPECT_EQ(Utf8ToSjis(SjisToUtf8(set)), set);
        }
    }
}

TEST_F(ExtMemoTest, AssigningOptionsAppliesThemToTheWindow) {
    TWordWrapOption source;
    source.SetPcFollowing(Sjis("」"));
    source.SetPcLeading(std::string(2100, '('));
    source.SetWordWrapMode(wbfWordWrap);
    source.SetPunctuationMode(wbfLevel1);
    ASSERT_EQ(source.ModeWord(), 0x090u);

    TExtRichEdit editor;
    editor.SetWordWrapOption(source);
    EXPECT_EQ(WindowWord(editor), 0x090u);
    EXPECT_EQ(WindowCustomSet(editor, pkFollowing), Sjis("」"));
    // The refused set is cleared in the receiver only.
    editor.SetStreamState(TCustomExtRichEdit::TStreamState::Writing);
    EXPECT_EQ(editor.WordWrapOption().pcLeading(), "");
    EXPECT_EQ(editor.WordWrapOption().pcFollowing(), Sjis("」"));
    EXPECT_EQ(source.Table()[wbfCustom][1].size(), 2100u);

    // Assigning an editor's options to an editor-less one only copies.
    TWordWrapOption copy;
    copy.Assign(editor.WordWrapOption());
    EXPECT_EQ(copy.ModeWord(), 0x090u);
    EXPECT_EQ(copy.Table(), editor.WordWrapOption().Table());
}

TEST_F(ExtMemoTest, ImeColorsReachAndComeFromTheWindow) {
    TExtRichEdit editor;
    editor.ImeColors().Untransfered().SetIcText(0x0000FF);
    editor.ImeColors().WatchingUntransfered().SetStyle(fsBold | fsUnderline);
    TCompColors records = WindowImeColors(editor);
    EXPECT_EQ(records[0].crText, 0x0000FFu);
    EXPECT_EQ(records[3].dwEffects, 0x5u);

    // A system colour goes to the window as its RGB value.
    editor.ImeColors().Transfered().SetIcBackground(-16777208);
    records = WindowImeColors(editor);
    EXPECT_EQ(records[2].crBackground & 0xFF000000u, 0u);
    EXPECT_EQ(editor.ImeColors().Transfered().icBackground(),
              static_cast<std::int32_t>(records[2].crBackground));

    records[1] = {0x102030, 0x405060, 0x2};
    editor.Perform(EM_SETIMECOLOR, 0, reinterpret_cast<std::intptr_t>(records.data()));
    editor.SetStreamState(TCustomExtRichEdit::TStreamState::Loading);
    EXPECT_EQ(editor.ImeColors().WatchingTransfered().icText(), 0);
    editor.SetStreamState(TCustomExtRichEdit::TStreamState::None);
    EXPECT_EQ(editor.ImeColors().WatchingTransfered().icText(), 0x102030);
    EXPECT_EQ(editor.ImeColors().WatchingTransfered().Style(), TFontStyles(fsItalic));

    TExtRichEdit other;
    other.SetImeColors(editor.ImeColors());
    EXPECT_EQ(WindowImeColors(other)[1].crBackground, 0x405060u);
    EXPECT_EQ(WindowImeColors(other)[3].dwEffects, 0x5u);
}

TEST_F(ExtMemoTest, NewWindowKeepsSettingsAndModifiedFlag) {
    TExtRichEdit editor;
    EXPECT_TRUE(editor.LineSelect());
    EXPECT_FALSE(editor.Vertical());
    EXPECT_EQ(WindowOptions(editor), ECO_SELECTIONBAR);

    editor.WordWrapOption().SetPcLeading("(");
    editor.WordWrapOption().SetWordWrapMode(wbfWordWrap);
    editor.ImeColors().Untransfered().SetIcText(0xABCDEF);
    for (bool modified : {true, false}) {
        editor.document()->setModified(modified);
        editor.SetVertical(!editor.Vertical());
        EXPECT_EQ(editor.document()->isModified(), modified);
    }
    editor.SetLineSelect(false);
    editor.SetVertical(true);
    EXPECT_EQ(WindowOptions(editor), ECO_VERTICAL);
    EXPECT_EQ(WindowWord(editor), 0x210u);
    EXPECT_EQ(WindowImeColors(editor)[0].crText, 0xABCDEFu);
    EXPECT_EQ(WindowCustomSet(editor, pkLeading), "(");
    EXPECT_FALSE(editor.findChild<QWidget*>("selectionBar")->isVisibleTo(&editor));
}

TEST_F(ExtMemoTest, BareInsertTogglesInsertState) {
    TExtRichEdit editor;
    EXPECT_TRUE(editor.InsertState());
    QTest::keyClick(&editor, Qt::Key_Insert);
    EXPECT_FALSE(editor.InsertState());
    EXPECT_TRUE(editor.overwriteMode());
    QTest::keyClick(&editor, Qt::Key_Insert, Qt::ShiftModifier);
    QTest::keyClick(&editor, Qt::Key_Insert, Qt::ControlModifier);
    QTest::keyClick(&editor, Qt::Key_Insert, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_FALSE(editor.InsertState());
    QTest::keyClick(&editor, Qt::Key_Insert, Qt::AltModifier);
    EXPECT_TRUE(editor.InsertState());
    EXPECT_FALSE(editor.overwriteMode());
}

TEST_F(ExtMemoTest, NestedPaintCallsOnPaintOnce) {
    TExtRichEdit editor;
    editor.setPlainText("text");
    editor.resize(200, 100);
    editor.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor));
    int calls = 0;
    bool canvasReady = false;
    editor.OnPaint = [&](TExtRichEdit& sender) {
        ++calls;
        canvasReady = sender.Canvas() != nullptr && sender.Canvas()->font() == sender.font() &&
                      sender.Canvas()->pen().width() == 1;
        if (calls == 1) {
            QPaintEvent nested(QRect(0, 0, 10, 10));
            QCoreApplication::sendEvent(sender.viewport(), &nested);
        }
    };
    editor.viewport()->repaint();
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(canvasReady);
    EXPECT_EQ(editor.Canvas(), nullptr);
    editor.viewport()->repaint();
    EXPECT_EQ(calls, 2);
}

TEST_F(ExtMemoTest, LinesAreCp932WithCrLf) {
    TExtRichEdit editor;
    EXPECT_EQ(editor.Lines().Count(), 0u);

    editor.setPlainText(QString::fromUtf8("a\r\nb\nc\rd"));
    EXPECT_EQ(LinesOf(editor), (std::vector<std::string>{"a\r\n", "b\r\n", "c\r\n", "d"}));

    editor.setPlainText(QString::fromUtf8("あ\n\n"));
    EXPECT_EQ(LinesOf(editor), (std::vector<std::string>{"\x82\xA0\r\n", "\r\n"}));

    editor.setPlainText(QString::fromUtf8("\t😀"));
    EXPECT_EQ(LinesOf(editor), (std::vector<std::string>{"\t&#128512;"}));

    const std::string longLine(10000, 'x');
    editor.setPlainText(QString::fromStdString(longLine + "\nend"));
    ASSERT_EQ(editor.Lines().Count(), 2u);
    EXPECT_EQ(editor.Lines().Line(0), longLine);
    EXPECT_EQ(editor.Lines().LineBreak(0), "\r\n");
}

TEST_F(ExtMemoTest, LinesFollowEveryEdit) {
    TExtRichEdit editor;
    editor.setPlainText("one");
    EXPECT_EQ(editor.Lines().Count(), 1u);
    // The window rebuilds from the change event: the lines must already be
    // the new ones there.
    std::vector<int> seen;
    QObject::connect(&editor, &QPlainTextEdit::textChanged,
                     [&] { seen.push_back(editor.Lines().Count()); });
    QObject::connect(&editor, &TCustomExtRichEdit::Changed,
                     [&] { seen.push_back(editor.Lines().Count()); });
    editor.moveCursor(QTextCursor::End);
    editor.insertPlainText("\ntwo");
    EXPECT_EQ(seen, (std::vector<int>{2, 2}));
    editor.undo();
    EXPECT_EQ(LinesOf(editor), (std::vector<std::string>{"one"}));
}

TEST_F(ExtMemoTest, LinesOfALargeTextAreBuiltOncePerChange) {
    TExtRichEdit editor;
    QString text;
    for (int i = 0; i < 20000; ++i)
        text += QString::fromUtf8("\t\t本文の行です。 line %1\n").arg(i);
    editor.setPlainText(text + QString::fromUtf8("😀"));
    ASSERT_EQ(editor.Lines().Count(), 20001u);
    const char* first = editor.Lines().Line(0).data();
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(editor.Lines().Line(0).data(), first); // not rebuilt without a change
    EXPECT_EQ(editor.Lines().Line(19999), SjisTextOf("\t\t本文の行です。 line 19999"));
    EXPECT_EQ(editor.Lines().Line(20000), "&#128512;");
}

TEST_F(ExtMemoTest, UpdatesRaiseOneChange) {
    TExtRichEdit editor;
    QSignalSpy changes(&editor, &TCustomExtRichEdit::Changed);
    editor.insertPlainText("a");
    EXPECT_EQ(changes.count(), 1);
    editor.BeginUpdate();
    editor.BeginUpdate();
    editor.insertPlainText("b");
    editor.EndUpdate();
    editor.insertPlainText("c");
    editor.EndUpdate();
    EXPECT_EQ(changes.count(), 2);
    editor.EndUpdate(); // unbalanced: ignored
    EXPECT_EQ(changes.count(), 2);
}

TEST_F(ExtMemoTest, LoadFromFile) {
    TExtRichEdit editor;
    QSignalSpy changes(&editor, &TCustomExtRichEdit::Changed);
    const std::string sjisFile = TempFile("\x82\xA0\r\n\tb");
    editor.LoadFromFile(TNativePath(sjisFile));
    EXPECT_EQ(editor.toPlainText(), QString::fromUtf8("あ\n\tb"));
    EXPECT_EQ(changes.count(), 1);
    std::remove(sjisFile.c_str());

    const std::string utf8File = TempFile("\xEF\xBB\xBF\xE3\x81\x82");
    editor.LoadFromFile(TNativePath(utf8File));
    EXPECT_EQ(LinesOf(editor), (std::vector<std::string>{"\x82\xA0"}));
    std::remove(utf8File.c_str());

    EXPECT_THROW(editor.LoadFromFile(TNativePath("/nonexistent/text.txt")), EFOpenError);
    EXPECT_THROW(editor.LoadFromFile(TNativePath("/tmp")), EFOpenError);
    EXPECT_EQ(editor.toPlainText(), QString::fromUtf8("あ"));
    EXPECT_EQ(changes.count(), 2);

    // Characters CP932 lacks, or holds only as a look-alike (U+2212 would
    // come back as U+FF0D), reach the editor as they are; the lines for the
    // pages carry them as CP932 and character references.
    const std::string minusFile = TempFile("\xE2\x88\x92 \xC3\xA9");
    editor.LoadFromFile(TNativePath(minusFile));
    EXPECT_EQ(editor.toPlainText(), QString::fromUtf8("\xE2\x88\x92 \xC3\xA9"));
    EXPECT_EQ(LinesOf(editor), (std::vector<std::string>{"\x81\x7C &#233;"}));
    std::remove(minusFile.c_str());
}

TEST_F(ExtMemoTest, ScrollLineMovesOneLine) {
    TExtRichEdit editor;
    editor.setLineWrapMode(QPlainTextEdit::NoWrap);
    QStringList lines;
    for (int i = 0; i < 100; ++i)
        lines << QString::number(i);
    editor.setPlainText(lines.join('\n'));
    editor.resize(200, 120);
    editor.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor));
    QScrollBar* bar = editor.verticalScrollBar();

    EXPECT_EQ(editor.ScrollLine(0), 0); // already at the top
    EXPECT_NE(editor.ScrollLine(1), 0);
    EXPECT_EQ(bar->value(), 1);
    EXPECT_NE(editor.ScrollLine(1), 0);
    EXPECT_NE(editor.ScrollLine(0), 0);
    EXPECT_EQ(bar->value(), 1);
    EXPECT_EQ(editor.ScrollLine(7), 0);
    bar->setValue(bar->maximum());
    EXPECT_EQ(editor.ScrollLine(1), 0);
}

TEST_F(ExtMemoTest, SelectionBarSelectsWholeLines) {
    TExtRichEdit editor;
    editor.setLineWrapMode(QPlainTextEdit::NoWrap);
    editor.setPlainText("first\nsecond\nthird\nlast");
    editor.resize(300, 200);
    editor.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor));
    auto* bar = editor.findChild<QWidget*>("selectionBar");
    ASSERT_NE(bar, nullptr);
    ASSERT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->geometry().right() + 1, editor.viewport()->geometry().left());

    const auto lineY = [&](int block) {
        QTextCursor cursor(editor.document()->findBlockByNumber(block));
        return editor.cursorRect(cursor).center().y();
    };
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(2, lineY(1)));
    EXPECT_EQ(editor.textCursor().selectedText(), QString("second") + QChar::ParagraphSeparator);
    QTest::mouseClick(bar, Qt::LeftButton, Qt::ShiftModifier, QPoint(2, lineY(2)));
    EXPECT_EQ(editor.textCursor().selectedText(),
              QString("second") + QChar::ParagraphSeparator + "third" + QChar::ParagraphSeparator);
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(2, lineY(3)));
    EXPECT_EQ(editor.textCursor().selectedText(), QString("last"));
    // Dragging upwards keeps the pressed line whole.
    QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(2, lineY(2)));
    QMouseEvent move(QEvent::MouseMove, QPointF(2, lineY(0)),
                     bar->mapToGlobal(QPointF(2, lineY(0))), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(bar, &move);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(2, lineY(0)));
    EXPECT_EQ(editor.textCursor().selectionStart(), 0);
    EXPECT_EQ(editor.textCursor().selectionEnd(),
              int(std::string("first\nsecond\nthird\n").size()));

    editor.SetLineSelect(false);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_EQ(editor.viewport()->geometry().left(), editor.contentsRect().left());
}

} // namespace
