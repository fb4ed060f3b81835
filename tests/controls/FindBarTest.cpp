#include "controls/FindBar.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include <gtest/gtest.h>

using namespace varnoke;

namespace {

class FindBar : public ::testing::Test {
  protected:
    FindBar() : bar(editor) {}

    // Where the next search from `from` lands: "start+length", or "none".
    std::string Found(const QString& what, int from, bool backward = false,
                      Qt::CaseSensitivity sensitivity = Qt::CaseSensitive) {
        const QTextCursor found =
            FindInDocument(*editor.document(), what, from, backward, sensitivity);
        if (found.isNull())
            return "none";
        return std::to_string(found.selectionStart()) + "+" +
               std::to_string(found.selectionEnd() - found.selectionStart());
    }
    void Search(const QString& what) {
        bar.OpenFind();
        bar.FindField().setText(what);
        bar.FindNext();
    }
    int Selected() { return editor.textCursor().selectionStart(); }

    QPlainTextEdit editor;
    TFindBar bar;
};

} // namespace

TEST_F(FindBar, SearchesCharactersNotBytes) {
    // "ャ" ends in the byte that starts "ノ", and "m" is the byte that ends
    // it: a search over Shift-JIS bytes would find "ノ" in "ャm". "ソ" ends
    // in the byte of "\".
    editor.setPlainText("ャmハソ");
    EXPECT_EQ(Found("ノ", 0), "none");
    EXPECT_EQ(Found("\\", 0), "none");
    EXPECT_EQ(Found("m", 0), "1+1");
    // Full-width and half-width forms find only themselves, with or without
    // case.
    editor.setPlainText("Ａｱア");
    EXPECT_EQ(Found("A", 0, false, Qt::CaseInsensitive), "none");
    EXPECT_EQ(Found("ａ", 0, false, Qt::CaseInsensitive), "0+1");
    EXPECT_EQ(Found("ア", 0), "2+1");
    EXPECT_EQ(Found("ｱ", 0), "1+1");
}

TEST_F(FindBar, ForwardAndBackwardAcrossLines) {
    editor.setPlainText("ab\nxab\nab");
    EXPECT_EQ(Found("ab", 0), "0+2");
    EXPECT_EQ(Found("ab", 1), "4+2");
    EXPECT_EQ(Found("ab", 7), "7+2");
    EXPECT_EQ(Found("ab", 8), "none");
    EXPECT_EQ(Found("ab", 7, true), "4+2");
    EXPECT_EQ(Found("ab", 4, true), "0+2");
    EXPECT_EQ(Found("ab", 0, true), "none");
    // Never across a line break, and an empty search finds nothing.
    EXPECT_EQ(Found("b\nx", 0), "none");
    EXPECT_EQ(Found("", 0), "none");
    EXPECT_EQ(Found("AB", 0), "none");
    EXPECT_EQ(Found("AB", 0, false, Qt::CaseInsensitive), "0+2");
}

TEST_F(FindBar, NextAndPreviousWrapAroundUnlessTurnedOff) {
    editor.setPlainText("one two one two");
    Search("two");
    EXPECT_EQ(Selected(), 4);
    EXPECT_TRUE(bar.FindNext());
    EXPECT_EQ(Selected(), 12);
    EXPECT_TRUE(bar.FindNext());
    EXPECT_EQ(Selected(), 4);
    EXPECT_EQ(bar.Message(), "先頭から検索しました");
    EXPECT_TRUE(bar.FindPrevious());
    EXPECT_EQ(Selected(), 12);
    EXPECT_EQ(bar.Message(), "末尾から検索しました");
    bar.Wrap().setChecked(false);
    EXPECT_FALSE(bar.FindNext());
    EXPECT_EQ(bar.Message(), "見つかりません");
    EXPECT_EQ(Selected(), 12);
}

TEST_F(FindBar, TypingSearchesAsItGoesAndMarksMatchesInView) {
    editor.setPlainText("cat catalog cat");
    bar.OpenFind();
    QTest::keyClicks(&bar.FindField(), "cat");
    EXPECT_EQ(Selected(), 0);
    EXPECT_EQ(editor.extraSelections().size(), 3);
    QTest::keyClicks(&bar.FindField(), "a");
    EXPECT_EQ(Selected(), 4);
    EXPECT_EQ(editor.extraSelections().size(), 1);
    QTest::keyClick(&bar.FindField(), Qt::Key_Escape);
    EXPECT_TRUE(bar.isHidden());
    EXPECT_TRUE(editor.extraSelections().isEmpty());
}

TEST_F(FindBar, ReplaceOneReplacesOnlyAMatchAndMovesOn) {
    editor.setPlainText("Aa aa");
    bar.OpenReplace();
    bar.FindField().setText("aa");
    bar.ReplaceField().setText("b");
    // The caret is no match yet: the first press only finds.
    bar.ReplaceOne();
    EXPECT_EQ(editor.toPlainText(), "Aa aa");
    EXPECT_EQ(Selected(), 0);
    bar.ReplaceOne();
    EXPECT_EQ(editor.toPlainText(), "b aa");
    bar.MatchCase().setChecked(true);
    bar.ReplaceOne();
    EXPECT_EQ(editor.toPlainText(), "b b");
}

TEST_F(FindBar, ReplaceAllIsOneUndoStepAndNeverReplacesItsOwnText) {
    editor.setPlainText("x\nxx\n漢x字");
    bar.OpenReplace();
    bar.FindField().setText("x");
    bar.ReplaceField().setText("xy");
    EXPECT_EQ(bar.ReplaceAll(), 4);
    EXPECT_EQ(editor.toPlainText(), "xy\nxyxy\n漢xy字");
    EXPECT_EQ(bar.Message(), "4 件置換しました");
    editor.undo();
    EXPECT_EQ(editor.toPlainText(), "x\nxx\n漢x字");
    bar.FindField().setText("なし");
    EXPECT_EQ(bar.ReplaceAll(), 0);
    EXPECT_EQ(bar.Message(), "見つかりません");
}
