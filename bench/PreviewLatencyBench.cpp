// What an author waits for while typing: the time from a key press in the
// window's editor to the embedded browser's page holding the change, laid
// out. The real window and the real browser, on generated manuals of
// 100 KB, 1 MB and 10 MB; each key at another place of the manual, with a
// pause between keys as a writer makes them. The preview's patches against
// the full build and reload every key asked for before them.
//
// Besides letters, the edits that change a page's structure: a body line
// made a heading (Delete its first tab), that heading made a main heading
// (Delete the next tab), and back to a body line (Tab, Tab); then both
// tabs deleted at once, and the two tabs typed back 12 ms apart, as
// xdotool types them, each key then a patch of its own. Beside them
// the floor of the same measure: a window that does no work at all, an
// editor whose key sets a heading of a small page over runJavaScript and
// waits for its layout.
//
//   preview_latency_bench [--keys N] [--edits N] [--reload-keys N] [--sizes 100k,1m,10m]
//
// Beside the page's answer, the time until two animation frames after it
// (the frame that shows the change, then the next one starting), as a probe
// from outside the window would see the change on the screen: the page
// counts the frames from the moment it hears of the answer.
//
// Runs headless (offscreen) when there is no display.
#include "ManualGenerator.h"
#include "SilentDialogs.h"
#include "app/preview/LivePreview.h"
#include "app/preview/PreviewPane.h"
#include "app/window/Platform.h"
#include "controls/ExtMemo.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace varnoke;
namespace fs = std::filesystem;
using TClock = std::chrono::steady_clock;

namespace {

// Has the page note, in window.varnokeBenchFrames, the milliseconds from
// now until two animation frames later.
const QString CountFramesScript =
    QStringLiteral("(function () { var start = performance.now(); window.varnokeBenchFrames = -1;"
                   " requestAnimationFrame(function () { requestAnimationFrame(function () {"
                   " window.varnokeBenchFrames = performance.now() - start; }); }); })()");

// The browser as the window has it, noting when the page last answered a
// patch: the page answers once it holds the change and has read a layout
// property, that is, once the change is laid out. The page then counts two
// frames.
class TTimedPreview : public TWebPreview {
  public:
    using TWebPreview::TWebPreview;
    void Patch(const QString& patchJson, std::function<void(bool held)> answered) override {
        TWebPreview::Patch(patchJson, [this, answered = std::move(answered)](bool held) {
            if (held) {
                LastHeld = TClock::now();
                View()->page()->runJavaScript(CountFramesScript);
            }
            answered(held);
        });
    }
    std::optional<TClock::time_point> LastHeld;
};

// The browser without patches: every edit is a build and a reload, the way
// the preview worked before it patched pages.
class TReloadingPreview : public TWebPreview {
  public:
    using TWebPreview::TWebPreview;
    bool CanPatch() const override { return false; }
};

// The event loop runs, blocked on its events, until the condition holds.
template <typename TCondition> bool RunUntil(TCondition condition, int milliseconds) {
    const QDeadlineTimer deadline(milliseconds);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QEventLoop loop;
        QTimer::singleShot(1, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

void RunEventsFor(int milliseconds) {
    RunUntil([] { return false; }, milliseconds);
}

QVariant Js(QWebEnginePage& page, const QString& script) {
    QVariant result;
    bool done = false;
    page.runJavaScript(script, [&](const QVariant& answer) {
        result = answer;
        done = true;
    });
    RunUntil([&] { return done; }, 600'000);
    return result;
}

// A script that finds the element of the shown page (in any frame) as
// `e` in its document `doc` and runs `use` on it; `missing` when the page
// is not shown.
QString ElementScript(const TPreviewPlace& place, const QString& use, const QString& missing) {
    return QStringLiteral("(function () { var docs = [document];"
                          " for (var i = 0; i < window.frames.length; ++i) "
                          "docs.push(window.frames[i].document);"
                          " for (var d = 0; d < docs.length; ++d) {"
                          "  var doc = docs[d], path = doc.location.pathname;"
                          "  if (path.substring(path.lastIndexOf('/') + 1) !== '%1' || "
                          "!doc.body) continue;"
                          "  var e = doc.body.children[%2]; %3 }"
                          " return %4; })()")
        .arg(place.PageName)
        .arg(place.Element)
        .arg(use, missing);
}

// True once the element of the shown page holds the text, after its layout
// has been read (which lays it out when it is not yet).
QString HoldsScript(const TPreviewPlace& place, const QString& text) {
    return ElementScript(place,
                         QStringLiteral("if (!e || e.getBoundingClientRect().height < 0) "
                                        "return false; return e.textContent.indexOf('%1') >= 0;")
                             .arg(text),
                         QStringLiteral("false"));
}

// The browser's own share: the milliseconds it takes to lay out the page
// after one text change of the element, timed inside the page, the change
// taken back afterwards. No patch, no message between the processes.
QString LayoutAloneScript(const TPreviewPlace& place) {
    return ElementScript(
        place,
        QStringLiteral("var text = e && doc.createTreeWalker(e, NodeFilter.SHOW_TEXT).nextNode();"
                       " if (!text) return -1; var start = performance.now();"
                       " text.data += 'z'; void doc.body.offsetHeight;"
                       " var took = performance.now() - start;"
                       " text.data = text.data.slice(0, -1); void doc.body.offsetHeight;"
                       " return took;"),
        QStringLiteral("-1"));
}

// Asks the page again and again until it holds the text; the time when it
// answered yes, or nothing after a minute.
std::optional<TClock::time_point> WhenShown(QWebEnginePage& page, const TPreviewPlace& place,
                                            const QString& text) {
    const QString script = HoldsScript(place, text);
    const QDeadlineTimer deadline(60'000);
    while (!deadline.hasExpired()) {
        if (Js(page, script).toBool())
            return TClock::now();
    }
    return std::nullopt;
}

// The milliseconds the page counted from the answer to two frames later,
// once it has counted them; nothing when it does not within a second.
std::optional<double> FramesAfterAnswer(QWebEnginePage& page) {
    std::optional<double> frames;
    RunUntil(
        [&] {
            const double counted = Js(page, "window.varnokeBenchFrames").toDouble();
            if (counted >= 0)
                frames = counted;
            return frames.has_value();
        },
        1000);
    return frames;
}

struct TFigures {
    std::vector<double> LaidOut; // key to the page's answer: the change laid out, ms
    std::vector<double> Frames;  // key to two animation frames after the answer, ms
    std::vector<double> Shown;   // key to a check of our own, after the next frame, ms
    std::vector<double> Handled; // key to the handler's return, ms
    std::vector<double> Alone;   // the browser's layout of such a change alone, ms
    int Lost = 0;                // keys the preview never showed
};

double Percentile(std::vector<double> values, double share) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const auto rank = static_cast<size_t>(std::ceil(share * static_cast<double>(values.size())));
    return values[std::clamp<size_t>(rank, 1, values.size()) - 1];
}

void PrintSpread(const char* what, const std::vector<double>& values) {
    std::printf("  %-28s median %7.1f ms  p95 %7.1f ms  max %7.1f ms\n", what,
                Percentile(values, 0.5), Percentile(values, 0.95), Percentile(values, 1.0));
}

void Print(const char* label, size_t bytes, const TFigures& figures) {
    std::printf("%s, %.1f MB manual, %zu keys\n", label, static_cast<double>(bytes) / 1e6,
                figures.Shown.size());
    PrintSpread("key to laid-out preview", figures.LaidOut);
    if (!figures.Frames.empty())
        PrintSpread("key to two frames after it", figures.Frames);
    PrintSpread("key to our check of the page", figures.Shown);
    PrintSpread("key handler", figures.Handled);
    if (!figures.Alone.empty())
        PrintSpread("browser's layout alone", figures.Alone);
    if (figures.Lost > 0)
        std::printf("  %d keys never reached the preview\n", figures.Lost);
    std::fflush(stdout);
}

std::unique_ptr<TPlatform> MakeWindow(const fs::path& folder, bool patches) {
    TPlatformEnvironment environment;
    environment.SettingsFile = TNativePath((folder / "varnoke.INI").string());
    environment.TempFolder = TNativePath((folder / "temp").string() + "/");
    environment.RecoveryFolder = TNativePath((folder / "recovery").string() + "/");
    environment.Dialogs = std::make_unique<bench::TSilentDialogs>();
    environment.MakePreview = [patches](QWidget* parent, QWidget*& widget) -> TPreviewNavigator* {
        TWebPreview* preview = patches ? static_cast<TWebPreview*>(new TTimedPreview(parent))
                                       : static_cast<TWebPreview*>(new TReloadingPreview(parent));
        widget = preview;
        return preview;
    };
    return std::make_unique<TPlatform>(std::move(environment));
}

// The body lines (two leading tabs) of the editor, spread evenly over the
// text: the places the keys go to.
std::vector<int> BodyLines(const QTextDocument& document, int count) {
    std::vector<int> body;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        if (block.text().startsWith(QLatin1String("\t\t")))
            body.push_back(block.blockNumber());
    std::vector<int> chosen;
    for (int k = 0; k < count && !body.empty(); ++k)
        chosen.push_back(body[(static_cast<size_t>(k) * body.size()) / static_cast<size_t>(count) +
                              body.size() / (2 * static_cast<size_t>(count))]);
    return chosen;
}

// timed: the window's browser when it patches pages; without patches the
// page is laid out when our check first sees the change.
TFigures TypeKeys(TPlatform& window, QWebEnginePage& page, TTimedPreview* timed, int keys) {
    TFigures figures;
    TExtRichEdit& editor = window.Editor();
    for (int line : BodyLines(*editor.document(), keys)) {
        // A marker of this key's own, typed at the end of the line and shown
        // before the measured key, tells its change from every other.
        QTextCursor cursor(editor.document()->findBlockByNumber(line));
        cursor.movePosition(QTextCursor::EndOfBlock);
        editor.setTextCursor(cursor);
        const QString marker = QStringLiteral("k%1").arg(figures.Shown.size() + figures.Lost);
        editor.textCursor().insertText(marker);
        TPreviewPlace place;
        if (!window.LivePreview().PlaceOf(line, place) || !WhenShown(page, place, marker)) {
            ++figures.Lost;
            continue;
        }
        RunEventsFor(150); // the pause between a writer's keys

        if (timed)
            timed->LastHeld.reset();
        const TClock::time_point pressed = TClock::now();
        QTest::keyClick(&editor, Qt::Key_Z);
        const TClock::time_point handled = TClock::now();
        const auto shown = WhenShown(page, place, marker + QLatin1Char('z'));
        if (!shown || (timed && !timed->LastHeld)) {
            ++figures.Lost;
            continue;
        }
        const TClock::time_point laidOut = timed ? *timed->LastHeld : *shown;
        figures.LaidOut.push_back(
            std::chrono::duration<double, std::milli>(laidOut - pressed).count());
        if (const auto frames = timed ? FramesAfterAnswer(page) : std::nullopt)
            figures.Frames.push_back(figures.LaidOut.back() + *frames);
        figures.Handled.push_back(
            std::chrono::duration<double, std::milli>(handled - pressed).count());
        figures.Shown.push_back(
            std::chrono::duration<double, std::milli>(*shown - pressed).count());
        if (timed) {
            RunEventsFor(150);
            const double alone = Js(page, LayoutAloneScript(place)).toDouble();
            if (alone >= 0)
                figures.Alone.push_back(alone);
        }
    }
    return figures;
}

// A body line of two tabs and text (not indented further), for each of
// `count` places spread over the text.
std::vector<int> PlainBodyLines(const QTextDocument& document, int count) {
    std::vector<int> chosen;
    for (int line : BodyLines(document, count * 4)) {
        const QString text = document.findBlockByNumber(line).text();
        if (text.size() > 2 && text[2] != QLatin1Char('\t') &&
            (chosen.empty() || chosen.back() < line - 1) && static_cast<int>(chosen.size()) < count)
            chosen.push_back(line);
    }
    return chosen;
}

// The structural edits, each as the keys that make it, the element the
// line then shows as, and the time between the keys: none, as when keys
// come faster than the window takes them, or as a typist's or xdotool's.
struct TStructuralEdit {
    const char* Name;
    std::vector<Qt::Key> Keys;
    const char* Tag;
    int KeyGapMs = 0;
};

const TStructuralEdit StructuralEdits[] = {
    {"body line made a heading", {Qt::Key_Delete}, "H2"},
    {"heading made a main heading", {Qt::Key_Delete}, "H1"},
    {"back to a body line", {Qt::Key_Tab, Qt::Key_Tab}, "P"},
    {"body line made a main heading (Delete, Delete)", {Qt::Key_Delete, Qt::Key_Delete}, "H1"},
    {"back to a body line, keys 12 ms apart", {Qt::Key_Tab, Qt::Key_Tab}, "P", 12},
};

QString ShowsAsScript(const TPreviewPlace& place, const QString& tag, const QString& text) {
    return ElementScript(place,
                         QStringLiteral("if (!e || e.getBoundingClientRect().height < 0) "
                                        "return false; return e.nodeName === '%1' && "
                                        "e.textContent.indexOf('%2') >= 0;")
                             .arg(tag, text),
                         QStringLiteral("false"));
}

// Each structural edit at `places` body lines in turn: the line marked,
// then the edits one after the other, each timed from its first key to
// the page's answer to its last patch (or to our check when there was no
// patch: a reload).
std::vector<TFigures> MakeStructuralEdits(TPlatform& window, QWebEnginePage& page,
                                          TTimedPreview* timed, int places) {
    std::vector<TFigures> figures(std::size(StructuralEdits));
    TExtRichEdit& editor = window.Editor();
    int serial = 0;
    for (int line : PlainBodyLines(*editor.document(), places)) {
        QTextCursor cursor(editor.document()->findBlockByNumber(line));
        cursor.movePosition(QTextCursor::EndOfBlock);
        editor.setTextCursor(cursor);
        const QString marker = QStringLiteral("s%1x").arg(serial++);
        editor.textCursor().insertText(marker);
        TPreviewPlace place;
        if (!window.LivePreview().PlaceOf(line, place) || !WhenShown(page, place, marker)) {
            ++figures[0].Lost;
            continue;
        }
        for (size_t k = 0; k < std::size(StructuralEdits); ++k) {
            const TStructuralEdit& edit = StructuralEdits[k];
            RunEventsFor(150);
            cursor.movePosition(QTextCursor::StartOfBlock);
            editor.setTextCursor(cursor);
            RunEventsFor(50);
            if (timed)
                timed->LastHeld.reset();
            const TClock::time_point pressed = TClock::now();
            for (size_t i = 0; i < edit.Keys.size(); ++i) {
                if (i > 0 && edit.KeyGapMs > 0)
                    RunEventsFor(edit.KeyGapMs);
                QTest::keyClick(&editor, edit.Keys[i]);
            }
            const TClock::time_point handled = TClock::now();
            window.LivePreview().PlaceOf(line, place);
            std::optional<TClock::time_point> shown;
            const QString script = ShowsAsScript(place, edit.Tag, marker);
            for (const QDeadlineTimer deadline(60'000); !shown && !deadline.hasExpired();) {
                if (Js(page, script).toBool())
                    shown = TClock::now();
            }
            if (!shown) {
                ++figures[k].Lost;
                break;
            }
            const TClock::time_point laidOut = timed && timed->LastHeld ? *timed->LastHeld : *shown;
            figures[k].LaidOut.push_back(
                std::chrono::duration<double, std::milli>(laidOut - pressed).count());
            if (const auto frames =
                    timed && timed->LastHeld ? FramesAfterAnswer(page) : std::nullopt)
                figures[k].Frames.push_back(figures[k].LaidOut.back() + *frames);
            figures[k].Handled.push_back(
                std::chrono::duration<double, std::milli>(handled - pressed).count());
            figures[k].Shown.push_back(
                std::chrono::duration<double, std::milli>(*shown - pressed).count());
        }
    }
    return figures;
}

// The probe's floor: an editor and a browser showing a small page, the
// editor's change setting a heading's text over runJavaScript, timed from
// the key to the answer after the heading's layout.
TFigures MeasureFloor(const fs::path& folder, int keys) {
    std::ofstream(folder / "floor.html", std::ios::binary)
        << "<html><body><h2 id=\"probe\">probe</h2><p>a page of nothing much</p></body></html>";
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* editor = new QPlainTextEdit;
    auto* view = new QWebEngineView;
    layout->addWidget(editor);
    layout->addWidget(view);
    window.resize(1280, 900);
    window.show();
    bool loaded = false;
    QObject::connect(view, &QWebEngineView::loadFinished, [&](bool) { loaded = true; });
    view->load(QUrl::fromLocalFile(QString::fromStdString((folder / "floor.html").string())));
    TFigures figures;
    if (!RunUntil([&] { return loaded; }, 60'000))
        return figures;
    std::optional<TClock::time_point> answered;
    QObject::connect(editor, &QPlainTextEdit::textChanged, [&] {
        QString text = editor->toPlainText().right(40);
        text.replace(QLatin1Char('\''), QLatin1Char(' '));
        view->page()->runJavaScript(
            QStringLiteral("document.getElementById('probe').textContent = '%1';"
                           " void document.body.offsetHeight; true")
                .arg(text),
            [&](const QVariant&) {
                answered = TClock::now();
                view->page()->runJavaScript(CountFramesScript);
            });
    });
    editor->setFocus();
    for (int k = 0; k < keys; ++k) {
        RunEventsFor(150);
        answered.reset();
        const TClock::time_point pressed = TClock::now();
        QTest::keyClick(editor, Qt::Key_Z);
        const TClock::time_point handled = TClock::now();
        if (!RunUntil([&] { return answered.has_value(); }, 10'000)) {
            ++figures.Lost;
            continue;
        }
        figures.LaidOut.push_back(
            std::chrono::duration<double, std::milli>(*answered - pressed).count());
        if (const auto frames = FramesAfterAnswer(*view->page()))
            figures.Frames.push_back(figures.LaidOut.back() + *frames);
        figures.Shown.push_back(figures.LaidOut.back());
        figures.Handled.push_back(
            std::chrono::duration<double, std::milli>(handled - pressed).count());
    }
    return figures;
}

void Measure(size_t bytes, bool patches, int keys, int edits = 0) {
    const fs::path base = fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    const fs::path folder = base / ("varnoke-preview-bench-" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    std::ofstream(folder / "manual.txt", std::ios::binary) << bench::GenerateManual(bytes);
    std::ofstream(folder / "manual.vkp", std::ios::binary)
        << "[PROJECT]\r\nTEXTNAME=manual.txt\r\nCONTENTSTYPE=1\r\nOUTPUTPATH=out\r\n";
    {
        auto window = MakeWindow(folder, patches);
        window->resize(1280, 900);
        window->show();
        window->OpenProject((folder / "manual.vkp").string());
        auto* browser = window->findChild<TWebPreview*>();
        QWebEnginePage& page = *browser->View()->page();
        const bool loaded = RunUntil([&] { return !browser->Busy(); }, 600'000) &&
                            Js(page, "!!window.varnokePreview").toBool();
        if (!loaded) {
            std::printf("%6.1f MB: the browser did not load the manual\n",
                        static_cast<double>(bytes) / 1e6);
        } else {
            RunEventsFor(500);
            auto* timed = dynamic_cast<TTimedPreview*>(browser);
            if (keys > 0)
                Print(patches ? "Patched" : "Built and reloaded", bytes,
                      TypeKeys(*window, page, timed, keys));
            if (edits > 0) {
                const std::vector<TFigures> figures =
                    MakeStructuralEdits(*window, page, timed, edits);
                for (size_t k = 0; k < figures.size(); ++k)
                    Print(StructuralEdits[k].Name, bytes, figures[k]);
            }
        }
    }
    if (patches)
        Print("Probe floor (a window that does no work)", bytes, MeasureFloor(folder, 15));
    fs::remove_all(folder);
}

size_t SizeOf(const std::string& name) {
    const double number = std::atof(name.c_str());
    const char unit = name.empty() ? ' ' : name.back();
    return static_cast<size_t>(number * (unit == 'k' ? 1e3 : unit == 'm' ? 1e6 : 1));
}

} // namespace

int main(int argc, char** argv) {
    if (std::getenv("DISPLAY") == nullptr && std::getenv("QT_QPA_PLATFORM") == nullptr)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (::geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication application(argc, argv);

    int keys = 100;
    int edits = 10;
    int reloadKeys = 10;
    std::vector<std::string> sizes = {"100k", "1m", "10m"};
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--keys")
            keys = std::atoi(argv[i + 1]);
        else if (option == "--edits")
            edits = std::atoi(argv[i + 1]);
        else if (option == "--reload-keys")
            reloadKeys = std::atoi(argv[i + 1]);
        else if (option == "--sizes") {
            sizes.clear();
            std::string list = argv[i + 1];
            for (size_t start = 0; start <= list.size();) {
                const size_t comma = std::min(list.find(',', start), list.size());
                sizes.push_back(list.substr(start, comma - start));
                start = comma + 1;
            }
        }
    }
    for (const std::string& size : sizes) {
        Measure(SizeOf(size), true, keys, edits);
        if (reloadKeys > 0)
            Measure(SizeOf(size), false, reloadKeys);
    }
    return 0;
}
