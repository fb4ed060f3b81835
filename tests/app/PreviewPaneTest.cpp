// The embedded browser, headless: reloading the page it shows keeps the
// reader's place; a patch changes the shown page into what a load of the
// changed page shows, or says it could not.
#include "app/PreviewPane.h"
#include "Eventually.h"
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
std::string BodyPage(const std::vector<std::string>& blocks) {
    std::string page = "<html><body>\r\n";
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

QString BodyOf(QWebEnginePage* page) {
    QString body;
    bool done = false;
    page->runJavaScript("document.body.innerHTML", [&](const QVariant& result) {
        body = result.toString();
        done = true;
    });
    EXPECT_TRUE(Eventually([&] { return done; }, 20000));
    return body;
}

// The shown page, patched: a preview of the first page, to which patches go.
class PagePatch : public ::testing::Test {
  protected:
    void SetUp() override {
        preview.resize(400, 300);
        preview.show();
        QObject::connect(preview.View(), &QWebEngineView::loadFinished,
                         [&](bool ok) { loaded = ok; });
        WriteFile(folder.File("text.html"),
                  BodyPage({"<h2>Heading</h2>", "<p>one<br>\r\nmore</p>", "<p>two</p>"}));
        preview.Navigate(folder.File("text.html"));
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

    TScratchFolder folder;
    TWebPreview preview;
    bool loaded = false;
};

int ScrollY(QWebEngineView* view) {
    return static_cast<int>(view->page()->scrollPosition().y());
}
} // namespace

TEST(PreviewPane, ReloadingTheSamePageKeepsTheScrollPosition) {
    TScratchFolder folder;
    WriteFile(folder.File("text.html"), LongPage("first"));
    TWebPreview preview;
    preview.resize(400, 300);
    preview.show();
    bool loaded = false;
    QObject::connect(preview.View(), &QWebEngineView::loadFinished, [&](bool ok) { loaded = ok; });
    preview.Navigate(folder.File("text.html"));
    if (!Eventually([&] { return loaded; }, 20000))
        GTEST_SKIP() << "the browser engine does not load pages on this machine";

    preview.View()->page()->runJavaScript("window.scrollTo(0, 1500)");
    if (!Eventually([&] { return ScrollY(preview.View()) >= 1400; }, 10000))
        GTEST_SKIP() << "the browser engine does not scroll headless here";

    loaded = false;
    WriteFile(folder.File("text.html"), LongPage("second"));
    preview.Navigate(folder.File("text.html"));
    ASSERT_TRUE(Eventually([&] { return loaded; }, 20000));
    EXPECT_TRUE(Eventually([&] { return ScrollY(preview.View()) >= 1400; }, 10000))
        << "scrolled to " << ScrollY(preview.View());

    // Another page starts at its top.
    loaded = false;
    WriteFile(folder.File("frame.html"), LongPage("other"));
    preview.Navigate(folder.File("frame.html"));
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
