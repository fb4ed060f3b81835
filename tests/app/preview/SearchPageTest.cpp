// The built manual's search in the real browser engine, from the disk as a
// reader opens it.
#include "Eventually.h"
#include "TestSupport.h"
#include "buildmanual/BuildManual.h"
#include "common/ShiftJis.h"
#include "common/TextLines.h"
#include "css/CSSPropertyClass.h"
#include "projectdata/ProjectData.h"

#include <QUrl>
#include <QWebEnginePage>
#include <gtest/gtest.h>

using namespace varnoke;
using namespace varnoke::test;

namespace {

// Two main headings, four headings; a comment, half-width katakana,
// full-width Latin letters, mixed case, and characters Shift-JIS lacks.
const char* const Manual = "はじめに\r\n"
                           "\tインストール\r\n"
                           "\t\tダウンロードしてください。\r\n"
                           "\t\tWindows と Linux で動きます。\r\n"
                           "\t使い方\r\n"
                           "\t\tファイルを開きます。ﾌｧｲﾙ と書いても同じです。\r\n"
                           "\t\tインストールしてから、インストール先で。\r\n"
                           "第二章\r\n"
                           "\tＡＢＣ設定\r\n"
                           "\t\t漢字の検索と、ひらがなのけんさく。\r\n"
                           "\t\tMixedCase <b>Word</b> here\r\n"
                           "# コメントの秘密\r\n"
                           "\t特殊\r\n"
                           "\t\t&#128512; と &#9829; の文字\r\n";

class SearchPageTest : public ::testing::Test {
  protected:
    void Build(bool frames, bool split) {
        TProjectData project;
        project.ContentsType = frames ? 1 : 0;
        project.FileDivideFlag = split;
        project.SearchFlag = true;
        TCSSPropertyClass styles;
        const TTextLines lines(Sjis(Manual));
        BuildManual({project, styles, lines, 2}, folder.Native());
    }

    bool Load(const QString& page) {
        bool loaded = false;
        QObject::connect(&browser, &QWebEnginePage::loadFinished, [&](bool) { loaded = true; });
        browser.load(QUrl::fromLocalFile(QString::fromStdString(folder.File(""))).resolved(page));
        return Eventually([&] { return loaded; }, 20000);
    }

    QString Js(const QString& script) {
        QVariant result;
        bool done = false;
        browser.runJavaScript(script, [&](const QVariant& answer) {
            result = answer;
            done = true;
        });
        EXPECT_TRUE(Eventually([&] { return done; }, 20000)) << script.toStdString();
        return result.toString();
    }

    // The addresses of the results, then the count line, as a reader types
    // the query.
    QString Search(const QString& query, const QString& frame = "window") {
        return Js(QString("(function (w) {"
                          "  var field = w.document.getElementById('query');"
                          "  field.value = %1;"
                          "  field.dispatchEvent(new Event('input'));"
                          "  return Shown(w);"
                          "})(%2)")
                      .arg(Quoted(query), frame));
    }
    static QString Quoted(const QString& text) {
        return "decodeURIComponent('" + QString::fromLatin1(QUrl::toPercentEncoding(text)) + "')";
    }
    void DefineShown() {
        Js("window.Shown = function (w) {"
           "  var links = w.document.querySelectorAll('#results a');"
           "  return Array.prototype.map.call(links, function (a) {"
           "    return a.getAttribute('href');"
           "  }).join(' ') + '|' + w.document.getElementById('count').textContent; }");
    }

    TScratchFolder folder;
    QWebEnginePage browser;
};

} // namespace

TEST_F(SearchPageTest, QueriesFindTheirSections) {
    Build(false, false);
    ASSERT_TRUE(Load("search.html"));
    DefineShown();
    const struct {
        const char* Query;
        const char* Shown;
    } cases[] = {
        {"漢字", "text.html#h22|1 件"},
        {"ファイル", "text.html#h21|1 件"}, // ﾌｧｲﾙ too, in the same section
        {"ふぁいる", "text.html#h21|1 件"},
        {"ﾌｧｲﾙ", "text.html#h21|1 件"},
        {"ケンサク", "text.html#h22|1 件"},
        {"abc", "text.html#h22|1 件"},
        {"ｍｉｘｅｄcase word", "text.html#h22|1 件"}, // markup left out
        {"WINDOWS linux", "text.html#h20|1 件"},
        {"windows 漢字", "|見つかりません"}, // two sections, not one
        {"秘密", "|見つかりません"},         // comments are not pages
        {"</b>", "|見つかりません"},         // nor are tags
        {"♥", "text.html#h23|1 件"},
        {"\U0001F600", "text.html#h23|1 件"},
        {"章 特殊", "|見つかりません"},
        {"いんすとーる", "text.html#h20 text.html#h21|2 件"}, // the heading first
        {"  ", "|"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Search(QString::fromUtf8(c.Query)), QString::fromUtf8(c.Shown)) << c.Query;

    // The hits are marked in a snippet of the body.
    Search(QString::fromUtf8("ケンサク 漢字"));
    EXPECT_EQ(Js("Array.prototype.map.call(document.querySelectorAll('#results mark'),"
                 "  function (m) { return m.textContent; }).join(',')"),
              QString::fromUtf8("漢字,けんさく"));
}

TEST_F(SearchPageTest, TheQueryStaysInTheAddress) {
    Build(false, true);
    ASSERT_TRUE(Load("search.html?q=%E6%BC%A2%E5%AD%97"));
    DefineShown();
    EXPECT_EQ(Js("Shown(window) + '|' + document.getElementById('query').value"),
              QString::fromUtf8("text1.html#h20|1 件|漢字"));
    Search(QString::fromUtf8("使い方"));
    EXPECT_TRUE(Js("location.search").contains("q=%E4%BD%BF"));
}

TEST_F(SearchPageTest, AResultOpensItsHeadingInTheBodyFrame) {
    Build(true, true);
    ASSERT_TRUE(Load("frame.html"));
    DefineShown();
    Js("frames.menuframe.document.querySelector('a[href=\"search.html\"]').click()");
    ASSERT_TRUE(Eventually(
        [&] {
            return Js("!!frames.menuframe.varnokeSearch && "
                      "frames.menuframe.document.readyState === 'complete'") == "true";
        },
        20000));
    EXPECT_EQ(Search(QString::fromUtf8("特殊"), "frames.menuframe"),
              QString::fromUtf8("text1.html#h21|1 件"));
    Js("frames.menuframe.document.querySelector('#results a').click()");
    EXPECT_TRUE(Eventually(
        [&] { return Js("frames.mainframe.location.href").endsWith("/text1.html#h21"); }, 20000))
        << Js("frames.mainframe.location.href").toStdString();
    EXPECT_TRUE(Js("frames.menuframe.location.href").contains("search.html"));
}
