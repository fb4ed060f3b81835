// The window's own speed: a key press in the editor holding a 1 MB manual,
// to the handler's return (the manual rebuilt into the temp folder, the
// preview asked to reload, the outline and the status line updated), and
// start-up to a shown window.
#include "SilentDialogs.h"
#include "app/preview/PreviewPane.h"
#include "app/window/Platform.h"
#include "controls/ExtMemo.h"
#include "controls/FindBar.h"
#include "controls/OutlinePane.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <benchmark/benchmark.h>

#include <filesystem>
#include <unistd.h>

using namespace varnoke;
namespace fs = std::filesystem;

namespace {

class TCountingPreview : public TPreviewNavigator {
  public:
    int Navigations = 0;
    void Navigate(const TNativePath&) override { ++Navigations; }
};

fs::path Scratch() {
    fs::path base = fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    fs::path folder = base / ("varnoke-window-bench-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    return folder;
}

std::unique_ptr<TPlatform> MakeWindow(const fs::path& folder, TCountingPreview* preview) {
    TPlatformEnvironment environment;
    environment.SettingsFile = TNativePath((folder / "varnoke.INI").string());
    environment.TempFolder = TNativePath((folder / "temp").string() + "/");
    // Recovery copies on, as in the program: their timer runs on every key.
    environment.RecoveryFolder = TNativePath((folder / "recovery").string() + "/");
    environment.Dialogs = std::make_unique<bench::TSilentDialogs>();
    if (preview != nullptr)
        environment.MakePreview = [preview](QWidget*, QWidget*& widget) {
            widget = nullptr;
            return preview;
        };
    return std::make_unique<TPlatform>(std::move(environment));
}

QString Manual(int bytes) {
    QString text;
    int line = 0;
    while (text.size() * 2 < bytes) { // about two CP932 bytes per character
        if (line % 60 == 0)
            text += QString("第%1章\n").arg(line / 60);
        else if (line % 12 == 0)
            text += QString("\t節 %1\n").arg(line);
        else
            text += QStringLiteral("\t\tこれは本文の行です。マニュアルの本文がここに続きます。\n");
        ++line;
    }
    return text;
}

// A key press at the end of a body line, and a line break at the top, which
// moves every heading of the outline one line down. With the outline shown
// (range 1) or hidden (0); the window is shown either way, so that the
// outline's view really lays out what changes.
void KeyPressIn1MBManual(benchmark::State& state, QTextCursor::MoveOperation where, Qt::Key key) {
    const fs::path folder = Scratch();
    TCountingPreview preview;
    auto window = MakeWindow(folder, &preview);
    if (window->Action("OutlineToggle")->isChecked() != (state.range(0) != 0))
        window->Action("OutlineToggle")->trigger();
    window->show();
    window->Editor().setPlainText(Manual(1'000'000));
    QCoreApplication::processEvents();
    window->Editor().moveCursor(where);
    for (auto _ : state) {
        QTest::keyClick(&window->Editor(), key);
        QCoreApplication::processEvents(); // the view's repaint
    }
    state.counters["navigations"] = preview.Navigations;
    window.reset();
    fs::remove_all(folder);
}

void BM_KeyPressIn1MBManual(benchmark::State& state) {
    KeyPressIn1MBManual(state, QTextCursor::End, Qt::Key_A);
}
BENCHMARK(BM_KeyPressIn1MBManual)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("outline")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(30);

void BM_LineBreakAtTopOf1MBManual(benchmark::State& state) {
    KeyPressIn1MBManual(state, QTextCursor::Start, Qt::Key_Return);
}
BENCHMARK(BM_LineBreakAtTopOf1MBManual)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("outline")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(30);

// The outline alone, beside a plain editor holding a 1 MB manual: what a key
// press in body text or a line break at the top costs with it and without.
void BM_OutlineIn1MBManual(benchmark::State& state) {
    const bool withOutline = state.range(0) != 0;
    const bool lineBreak = state.range(1) != 0;
    QWidget frame;
    auto* layout = new QHBoxLayout(&frame);
    auto* editor = new QPlainTextEdit;
    editor->setLineWrapMode(QPlainTextEdit::NoWrap);
    if (withOutline)
        layout->addWidget(new TOutlinePane(*editor));
    layout->addWidget(editor, 1);
    editor->setPlainText(Manual(1'000'000));
    frame.resize(800, 600);
    frame.show();
    QCoreApplication::processEvents();
    editor->moveCursor(lineBreak ? QTextCursor::Start : QTextCursor::End);
    for (auto _ : state) {
        QTest::keyClick(editor, lineBreak ? Qt::Key_Return : Qt::Key_A);
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_OutlineIn1MBManual)
    ->ArgNames({"outline", "linebreak"})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(300);

// Putting a 1 MB manual into an editor, with the outline beside it or not:
// the outline reads every line once and builds its whole tree.
void BM_Load1MBManual(benchmark::State& state) {
    QWidget frame;
    auto* layout = new QHBoxLayout(&frame);
    auto* editor = new QPlainTextEdit;
    editor->setLineWrapMode(QPlainTextEdit::NoWrap);
    if (state.range(0) != 0)
        layout->addWidget(new TOutlinePane(*editor));
    layout->addWidget(editor, 1);
    frame.resize(800, 600);
    frame.show();
    const QString text = Manual(1'000'000);
    for (auto _ : state) {
        editor->setPlainText(text);
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_Load1MBManual)
    ->ArgName("outline")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

// Replacing a word of every body line of a 1 MB manual at once, beside the
// outline: one edit block, so the outline and the view follow once.
void BM_ReplaceAllIn1MBManual(benchmark::State& state) {
    QWidget frame;
    auto* layout = new QHBoxLayout(&frame);
    auto* editor = new QPlainTextEdit;
    layout->addWidget(new TOutlinePane(*editor));
    layout->addWidget(editor, 1);
    auto* bar = new TFindBar(*editor);
    layout->addWidget(bar);
    frame.show();
    const QString text = Manual(1'000'000);
    int replaced = 0;
    for (auto _ : state) {
        state.PauseTiming();
        editor->setPlainText(text);
        bar->OpenReplace();
        bar->FindField().setText(QStringLiteral("本文"));
        bar->ReplaceField().setText(QStringLiteral("ほんぶん"));
        state.ResumeTiming();
        replaced = bar->ReplaceAll();
        QCoreApplication::processEvents();
    }
    state.counters["replaced"] = replaced;
}
BENCHMARK(BM_ReplaceAllIn1MBManual)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_StartUpToShownWindow(benchmark::State& state) {
    const fs::path folder = Scratch();
    const bool realBrowser = state.range(0) != 0;
    for (auto _ : state) {
        TCountingPreview preview;
        auto window = MakeWindow(folder, realBrowser ? nullptr : &preview);
        window->show();
        QCoreApplication::processEvents();
        state.PauseTiming();
        window.reset();
        state.ResumeTiming();
    }
    fs::remove_all(folder);
}
BENCHMARK(BM_StartUpToShownWindow)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("browser")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
