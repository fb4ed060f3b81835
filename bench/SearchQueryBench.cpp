// What a reader waits for in the built manual's search: the time a query
// takes over the index of a large manual, in the embedded browser, timed
// inside the page; and the time the page takes to load the index. Each
// query is run cold once and then again; the figure is the median.
//
//   search_query_bench [--megabytes N] [--rounds N]
//
// Runs headless (offscreen) when there is no display.
#include "ManualGenerator.h"
#include "buildmanual/BuildManual.h"
#include "common/TextLines.h"
#include "css/CSSPropertyClass.h"
#include "projectdata/ProjectData.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>
#include <QUrl>
#include <QWebEnginePage>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

using namespace varnoke;
namespace fs = std::filesystem;

namespace {

template <typename TCondition> bool Wait(TCondition condition, int milliseconds) {
    const QDeadlineTimer deadline(milliseconds);
    while (!condition() && !deadline.hasExpired()) {
        QEventLoop loop;
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return condition();
}

QVariant Js(QWebEnginePage& page, const QString& script) {
    QVariant result;
    bool done = false;
    page.runJavaScript(script, [&](const QVariant& answer) {
        result = answer;
        done = true;
    });
    if (!Wait([&] { return done; }, 120000)) {
        std::fprintf(stderr, "the page did not answer\n");
        std::exit(1);
    }
    return result;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    size_t megabytes = 10;
    int rounds = 7;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::string(argv[i]) == "--megabytes")
            megabytes = std::strtoul(argv[i + 1], nullptr, 10);
        else if (std::string(argv[i]) == "--rounds")
            rounds = std::max(1, std::atoi(argv[i + 1]));
    }
    const fs::path folder =
        fs::temp_directory_path() / ("varnoke-search-bench-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    {
        TProjectData project;
        project.ContentsType = 1;
        project.SearchFlag = true;
        TCSSPropertyClass styles;
        const TTextLines lines(bench::GenerateVariedManual(megabytes * 1'000'000));
        BuildManual({project, styles, lines, 2}, TNativePath(folder.string() + "/"));
    }
    QWebEnginePage page;
    bool loaded = false;
    QObject::connect(&page, &QWebEnginePage::loadFinished, [&](bool) { loaded = true; });
    QElapsedTimer loading;
    loading.start();
    page.load(QUrl::fromLocalFile(QString::fromStdString((folder / "search.html").string())));
    if (!Wait([&] { return loaded; }, 120000) || !Js(page, "!!window.varnokeSearch").toBool()) {
        std::fprintf(stderr, "search.html did not load\n");
        return 1;
    }
    std::printf("%zu MB manual of varied characters, search.js %.1f MB\n", megabytes,
                static_cast<double>(fs::file_size(folder / "search.js")) / 1e6);
    std::printf("load      %7.1f ms until the page and its index are ready\n",
                static_cast<double>(loading.elapsed()));
    // Once more, with the browser started: what the index itself costs.
    loaded = false;
    loading.restart();
    page.triggerAction(QWebEnginePage::Reload);
    if (!Wait([&] { return loaded; }, 120000) || !Js(page, "!!window.varnokeSearch").toBool()) {
        std::fprintf(stderr, "search.html did not load again\n");
        return 1;
    }
    std::printf("reload    %7.1f ms, the browser started already\n",
                static_cast<double>(loading.elapsed()));
    // Kana, kanji, a long run, ASCII in another case, two words, and none.
    const char* const queries[] = {"の",       "ファイル",       "か",    "Chapter 1", "html",
                                   "しますか", "ｖａｒｎｏｋｅ", "の が", "zzzz"};
    std::vector<double> all;
    for (const char* query : queries) {
        const QString script =
            QString("(function () { var t = performance.now();"
                    "  var r = varnokeSearch.find(decodeURIComponent('%1'));"
                    "  return [performance.now() - t, r.total]; })()")
                .arg(QString::fromLatin1(QUrl::toPercentEncoding(QString::fromUtf8(query))));
        const QVariantList cold = Js(page, script).toList();
        std::vector<double> times;
        for (int round = 0; round < rounds; ++round)
            times.push_back(Js(page, script).toList().value(0).toDouble());
        all.push_back(Median(times));
        std::printf("query     %-14s %7.1f ms (median), %7.1f ms cold, %7d sections\n", query,
                    Median(times), cold.value(0).toDouble(), cold.value(1).toInt());
    }
    std::printf("slowest   %7.1f ms (target under 50)\n",
                *std::max_element(all.begin(), all.end()));
    fs::remove_all(folder);
    return 0;
}
