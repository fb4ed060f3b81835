#include "controls/OutlinePane.h"

#include "TypeText.h"
#include "controls/OutlineModel.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTreeView>

#include <gtest/gtest.h>

#include <random>

using namespace varnoke;
using varnoke::test::TypeText;

namespace {

// The tree as text: top entries, their children indented by two blanks.
QStringList TreeOf(const QAbstractItemModel& model) {
    QStringList tree;
    for (int top = 0; top < model.rowCount(); ++top) {
        const QModelIndex index = model.index(top, 0);
        tree << index.data().toString();
        for (int child = 0; child < model.rowCount(index); ++child)
            tree << "  " + model.index(child, 0, index).data().toString();
    }
    return tree;
}

// The same tree from a fresh model over a copy of the text.
QStringList FreshTreeOf(const QString& text) {
    QTextDocument document;
    document.setPlainText(text);
    TOutlineModel model(document);
    return TreeOf(model);
}

class OutlinePane : public ::testing::Test {
  protected:
    OutlinePane() : pane(editor) {
        editor.setLineWrapMode(QPlainTextEdit::NoWrap);
        editor.resize(400, 200);
        pane.resize(200, 200);
    }
    QStringList Tree() { return TreeOf(pane.Model()); }
    void PutCaretOnLine(int line) {
        editor.setTextCursor(QTextCursor(editor.document()->findBlockByNumber(line)));
    }
    QString Current() { return pane.Tree().currentIndex().data().toString(); }

    QPlainTextEdit editor;
    TOutlinePane pane;
};

} // namespace

TEST_F(OutlinePane, FollowsHeadingsTypedAndRemoved) {
    editor.setPlainText("第1章\n\t\t本文\n");
    EXPECT_EQ(Tree(), (QStringList{"第1章"}));
    editor.moveCursor(QTextCursor::End);
    TypeText(&editor, "\t節");
    EXPECT_EQ(Tree(), (QStringList{"第1章", "  節"}));
    QTest::keyClick(&editor, Qt::Key_Return);
    TypeText(&editor, "第2章");
    EXPECT_EQ(Tree(), (QStringList{"第1章", "  節", "第2章"}));
    // A tab in front turns the main heading into a heading of the first.
    QTest::keyClick(&editor, Qt::Key_Home);
    QTest::keyClick(&editor, Qt::Key_Tab);
    EXPECT_EQ(Tree(), (QStringList{"第1章", "  節", "  第2章"}));
    QTest::keyClick(&editor, Qt::Key_Tab);
    EXPECT_EQ(Tree(), (QStringList{"第1章", "  節"}));
    QTest::keyClick(&editor, Qt::Key_Backspace);
    QTest::keyClick(&editor, Qt::Key_Backspace);
    EXPECT_EQ(Tree(), (QStringList{"第1章", "  節", "第2章"}));
    // Comments and empty lines never show.
    editor.setPlainText("#メモ\n\nA\n\t\n");
    EXPECT_EQ(Tree(), (QStringList{"A", "  "}));
}

TEST_F(OutlinePane, ClickPutsTheCaretOnTheHeadingAndScrollsThere) {
    QString text;
    for (int i = 0; i < 200; ++i)
        text += i % 20 == 0 ? QString("章%1\n").arg(i) : QString("\t\t本文 %1\n").arg(i);
    editor.setPlainText(text);
    editor.show();
    pane.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor));
    const QModelIndex entry = pane.Model().index(7, 0);
    ASSERT_EQ(entry.data().toString(), "章140");
    pane.Tree().scrollTo(entry);
    QTest::mouseClick(pane.Tree().viewport(), Qt::LeftButton, {},
                      pane.Tree().visualRect(entry).center());
    EXPECT_EQ(editor.textCursor().blockNumber(), 140);
    EXPECT_EQ(editor.textCursor().positionInBlock(), 0);
    EXPECT_EQ(editor.verticalScrollBar()->value(), 140);
}

TEST_F(OutlinePane, HighlightsTheHeadingUnderTheCaret) {
    editor.setPlainText("\tvorab\n\t\tx\nA\n\t\ty\n\tb\n\t\tz\nB\n");
    PutCaretOnLine(1);
    EXPECT_EQ(Current(), "vorab");
    PutCaretOnLine(3);
    EXPECT_EQ(Current(), "A");
    PutCaretOnLine(5);
    EXPECT_EQ(Current(), "b");
    // In a folded main heading, the main heading is highlighted instead.
    pane.Tree().collapse(pane.Model().index(1, 0));
    PutCaretOnLine(4);
    EXPECT_EQ(Current(), "A");
    EXPECT_FALSE(pane.Tree().isExpanded(pane.Model().index(1, 0)));
    PutCaretOnLine(6);
    EXPECT_EQ(Current(), "B");
}

// Whatever the edits, undos and redos, the tree equals one read afresh
// from the text, and a folded entry stays folded.
TEST_F(OutlinePane, RandomEditsMatchAFreshReading) {
    std::mt19937 random(1414);
    const QStringList pieces = {"A",    "漢字", "\t",        "\t\t", "\n",
                                "\n\t", "#",    "x\ny\n\tz", "\r",   "\t見出し\n"};
    editor.setPlainText("Start\n\tone\n\t\tbody\nNext\n\ttwo\n");
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    for (int round = 0; round < 1000; ++round) {
        QTextCursor cursor(editor.document());
        const int length = editor.document()->characterCount() - 1;
        cursor.setPosition(pick(length + 1));
        cursor.setPosition(std::min(length, cursor.position() + pick(6)), QTextCursor::KeepAnchor);
        switch (pick(4)) {
        case 0:
            cursor.removeSelectedText();
            break;
        case 1:
            editor.undo();
            break;
        case 2:
            editor.redo();
            break;
        default:
            cursor.insertText(pieces[pick(static_cast<int>(pieces.size()))]);
            break;
        }
        ASSERT_EQ(Tree(), FreshTreeOf(editor.toPlainText())) << "round " << round;
    }
}

TEST_F(OutlinePane, LineBreaksOfEveryKindEndALine) {
    editor.setPlainText("A\r\n\tb\rC\n\td");
    EXPECT_EQ(editor.document()->blockCount(), 4);
    EXPECT_EQ(Tree(), (QStringList{"A", "  b", "C", "  d"}));
}
