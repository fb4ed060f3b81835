// The editor's lines for the pages follow every kind of edit: typing, line
// breaks, pastes, undo, a whole new text; and each reported change, applied
// to the lines before it, gives the lines after it.
#include "controls/LineCache.h"

#include "common/ShiftJis.h"
#include "common/TextLines.h"

#include <QPlainTextEdit>
#include <QTest>
#include <QTextCursor>
#include <gtest/gtest.h>
#include <random>

using namespace varnoke;

namespace {

std::vector<std::string> Lines(const TLineSource& source) {
    std::vector<std::string> lines;
    for (size_t i = 0; i < source.Count(); ++i)
        lines.push_back(std::string(source.Line(i)) + std::string(source.LineBreak(i)));
    return lines;
}

// The lines as a whole conversion of the editor's plain text gives them.
std::vector<std::string> FreshLines(const QPlainTextEdit& editor) {
    const QByteArray utf8 = editor.toPlainText().toUtf8();
    return Lines(TTextLines(Utf8ToSjis(std::string_view(utf8.constData(), utf8.size()))));
}

class LineCacheTest : public ::testing::Test {
  protected:
    LineCacheTest() : cache(*editor.document()) {
        QObject::connect(
            &cache, &TLineCache::LinesChanged, [this](int first, int removed, int added) {
                // The lines before the change, with the reported range replaced
                // by the lines now there.
                std::vector<std::string> now = Lines(cache);
                ASSERT_LE(first + removed, static_cast<int>(followed.size()));
                ASSERT_LE(first + added, static_cast<int>(now.size()));
                followed.erase(followed.begin() + first, followed.begin() + first + removed);
                followed.insert(followed.begin() + first, now.begin() + first,
                                now.begin() + first + added);
            });
    }

    void ExpectInStep() {
        ASSERT_EQ(Lines(cache), FreshLines(editor));
        ASSERT_EQ(followed, FreshLines(editor)) << "the reported changes miss a line";
    }

    QPlainTextEdit editor;
    TLineCache cache;
    std::vector<std::string> followed;
};

} // namespace

TEST_F(LineCacheTest, FollowsRandomTypingPastesAndUndo) {
    std::mt19937 random(5);
    const QStringList pieces = {"a",          "\t", "\n",   "\u30CE",  "\u2212", "\u00E9",
                                "\t\tbody\n", "#c", "\n\n", "x\ny\nz", "\u00A0"};
    editor.setPlainText("Title\n\tHead\n\t\tbody\n");
    followed = FreshLines(editor);
    for (int step = 0; step < 500; ++step) {
        QTextCursor cursor = editor.textCursor();
        const int length = editor.document()->characterCount() - 1;
        cursor.setPosition(static_cast<int>(random() % (length + 1)));
        if (random() % 3 == 0)
            cursor.setPosition(std::min(length, cursor.position() + static_cast<int>(random() % 8)),
                               QTextCursor::KeepAnchor);
        switch (random() % 5) {
        case 0:
            cursor.removeSelectedText();
            break;
        case 1:
            editor.setTextCursor(cursor);
            editor.undo();
            break;
        default:
            cursor.insertText(pieces[static_cast<int>(random() % pieces.size())]);
        }
        ExpectInStep();
        if (HasFatalFailure())
            FAIL() << "after step " << step;
    }
}

TEST_F(LineCacheTest, TheFinalLineBreakAndAWholeNewText) {
    editor.setPlainText("a");
    followed = FreshLines(editor);
    QTextCursor cursor(editor.document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText("\n");
    ExpectInStep();
    EXPECT_TRUE(cache.LastLineHasBreak());
    cursor.deletePreviousChar();
    ExpectInStep();
    EXPECT_FALSE(cache.LastLineHasBreak());
    editor.setPlainText(QString());
    ExpectInStep();
    EXPECT_EQ(cache.Count(), 0u);
}

TEST_F(LineCacheTest, ALineSeparatorInALineIsALineBreakOfTheText) {
    editor.setPlainText("a\n\t\tb");
    followed = FreshLines(editor);
    QTextCursor cursor(editor.document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QString(QChar::LineSeparator) + "\t\tc");
    EXPECT_FALSE(cache.Regular());
    ExpectInStep();
    cursor.deletePreviousChar();
    cursor.deletePreviousChar();
    cursor.deletePreviousChar();
    cursor.deletePreviousChar();
    EXPECT_TRUE(cache.Regular());
    ExpectInStep();
}
