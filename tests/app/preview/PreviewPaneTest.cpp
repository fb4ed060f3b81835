// The embedded browser, headless: reloading the page it shows keeps the
// reader's place; a patch changes the shown page into what a load of the
// changed page shows, or says it could not.
#include "app/preview/PreviewPane.h"
#include "Eventually.h"
#include "GroupedBody.h"
#include "TestSupport.h"

#include <QApplication>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <gtest/gtest.h>

#include <optional>
#include <vector>

using namespace varnoke;
using namespace varnoke::test;

namespace {

std::string LongPage(const std::string& marker) {
    std::string page = "<html><body>";
    for (int i = 0; i < 400; ++i)
        page += "<p>" + marker + " line " + std::to_string(i) + "</p>";
    return page + "</body></html>";
}

// A body page as the build writes it: each block after a line break, then
// the closing paragraph.
std::string BodyPage(const std::vector<std::string>& blocks, const std::string& style = "") {
    std::string page = "<html><head><style>" + style + "</style></head><body>\r\n";
    for (const std::string& block : blocks)
        page += block + "\r\n";
    return page + "<p></p>\r\n</body></html>\r\n";
}

QString Splice(int index, int removed, const std::vector<std::string>& inserted) {
    QStringList markup;
    for (const std::string& block : inserted)
        markup << "\"" + QByteArray::fromStdString(block + "\r\n").toBase64() + "\"";
    return QStringLiteral(R"({"page":"text.html","index":%1,"removed":%2,"inserted":[%3]})")
        .arg(index)
        .arg(removed)
        .arg(markup.join(','));
}

QString Patch(const QString& splice, int count) {
    return QStringLiteral(R"({"splices":[%1],"counts":{"text.html":%2}})").arg(splice).arg(count);
}

QString Js(QWebEnginePage* page, const QString& script) {
    QString answer;
    bool done = false;
    page->runJavaScript(script, [&](const QVariant& result) {
        answer = result.toString();
        done = true;
    });
    EXPECT_TRUE(Eventually([&] { return done; }, 20000));
    return answer;
}

QString BodyOf(QWebEnginePage* page) {
    return Js(page, "document.body.innerHTML");
}

// Where each block of the body stands and how large it is, and the
// height of the whole page. An empty block shows nothing, and where its
// margins collapse through a group's edge it is reported at the other end
// of them; it stands as "empty".
QString BlockBoxes(QWebEnginePage* page) {
    return Js(page, "Array.prototype.map.call(document.body.children, function (e) {"
                    " var r = e.getBoundingClientRect();"
                    " return r.height === 0 ? 'empty' :"
                    " [r.left, r.top, r.width, r.height].join(','); }).join(' ') +"
                    " ' / ' + document.documentElement.scrollHeight");
}

// The shown page, patched: a preview of the first page, to which patches go.
class PagePatch : public ::testing::Test {
  protected:
    void SetUp() override {
        preview.resize(400, 300);
        preview.show();
        preview.SetGroupSize(groupSize);
        QObject::connect(preview.View(), &QWebEngineView::loadFinished,
                         [&](bool ok) { loaded = ok; });
        WriteFile(folder.File("text.html"),
                  BodyPage({"<h2>Heading</h2>", "<p>one<br>\r\nmore</p>", "<p>two</p>"},
                           "p.aside { float: right }"));
        preview.Navigate(folder.Native("text.html"));
        if (!Eventually([&] { return loaded && !preview.Busy(); }, 20000))
            GTEST_SKIP() << "the browser engine does not load pages on this machine";
    }

    // What the page answered: true when it holds the patch.
    bool Apply(const QString& patch) {
        std::optional<bool> held;
        preview.Patch(patch, [&](bool answer) { held = answer; });
        EXPECT_TRUE(Eventually([&] { return held.has_value(); }, 20000));
        return held.value_or(false);
    }

    // What a fresh load of these blocks shows.
    QString Loaded(const std::vector<std::string>& blocks) {
        WriteFile(folder.File("fresh.html"), BodyPage(blocks));
        QWebEnginePage fresh;
        bool done = false;
        QObject::connect(&fresh, &QWebEnginePage::loadFinished, [&](bool) { done = true; });
        fresh.load(QUrl::fromLocalFile(QString::fromStdString(folder.File("fresh.html"))));
        EXPECT_TRUE(Eventually([&] { return done; }, 20000));
        return BodyOf(&fresh);
    }

    QString GroupOrder() { return Js(preview.View()->page(), GroupOrderScript); }

    int groupSize = 256;
    TScratchFolder folder;
    TWebPreview preview;
    bool loaded = false;
};

// The same page shown in groups of two blocks, which patches fill, part and
// empty.
class GroupedPagePatch : public PagePatch {
  protected:
    void SetUp() override {
        groupSize = 2;
        PagePatch::SetUp();
    }
};

int ScrollY(QWebEngineView* view) {
    return static_cast<int>(view->page()->scrollPosition().y());
}
// The preview shown at a small size; `loaded` tells of each load that
// finished.
void ShowSmall(TWebPreview& preview, bool& loaded) {
    preview.resize(400, 300);
    preview.show();
    QObject::connect(preview.View(), &QWebEngineView::loadFinished,
                     [&loaded](bool ok) { loaded = ok; });
}
} // namespace

TEST(PreviewPane, ReloadingTheSamePageKeepsTheScrollPosition) {
    TScratchFolder folder;
    WriteFile(folder.File("text.html"), LongPage("first"));
    TWebPreview preview;
    bool loaded = false;
    ShowSmall(preview, loaded);
    preview.Navigate(folder.Native("text.html"));
    if (!Eventually([&] { return loaded; }, 20000))
        GTEST_SKIP() << "the browser engine does not load pages on this machine";

    preview.View()->page()->runJavaScript("window.scrollTo(0, 1500)");
    if (!Eventually([&] { return ScrollY(preview.View()) >= 1400; }, 10000))
        GTEST_SKIP() << "the browser engine does not scroll headless here";

    loaded = false;
    WriteFile(folder.File("text.html"), LongPage("second"));
    preview.Navigate(folder.Native("text.html"));
    ASSERT_TRUE(Eventually([&] { return loaded; }, 20000));
    EXPECT_TRUE(Eventually([&] { return ScrollY(preview.View()) >= 1400; }, 10000))
        << "scrolled to " << ScrollY(preview.View());

    // Another page starts at its top.
    loaded = false;
    WriteFile(folder.File("frame.html"), LongPage("other"));
    preview.Navigate(folder.Native("frame.html"));
    ASSERT_TRUE(Eventually([&] { return loaded; }, 20000));
    RunEventsFor(200);
    EXPECT_LT(ScrollY(preview.View()), 100);
}

TEST_F(PagePatch, ThePatchedPageIsWhatALoadOfTheChangedPageShows) {
    // The same tag, new content: text alone, and text with a line break.
    ASSERT_TRUE(Apply(Patch(Splice(1, 2, {"<p>one, changed</p>", "<p>two<br>\r\nlines</p>"}), 3)));
    EXPECT_EQ(BodyOf(preview.View()->page()),
              Loaded({"<h2>Heading</h2>", "<p>one, changed</p>", "<p>two<br>\r\nlines</p>"}));

    // Another tag in place of a block, blocks removed and added, at the
    // start and before the closing paragraph.
    ASSERT_TRUE(Apply(Patch(Splice(0, 2, {"<p>no heading</p>"}), 2)));
    ASSERT_TRUE(Apply(Patch(Splice(2, 0, {"<h2>Last</h2>", "<p>end</p>"}), 4)));
    EXPECT_EQ(
        BodyOf(preview.View()->page()),
        Loaded({"<p>no heading</p>", "<p>two<br>\r\nlines</p>", "<h2>Last</h2>", "<p>end</p>"}));
}

TEST_F(PagePatch, WhatAPatchCannotExpressAsksForAReload) {
    EXPECT_FALSE(Apply(Patch(Splice(1, 1, {"<p>a</p><p>b</p>"}), 3))) << "two elements";
    EXPECT_FALSE(Apply(Patch(Splice(1, 1, {"plain text"}), 3))) << "no element";
    EXPECT_FALSE(Apply(Patch(Splice(3, 1, {"<p>x</p>"}), 3))) << "the closing paragraph";
    EXPECT_FALSE(Apply(Patch(Splice(1, 1, {"<p>x</p>"}), 4))) << "the window expects another count";
}

TEST_F(GroupedPagePatch, PatchesKeepEveryBlockShownInTheBodysOrder) {
    ASSERT_EQ(GroupOrder(), "grouped in order");
    // Refilled, replaced, removed, and so many added that a group parts.
    ASSERT_TRUE(Apply(Patch(Splice(1, 2, {"<p>one, changed</p>", "<h3>now a heading</h3>"}), 3)));
    ASSERT_TRUE(Apply(Patch(Splice(0, 1, {}), 2)));
    ASSERT_TRUE(Apply(Patch(Splice(1, 0, {"<p>a</p>", "<p>b</p>", "<p>c</p>", "<p>d</p>"}), 6)));
    ASSERT_TRUE(Apply(Patch(Splice(6, 0, {"<p>end</p>"}), 7)));
    EXPECT_EQ(GroupOrder(), "grouped in order");
    const std::vector<std::string> blocks = {
        "<p>one, changed</p>",    "<p>a</p>",  "<p>b</p>", "<p>c</p>", "<p>d</p>",
        "<h3>now a heading</h3>", "<p>end</p>"};
    EXPECT_EQ(BodyOf(preview.View()->page()), Loaded(blocks));

    // And every block stands where a plain browser puts it.
    QWebEngineView plain;
    plain.resize(400, 300);
    plain.show();
    bool plainLoaded = false;
    QObject::connect(&plain, &QWebEngineView::loadFinished, [&](bool ok) { plainLoaded = ok; });
    plain.load(QUrl::fromLocalFile(QString::fromStdString(folder.File("fresh.html"))));
    ASSERT_TRUE(Eventually([&] { return plainLoaded; }, 20000));
    EXPECT_EQ(BlockBoxes(preview.View()->page()), BlockBoxes(plain.page()));
}

TEST_F(GroupedPagePatch, ABlockThatWouldNotStandInAColumnOfBlocksAsksForAReload) {
    EXPECT_FALSE(Apply(Patch(Splice(1, 0, {"<p class=\"aside\">floats</p>"}), 4)));
    EXPECT_FALSE(Apply(Patch(Splice(1, 0, {"<p>a <b style=\"position: fixed\">b</b></p>"}), 5)));
}

// A page shown once by the preview, in groups, and once by a plain browser
// of the same size.
class TSideBySide {
  public:
    explicit TSideBySide(int groupSize) {
        preview.SetGroupSize(groupSize);
        for (QWidget* view : {static_cast<QWidget*>(&preview), static_cast<QWidget*>(&plain)}) {
            view->resize(400, 300);
            view->show();
        }
        QObject::connect(preview.View(), &QWebEngineView::loadFinished,
                         [this](bool ok) { previewLoaded = ok; });
        QObject::connect(&plain, &QWebEngineView::loadFinished,
                         [this](bool ok) { plainLoaded = ok; });
    }

    // False when the browser engine does not load pages here.
    bool Show(const std::string& file) {
        previewLoaded = plainLoaded = false;
        preview.Navigate(TNativePath(file));
        plain.load(QUrl::fromLocalFile(QString::fromStdString(file)));
        return Eventually([&] { return previewLoaded && plainLoaded && !preview.Busy(); }, 20000);
    }

    QString GroupOrder() { return Js(preview.View()->page(), GroupOrderScript); }
    QString PreviewBoxes() { return BlockBoxes(preview.View()->page()); }
    QString PlainBoxes() { return BlockBoxes(plain.page()); }
    QString PreviewJs(const QString& script) { return Js(preview.View()->page(), script); }

    // What the preview answered: true when it holds the patch.
    bool Apply(const QString& patch) {
        std::optional<bool> held;
        preview.Patch(patch, [&](bool answer) { held = answer; });
        EXPECT_TRUE(Eventually([&] { return held.has_value(); }, 20000));
        return held.value_or(false);
    }

    void ResizePreview(int width) { preview.resize(width, 300); }

    // Loads the file in the plain browser only.
    bool ShowPlain(const std::string& file) {
        plainLoaded = false;
        plain.load(QUrl::fromLocalFile(QString::fromStdString(file)));
        return Eventually([&] { return plainLoaded; }, 20000);
    }

  private:
    TWebPreview preview;
    QWebEngineView plain;
    bool previewLoaded = false;
    bool plainLoaded = false;
};

// Blocks with margins that collapse, borders, padding and an offset, so
// many that the parser adds them in several pieces.
TEST(PreviewPane, BlocksShownInGroupsStandWhereTheyStandInAPlainBrowser) {
    TScratchFolder folder;
    std::vector<std::string> blocks;
    for (int i = 0; i < 4000; ++i) {
        if (i % 7 == 0)
            blocks.push_back("<h2>Heading " + std::to_string(i) + "</h2>");
        blocks.push_back(i % 5 == 3   ? "<p class=\"note\">note<br>\r\nsecond line</p>"
                         : i % 9 == 4 ? "<p></p>"
                                      : "<p>paragraph " + std::to_string(i) + "</p>");
    }
    WriteFile(folder.File("text.html"),
              BodyPage(blocks, "body { margin: 10px 14px } h2 { margin: 24px 0 6px; padding: 3px;"
                               " border-bottom: 2px solid } p { margin: 0.8em 0 1.3em }"
                               " p.note { margin-left: 2em; position: relative; top: 3px }"));
    TSideBySide shown(3);
    if (!shown.Show(folder.File("text.html")))
        GTEST_SKIP() << "the browser engine does not load pages on this machine";
    ASSERT_EQ(shown.GroupOrder(), "grouped in order");
    const QStringList grouped = shown.PreviewBoxes().split(' ');
    const QStringList plain = shown.PlainBoxes().split(' ');
    ASSERT_EQ(grouped.size(), plain.size());
    for (int k = 0; k < grouped.size(); ++k)
        ASSERT_EQ(grouped[k].toStdString(), plain[k].toStdString()) << "block " << k;
}

// Inline content, floats, a body laid out otherwise, kept line breaks,
// content placed elsewhere: the groups dissolve.
TEST(PreviewPane, ABodyThatIsNotAColumnOfBlocksIsShownAsWritten) {
    TScratchFolder folder;
    TSideBySide shown(2);
    const std::vector<std::pair<std::vector<std::string>, std::string>> pages = {
        {{"<p>a</p>", "<span>inline</span>", "<span>more</span>", "<p>b</p>"}, ""},
        {{"<p>a</p>", "<p>b</p>", "<p>c</p>", "<p>d</p>"}, "p { float: left; width: 30% }"},
        {{"<p>a</p>", "<p>b</p>", "<p>c</p>", "<p>d</p>"}, "body { column-count: 2 }"},
        {{"<p>a</p>", "<p>b</p>", "<p>c</p>", "<p>d</p>"}, "body { display: flex }"},
        {{"<p>a</p>", "<p>b</p>", "<p>c</p>", "<p>d</p>"}, "body { white-space: pre }"},
        {{"<p>a</p>", "<p>b <span style=\"position: absolute; top: 0\">up</span></p>", "<p>c</p>"},
         ""},
    };
    for (size_t k = 0; k < pages.size(); ++k) {
        const std::string file = folder.File("page" + std::to_string(k) + ".html");
        WriteFile(file, BodyPage(pages[k].first, pages[k].second));
        if (!shown.Show(file))
            GTEST_SKIP() << "the browser engine does not load pages on this machine";
        EXPECT_EQ(shown.GroupOrder(), "dissolved in order") << k;
        EXPECT_EQ(shown.PreviewBoxes().toStdString(), shown.PlainBoxes().toStdString()) << k;
    }
}

TEST(PreviewPane, ThePlaceToFollowAskedForDuringALoadIsShownOnceItIsLoaded) {
    TScratchFolder folder;
    std::vector<std::string> blocks;
    for (int i = 0; i < 300; ++i)
        blocks.push_back("<p>paragraph " + std::to_string(i) + "</p>");
    WriteFile(folder.File("text.html"), BodyPage(blocks));
    TWebPreview preview;
    bool loaded = false;
    ShowSmall(preview, loaded);
    preview.Navigate(folder.Native("text.html"));
    preview.Follow(R"({"page":"text.html","block":250,"line":0})");
    if (!Eventually([&] { return loaded && !preview.Busy(); }, 20000))
        GTEST_SKIP() << "the browser engine does not load pages on this machine";
    EXPECT_TRUE(Eventually([&] { return ScrollY(preview.View()) > 3000; }, 10000))
        << "scrolled to " << ScrollY(preview.View());
}

// The boxes of the preview's groups that are painted on their own, each
// with whether every block in it shows inside it: "ok", or the first block
// (its index in the body) that shows outside.
const QString PaintedBoxesScript = QStringLiteral(
    "(function () { var root = document.body.shadowRoot; if (!root) return 'no groups';"
    " var kids = Array.prototype.slice.call(document.body.children), bad = [];"
    " root.querySelectorAll('slot').forEach(function (slot) {"
    "  var box = slot.parentNode;"
    "  if (getComputedStyle(box).contain.indexOf('paint') < 0) return;"
    "  var area = box.getBoundingClientRect();"
    "  slot.assignedNodes().forEach(function (b) { var r = b.getBoundingClientRect();"
    "   if (r.top < area.top || r.bottom > area.bottom || r.left < area.left ||"
    "    r.right > area.right || b.scrollWidth > b.clientWidth) bad.push(kids.indexOf(b));"
    "  }); });"
    " return bad.length ? 'outside: ' + bad.join(' ') : 'ok'; })()");

struct TSpliceRow {
    int Index;
    int Removed;
    std::vector<std::string> Inserted;
};

// Pages of margins that collapse across the groups' edges, in tiny groups,
// patched so that groups fill, part, empty and end with blocks that show
// nothing: every block stands where a plain load of the patched page puts
// it, and no box painted on its own has a block that shows outside it.
TEST(PreviewPane, PatchedBlocksStandWhereAPlainLoadPutsThemAndNoPaintedBoxCutsOneOff) {
    struct TRow {
        const char* Name;
        std::string Head; // before "<html>"
        std::string Style;
        std::vector<std::string> Blocks;
        std::vector<TSpliceRow> Splices;
    };
    const std::string p = "<p>para</p>";
    const std::string empty = "<p></p>";
    const std::vector<TRow> rows = {
        {"the browser's own margins, left out at the body's edges without a document type",
         "",
         "",
         {"<h2>a</h2>", p, p, "<h3>b</h3>", p, empty, p, p},
         {{0, 3, {}}, {0, 0, {empty, empty}}, {3, 2, {"<h2>c</h2>"}}, {5, 1, {}}}},
        {"margins of a style sheet, blocks that show nothing at the groups' edges",
         "",
         "body { margin: 10px 14px } h2 { margin: 24px 0 6px; border-bottom: 2px solid }"
         " p { margin: 0.8em 0 1.3em }",
         {"<h2>a</h2>", p, empty, empty, p, "<h2>b</h2>", p, empty, p},
         {{2, 2, {p}}, {1, 0, {empty, empty, empty}}, {7, 1, {"<h2>c</h2>", empty}}, {0, 2, {}}}},
        {"negative margins, a padded body, blocks moved out of their place, a standard page",
         "<!DOCTYPE html>",
         "body { margin: 0 20px 30px; padding-top: 5px } h2 { margin: -4px 0 10px }"
         " p { margin: 6px 0 } p.up { position: relative; top: -9px }"
         " p.wide { margin-left: -12px }",
         {"<h2>a</h2>", p, "<p class=\"up\">up</p>", p, p, "<h2>b</h2>", p, p},
         {{3, 0, {"<p class=\"up\">up</p>", "<p class=\"wide\">wide</p>"}},
          {0, 1, {}},
          {6, 1, {"<p class=\"up\">up</p>"}}}},
    };
    TScratchFolder folder;
    TSideBySide shown(2);
    for (size_t k = 0; k < rows.size(); ++k) {
        const TRow& row = rows[k];
        const std::string page = folder.File("text.html"); // the page the patches name
        WriteFile(page, row.Head + BodyPage(row.Blocks, row.Style));
        if (!shown.Show(page))
            GTEST_SKIP() << "the browser engine does not load pages on this machine";
        std::vector<std::string> blocks = row.Blocks;
        for (const TSpliceRow& splice : row.Splices) {
            blocks.erase(blocks.begin() + splice.Index,
                         blocks.begin() + splice.Index + splice.Removed);
            blocks.insert(blocks.begin() + splice.Index, splice.Inserted.begin(),
                          splice.Inserted.end());
            ASSERT_TRUE(shown.Apply(Patch(Splice(splice.Index, splice.Removed, splice.Inserted),
                                          static_cast<int>(blocks.size()))))
                << row.Name;
        }
        const std::string fresh = folder.File("fresh" + std::to_string(k) + ".html");
        WriteFile(fresh, row.Head + BodyPage(blocks, row.Style));
        ASSERT_TRUE(shown.ShowPlain(fresh));
        EXPECT_EQ(shown.GroupOrder(), "grouped in order") << row.Name;
        EXPECT_EQ(shown.PreviewBoxes().toStdString(), shown.PlainBoxes().toStdString()) << row.Name;
        EXPECT_EQ(shown.PreviewJs(PaintedBoxesScript), "ok") << row.Name;
    }
}

// A word that fits the column until the preview is made narrower: its box
// is no longer painted on its own, which would cut the word off.
TEST(PreviewPane, ABlockThatANarrowerPreviewWrapsOutOfItsBoxIsNotCutOff) {
    TScratchFolder folder;
    TSideBySide shown(2);
    const std::string word = "<p>" + std::string(24, 'w') + "</p>";
    WriteFile(folder.File("text.html"),
              BodyPage({"<p>a</p>", "<p>b</p>", "<p>c</p>", word, "<p>d</p>", "<p>e</p>"}));
    if (!shown.Show(folder.File("text.html")))
        GTEST_SKIP() << "the browser engine does not load pages on this machine";
    ASSERT_EQ(shown.PreviewJs(PaintedBoxesScript), "ok");
    shown.ResizePreview(120);
    EXPECT_TRUE(Eventually([&] { return shown.PreviewJs(PaintedBoxesScript) == "ok"; }, 5000))
        << shown.PreviewJs(PaintedBoxesScript).toStdString();
}
