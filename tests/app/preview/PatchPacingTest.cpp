// How edits are paced to the shown pages: one patch at a time, the keys
// typed meanwhile together in the next, and a fresh showing of the pages
// letting go of what the old pages never answered. A navigator that answers
// only when the test says so stands in for the browser.
#include "Eventually.h"
#include "app/preview/LivePreview.h"
#include "controls/LineCache.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace varnoke;
using varnoke::test::Eventually;

namespace {

class THeldNavigator : public TPreviewNavigator {
  public:
    void Navigate(const TNativePath&) override {}
    bool CanPatch() const override { return true; }
    void Patch(const QString& patchJson, std::function<void(bool held)> answered) override {
        Sent.push_back(patchJson);
        Answers.push_back(std::move(answered));
    }
    std::vector<QString> Sent;
    std::vector<std::function<void(bool held)>> Answers;
};

class PatchPacing : public ::testing::Test {
  protected:
    PatchPacing()
        : lines(*editor.document()),
          live(editor, lines, navigator,
               {[this] { ++rebuilds; }, [] { return true; }, [] { return true; },
                [] { return false; }, [] { return 2; }, [] { return TSearchLinks(); }}) {
        // Elements: the main heading, a heading, "one", a heading, "two".
        editor.setPlainText("Title\n\tHeading\n\t\tone\n\tSecond\n\t\ttwo\n");
        live.Rebuilt(true);
    }

    // Types at the end of a line, as the editor reports an edit.
    void TypeAtLine(int line, const QString& text) {
        QTextCursor cursor(editor.document()->findBlockByNumber(line));
        cursor.movePosition(QTextCursor::EndOfBlock);
        cursor.insertText(text);
        live.TextEdited();
    }

    // Types at the start of a line.
    void TypeAtStart(int line, const QString& text) {
        QTextCursor(editor.document()->findBlockByNumber(line)).insertText(text);
        live.TextEdited();
    }

    QPlainTextEdit editor;
    TLineCache lines;
    THeldNavigator navigator;
    int rebuilds = 0;
    TLivePreview live;
};

} // namespace

TEST_F(PatchPacing, KeysTypedBeforeTheAnswerGoTogetherInTheNextPatch) {
    TypeAtLine(2, "a");
    ASSERT_EQ(navigator.Sent.size(), 1u);
    TypeAtLine(2, "b");
    TypeAtLine(4, "c");
    EXPECT_EQ(navigator.Sent.size(), 1u) << "held back while the page takes the first";

    navigator.Answers[0](true);
    ASSERT_EQ(navigator.Sent.size(), 2u);
    EXPECT_TRUE(navigator.Sent[1].contains("\"index\":2") &&
                navigator.Sent[1].contains("\"index\":4"))
        << navigator.Sent[1].toStdString();

    // Nothing new: the answer sends nothing more.
    navigator.Answers[1](true);
    EXPECT_EQ(navigator.Sent.size(), 2u);
    EXPECT_EQ(rebuilds, 0);

    // A page that did not take a patch is built afresh.
    TypeAtLine(2, "d");
    navigator.Answers[2](false);
    EXPECT_EQ(rebuilds, 1);
}

TEST_F(PatchPacing, PagesShownAfreshLetGoOfWhatTheOldOnesNeverAnswered) {
    TypeAtLine(2, "a");
    TypeAtLine(2, "b"); // waits for the first answer
    live.ShownAfresh(); // the new pages hold both
    TypeAtLine(4, "c");
    ASSERT_EQ(navigator.Sent.size(), 2u) << "not held back by an answer that may never come";
    EXPECT_TRUE(navigator.Sent[1].contains("\"index\":4")) << navigator.Sent[1].toStdString();
    EXPECT_FALSE(navigator.Sent[1].contains("\"index\":2")) << "the key before is in the new pages";

    // The old pages' answer, even a refusal, no longer counts.
    navigator.Answers[0](false);
    EXPECT_EQ(rebuilds, 0);
    EXPECT_EQ(navigator.Sent.size(), 2u);
}

// Edits that add, remove or renumber blocks go at the end of the turn of the
// event loop, with the other keys of that turn; a refill alone goes at once.
TEST_F(PatchPacing, KeysOfOneTurnThatRestructureThePagesGoInOnePatch) {
    struct TRow {
        const char* Name;
        std::function<void()> Keys;
        size_t AtOnce;
    };
    const TRow rows[] = {
        {"a letter", [&] { TypeAtLine(2, "x"); }, 1},
        {"a heading made a body line by two tabs",
         [&] {
             TypeAtStart(3, "\t");
             TypeAtStart(3, "\t");
         },
         0},
        {"a letter after a heading made a body line",
         [&] {
             TypeAtStart(1, "\t");
             TypeAtLine(2, "y");
         },
         0},
    };
    for (const TRow& row : rows) {
        const size_t before = navigator.Sent.size();
        row.Keys();
        EXPECT_EQ(navigator.Sent.size() - before, row.AtOnce) << row.Name;
        EXPECT_TRUE(Eventually([&] { return navigator.Sent.size() == before + 1; })) << row.Name;
        navigator.Answers.back()(true);
        EXPECT_EQ(navigator.Sent.size(), before + 1) << row.Name << ": all in one patch";
    }
    EXPECT_EQ(rebuilds, 0);
}
