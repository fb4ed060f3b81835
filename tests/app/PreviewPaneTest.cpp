// The embedded browser, headless: reloading the page it shows keeps the
// reader's place.
#include "app/PreviewPane.h"
#include "Eventually.h"
#include "TestSupport.h"

#include <QApplication>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <gtest/gtest.h>

using namespace varnoke;
using namespace varnoke::test;

namespace {

std::string LongPage(const std::string& marker) {
    std::string page = "<html><body>";
    for (int i = 0; i < 400; ++i)
        page += "<p>" + marker + " line " + std::to_string(i) + "</p>";
    return page + "</body></html>";
}

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
