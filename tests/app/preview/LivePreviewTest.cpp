// The live preview in the real embedded browser, headless: after every edit
// the pages it shows are what a fresh load of the temp folder shows, most
// edits arrive as patches rather than reloads, what a patch cannot express
// is a reload that keeps the reader's page, and the preview and the editor
// follow each other.
#include "app/preview/LivePreview.h"
#include "GroupedBody.h"
#include "WindowTest.h"
#include "controls/ExtMemo.h"

#include <QCheckBox>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QToolButton>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <random>

using namespace varnoke;
using namespace varnoke::test;

namespace {

// Each shown document (the top one and every frame) as its file name and
// its body's markup.
const QString ShownPagesScript = QStringLiteral(
    "(function () { var docs = [document];"
    " for (var i = 0; i < window.frames.length; ++i) docs.push(window.frames[i].document);"
    " return docs.map(function (d) { var p = d.location.pathname;"
    "  return p.substring(p.lastIndexOf('/') + 1) + '\\n' + (d.body ? d.body.innerHTML : '');"
    " }).join('\\n----\\n'); })()");

// The file name each frame shows, as the page script tells the reader's
// place.
const QString FramePagesScript = QStringLiteral(
    "JSON.stringify(Array.prototype.map.call(window.frames, function (f) {"
    " var p = f.location.pathname; return [f.name, p.substring(p.lastIndexOf('/') + 1)]; }))");

const QString CountedScript =
    QStringLiteral("!window.varnokePreview || window.varnokePreview.counted()");

class LivePreview : public TWindowTest {
  protected:
    void SetUp() override { realPreview = true; }

    // Opens a project over the text in the real browser; false when the
    // engine does not load pages on this machine.
    bool OpenManual(const std::string& text, bool split = false, int groupSize = 256,
                    const std::string& keys = "CONTENTSTYPE=1\r\n") {
        Open("[SYSTEM]\r\n");
        window->resize(1000, 800);
        window->show();
        window->findChild<TWebPreview*>()->SetGroupSize(groupSize);
        window->OpenProject(
            Project("m", keys + "FILEDEVIDEFLAG=" + (split ? "1" : "0") + "\r\n", text));
        browser = window->findChild<TWebPreview*>();
        QObject::connect(browser->View(), &QWebEngineView::loadStarted, [this] { ++loads; });
        return Settle(30000) && Js("!!window.varnokePreview").toBool();
    }

    QVariant Js(const QString& script, QWebEnginePage* page = nullptr) {
        QVariant result;
        bool done = false;
        (page ? page : browser->View()->page())->runJavaScript(script, [&](const QVariant& r) {
            result = r;
            done = true;
        });
        EXPECT_TRUE(Eventually([&] { return done; }, 20000)) << script.toStdString();
        return result;
    }

    // Every load finished, every patch sent and answered, every script sent
    // before has run and the pages have counted their anchors and links.
    bool Settle(int milliseconds = 20000) {
        if (!Eventually([&] { return Idle(); }, milliseconds))
            return false;
        if (!Eventually([&] { return Js(CountedScript).toBool(); }, milliseconds))
            return false;
        return !browser->Busy();
    }

    bool Idle() { return !browser->Busy() && window->LivePreview().Idle(); }

    QString Shown() { return Js(ShownPagesScript).toString(); }

    // What a fresh load of the temp folder shows, once it is complete.
    QString Fresh() {
        window->LivePreview().Flush();
        QWebEnginePage fresh;
        bool loaded = false;
        QObject::connect(&fresh, &QWebEnginePage::loadFinished, [&](bool) { loaded = true; });
        fresh.load(QUrl::fromLocalFile(
            Q(Temp(window->ProjectData().ContentsType == 1 ? "frame.html" : "text.html"))));
        EXPECT_TRUE(Eventually([&] { return loaded; }, 20000));
        // The fresh load shows the pages the frame set names; the live
        // preview the ones the reader is on.
        const QString pages = Js(FramePagesScript).toString();
        Js(QStringLiteral("%1.forEach(function (shown) { var f = window.frames[shown[0]];"
                          " if (f.location.pathname.split('/').pop() !== shown[1])"
                          " f.location.replace(shown[1]); })")
               .arg(pages),
           &fresh);
        EXPECT_TRUE(Eventually(
            [&] {
                return Js(FramePagesScript, &fresh).toString() == pages &&
                       Js("Array.prototype.every.call(window.frames, function (f) {"
                          " return f.document.readyState === 'complete'; })",
                          &fresh)
                           .toBool();
            },
            20000));
        return Js(ShownPagesScript, &fresh).toString();
    }

    TExtRichEdit& Editor() { return window->Editor(); }
    QTextCursor CursorAtLine(int line) {
        return QTextCursor(Editor().document()->findBlockByNumber(line));
    }

    // together: edits made one after the other, each as soon as the page
    // has taken the last, before the pages are compared.
    void RunRandomEdits(int edits, unsigned seed, int together = 1);

    TWebPreview* browser = nullptr;
    int loads = 0;
};

// One random edit as an author makes them: characters and tabs typed or
// deleted, lines split and joined, headings and comments added or removed,
// lines made headings, main headings or body lines by a tab at their
// start, blocks pasted.
void RandomEdit(QTextDocument& document, std::mt19937& random) {
    static const QStringList typed = {"a", "\u30CE", "\t", " ", "x", "&amp;"};
    static const QStringList lines = {
        "\t\tbody text\n", "\tA heading\n", "Main\n", "# note\n", "\n", "\t\t\tindented \u30CF\n"};
    const int length = document.characterCount() - 1;
    QTextCursor cursor(&document);
    cursor.setPosition(static_cast<int>(random() % (length + 1)));
    switch (random() % 9) {
    case 7:
    case 8:
        cursor.movePosition(QTextCursor::StartOfBlock);
        if (cursor.block().text().startsWith(QLatin1Char('\t')) && random() % 2 == 0)
            cursor.deleteChar();
        else
            cursor.insertText("\t");
        break;
    case 0:
    case 1:
        cursor.insertText(typed[static_cast<int>(random() % typed.size())]);
        break;
    case 2:
        cursor.deleteChar();
        break;
    case 3:
        cursor.insertText("\n"); // a line split
        break;
    case 4:
        cursor.movePosition(QTextCursor::StartOfBlock);
        cursor.insertText(lines[static_cast<int>(random() % lines.size())]);
        break;
    case 5:
        cursor.movePosition(QTextCursor::StartOfBlock);
        cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
        cursor.removeSelectedText(); // a line removed
        break;
    default:
        cursor.movePosition(QTextCursor::StartOfBlock);
        cursor.insertText("\tPasted\n\t\tone\n\n\t\ttwo\n# c\n"); // a block pasted
        break;
    }
}

std::string Manual() {
    std::string text = "Title\r\n\t\tintro\r\n";
    for (int i = 0; i < 6; ++i) {
        text += "\tHeading " + std::to_string(i) + "\r\n\t\tfirst line\r\n\r\n\t\t\tsecond\r\n";
        if (i == 3)
            text += "Second main\r\n# comment\r\n\t\tmore\r\n";
    }
    return text;
}

void LivePreview::RunRandomEdits(int edits, unsigned seed, int together) {
    std::mt19937 random(seed);
    const int loadsBefore = loads;
    for (int step = 0; step < edits; ++step) {
        RandomEdit(*Editor().document(), random);
        if ((step + 1) % together != 0) {
            ASSERT_TRUE(Eventually([&] { return Idle(); }, 20000)) << "step " << step;
            Js("1");
            continue;
        }
        ASSERT_TRUE(Settle()) << "step " << step;
        ASSERT_EQ(Shown().toStdString(), Fresh().toStdString()) << "after edit " << step;
        ASSERT_EQ(Js(GroupOrderScript).toString().indexOf("out of order"), -1)
            << "after edit " << step;
    }
    EXPECT_LT(loads - loadsBefore, edits / 3) << "most edits are patches";
}

} // namespace

TEST_F(LivePreview, AfterEveryRandomEditThePreviewShowsWhatAFreshLoadShows) {
    if (!OpenManual(Manual()))
        GTEST_SKIP() << "the browser engine does not load pages on this machine";
    ASSERT_EQ(Shown(), Fresh());
    RunRandomEdits(200, 3);
}

// Groups of three blocks, so that the edits fill, part and empty many
// of them, as in a long manual.
TEST_F(LivePreview, ABodyShownInSmallGroupsShowsAfterEveryRandomEditWhatAFreshLoadShows) {
    if (!OpenManual(Manual(), false, 3))
        GTEST_SKIP() << "the browser engine does not load pages on this machine";
    ASSERT_TRUE(Js(GroupOrderScript).toString().contains("grouped in order"));
    RunRandomEdits(150, 5);
}

// The pages count their anchors and links one block a turn, so that the
// edits come while they still count.
TEST_F(LivePreview, EditsThatComeWhileThePagesCountTheirAnchorsShowWhatAFreshLoadShows) {
    for (const bool split : {false, true}) {
        if (!OpenManual(Manual(), split))
            GTEST_SKIP() << "the browser engine does not load pages on this machine";
        Js("window.varnokeCountSteps = 1");
        RunRandomEdits(90, split ? 9 : 8, 3);
    }
}

TEST_F(LivePreview, SplitPagesArePatchedAsWell) {
    if (!OpenManual(Manual(), true))
        GTEST_SKIP() << "the browser engine does not load pages on this machine";
    RunRandomEdits(100, 4);
}

// The search's link stands before the blocks: in the menu with frames, in
// the body page without.
TEST_F(LivePreview, WithTheSearchLinkInTheMenuThePagesArePatchedAsWell) {
    if (!OpenManual(Manual(), false, 256, "CONTENTSTYPE=1\r\nSEARCHFLAG=1\r\n"))
        GTEST_SKIP() << "the browser engine does not load pages on this machine";
    ASSERT_TRUE(Shown().contains("search.html"));
    RunRandomEdits(60, 6);
}

TEST_F(LivePreview, WithTheSearchLinkInTheBodyThePagesArePatchedAsWell) {
    if (!OpenManual(Manual(), false, 256, "CONTENTSTYPE=0\r\nSEARCHFLAG=1\r\n"))
        GTEST_SKIP() << "the browser engine does not load pages on this machine";
    ASSERT_TRUE(Shown().contains("search.html"));
    RunRandomEdits(60, 7);
}

// Four chapters of 30 headings, each with a body line: a split manual
// whose pages are longer than the preview.
std::string Chapters() {
    std::string text;
    for (int c = 0; c < 4; ++c) {
        text += "Chapter " + std::to_string(c) + "\r\n";
        for (int i = 0; i < 30; ++i)
            text += "\tHeading " + std::to_string(i) + "\r\n\t\tline " + std::to_string(i) + "\r\n";
    }
    return text;
}

TEST_F(LivePreview, SplitTheBodyFrameFollowsTheCaretToItsPageAndShowsItsEdits) {
    if (!OpenManual(Chapters(), true))
        GTEST_SKIP() << "the browser engine does not load pages on this machine";
    // The body line under heading 25 of chapter 2.
    const int line = 2 * 61 + 1 + 25 * 2 + 1;
    Editor().setTextCursor(CursorAtLine(line));
    ASSERT_TRUE(Eventually(
        [&] { return Js(FramePagesScript).toString().contains(R"(["mainframe","text2.html"])"); },
        20000));
    ASSERT_TRUE(Settle());
    EXPECT_TRUE(Eventually([&] { return Js("window.frames.mainframe.scrollY").toInt() > 500; }))
        << "the caret's block in view";

    // Typed there at once: the page it opened shows the keys.
    QTextCursor cursor = CursorAtLine(line);
    cursor.movePosition(QTextCursor::EndOfBlock);
    Editor().setTextCursor(cursor);
    QTest::keyClicks(&Editor(), " typed");
    ASSERT_TRUE(Settle());
    EXPECT_TRUE(Shown().contains("line 25 typed"));
    EXPECT_EQ(Shown(), Fresh());
}

TEST_F(LivePreview, SplitAChapterThatMovesThePagesLoadsTheShownPageAndTheMenuWhereTheReaderWas) {
    if (!OpenManual(Chapters(), true))
        GTEST_SKIP() << "the browser engine does not load pages on this machine";
    Find<QToolButton>("FollowButton")->click(); // the reader stays where they are
    Js("window.frames.mainframe.location.replace('text2.html')");
    ASSERT_TRUE(Eventually(
        [&] { return Js(FramePagesScript).toString().contains(R"(["mainframe","text2.html"])"); },
        20000));
    ASSERT_TRUE(Settle());
    Js("window.frames.mainframe.scrollTo(0, 600); window.varnokeNotReloaded = true");
    ASSERT_TRUE(Eventually([&] { return Js("window.frames.mainframe.scrollY").toInt() == 600; }));

    // A chapter opened in the first one, then taken back out.
    for (const bool added : {true, false}) {
        QTextCursor cursor = CursorAtLine(10);
        if (added) {
            cursor.insertText("New chapter\n");
        } else {
            cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
        }
        ASSERT_TRUE(Settle());
        EXPECT_EQ(Shown(), Fresh()) << added;
        EXPECT_TRUE(Shown().contains(added ? "New chapter" : "Chapter 2")) << added;
        EXPECT_TRUE(Js("window.varnokeNotReloaded === true").toBool()) << "only the frames";
        EXPECT_TRUE(Js(FramePagesScript).toString().contains(R"(["mainframe","text2.html"])"));
        EXPECT_TRUE(Eventually([&] {
            return Js("window.frames.mainframe.scrollY").toInt() == 600;
        })) << added;
    }
}

TEST_F(LivePreview, KeysTypedWhileThePageTakesAPatchGoTogetherInTheNext) {
    if (!OpenManual(Manual()))
        GTEST_SKIP() << "the browser engine does not load pages on this machine";
    // The page counts the patches it is sent.
    Js("(function () { var patch = window.varnokePreview.patch; window.varnokePatches = 0;"
       " window.varnokePreview.patch = function (c) { ++window.varnokePatches; return patch(c); };"
       " })()");
    const int before = loads;
    QTextCursor cursor = CursorAtLine(1);
    cursor.movePosition(QTextCursor::EndOfBlock);
    Editor().setTextCursor(cursor);
    // Typed with no turn of the event loop between the keys, so that no
    // answer of the page can come before the last key.
    QTest::keyClicks(&Editor(), " typed faster than a page answers");
    ASSERT_TRUE(Settle());
    EXPECT_EQ(Shown(), Fresh());
    EXPECT_EQ(loads, before);
    EXPECT_EQ(Js("window.varnokePatches").toInt(), 2) << "the first key, then all the others";
}

TEST_F(LivePreview, MarkupTheBrowserWouldRestructureIsAReload) {
    if (!OpenManual(Manual()))
        GTEST_SKIP() << "the browser engine does not load pages on this machine";
    for (const char* typed : {"<div>", "</p>", "<b>"}) {
        const int before = loads;
        CursorAtLine(3).insertText(typed);
        ASSERT_TRUE(Settle());
        EXPECT_GT(loads, before) << typed;
        EXPECT_EQ(Shown(), Fresh()) << typed;
    }
}

TEST_F(LivePreview, ASplitModeOrStyleChangeIsAReloadThatKeepsTheReadersPage) {
    if (!OpenManual(Manual(), true))
        GTEST_SKIP() << "the browser engine does not load pages on this machine";
    Js("window.frames.mainframe.location.href = 'text1.html'");
    ASSERT_TRUE(Eventually([&] { return Shown().contains("text1.html\n"); }, 20000));

    // A style change rebuilds the pages; the reader stays on page 1.
    int before = loads;
    window->MakePreview();
    ASSERT_TRUE(Settle());
    EXPECT_GT(loads, before);
    EXPECT_TRUE(Eventually([&] { return Shown().contains("text1.html\n"); }, 5000)) << "lost page";

    // The split turned off: the page no longer exists, the body shows.
    before = loads;
    Find<QCheckBox>("CheckBox2")->click();
    ASSERT_TRUE(Settle());
    EXPECT_GT(loads, before);
    EXPECT_TRUE(Eventually([&] { return Shown().contains("text.html\n"); }, 5000));
}

TEST_F(LivePreview, ThePreviewFollowsTheCaretAndADoubleClickFindsTheLine) {
    std::string text = "Title\r\n";
    for (int i = 0; i < 80; ++i)
        text += "\tHeading " + std::to_string(i) + "\r\n\t\tline one\r\n\t\tline two\r\n";
    if (!OpenManual(text))
        GTEST_SKIP() << "the browser engine does not load pages on this machine";
    const QString mainScroll = "window.frames.mainframe.scrollY";
    ASSERT_EQ(Js(mainScroll).toInt(), 0);

    // The caret near the end: the body frame scrolls to its block.
    window->Editor().setTextCursor(CursorAtLine(200));
    ASSERT_TRUE(Eventually([&] { return Js(mainScroll).toInt() > 1000; }, 5000));
    const int followed = Js(mainScroll).toInt();
    // A line of the same block in view already: no jump.
    window->Editor().setTextCursor(CursorAtLine(201));
    RunEventsFor(100);
    EXPECT_EQ(Js(mainScroll).toInt(), followed);

    // A double-click on the heading of block 11 (Heading 5) puts the caret
    // on its line.
    Js("(function () { var d = window.frames.mainframe.document; var h = d.body.children[11];"
       " var r = h.getBoundingClientRect();"
       " h.dispatchEvent(new MouseEvent('dblclick', {bubbles: true, clientX: r.left + 2,"
       " clientY: r.top + 2})); })()");
    EXPECT_TRUE(Eventually([&] { return window->Editor().textCursor().blockNumber() == 16; }))
        << window->Editor().textCursor().blockNumber();

    // Between two blocks, in the margin above a heading: the heading's line.
    Js("(function () { var d = window.frames.mainframe.document; var h = d.body.children[13];"
       " h.style.marginTop = '30px'; var r = h.getBoundingClientRect();"
       " d.body.dispatchEvent(new MouseEvent('dblclick', {bubbles: true, clientX: r.left + 2,"
       " clientY: r.top - 10})); })()");
    EXPECT_TRUE(Eventually([&] { return window->Editor().textCursor().blockNumber() == 19; }))
        << window->Editor().textCursor().blockNumber();

    // Turned off, the preview stays where the reader left it; the choice is
    // kept in the settings file.
    RunEventsFor(100);
    const int left = Js(mainScroll).toInt();
    Find<QToolButton>("FollowButton")->click();
    window->Editor().setTextCursor(CursorAtLine(230));
    RunEventsFor(200);
    EXPECT_EQ(Js(mainScroll).toInt(), left);
    window.reset();
    EXPECT_NE(ReadFile(folder.File("varnoke.INI")).find("PREVIEWFOLLOW=0"), std::string::npos);
}

// Two keys of one turn that retype a line twice go in one patch, whose
// second change takes out the block its first one made: the page takes it
// and shows what a fresh load shows.
TEST_F(LivePreview, AKeyThatUndoesTheBlockTheKeyBeforeMadeInOnePatchIsTaken) {
    if (!OpenManual(Manual()))
        GTEST_SKIP() << "the browser engine does not load pages on this machine";
    struct TRow {
        int Line;
        bool Remove; // the two tabs deleted rather than typed
    };
    // The first main heading, a later one, a heading, and a body line made
    // a main heading.
    for (const TRow row : {TRow{0, false}, TRow{18, false}, TRow{6, false}, TRow{7, true}}) {
        const int loadsBefore = loads;
        const QString before = CursorAtLine(row.Line).block().text();
        for (int key = 0; key < 2; ++key) {
            QTextCursor cursor = CursorAtLine(row.Line);
            if (row.Remove)
                cursor.deleteChar();
            else
                cursor.insertText("\t");
        }
        ASSERT_TRUE(Settle()) << before.toStdString();
        EXPECT_EQ(loads, loadsBefore) << before.toStdString() << ": a patch, not a reload";
        EXPECT_EQ(Shown().toStdString(), Fresh().toStdString()) << before.toStdString();
    }
}
