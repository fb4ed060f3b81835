// The window's own speed: a key press in the editor holding a 1 MB manual,
// to the handler's return (the manual rebuilt into the temp folder and the
// preview asked to reload), and start-up to a shown window.
#include "app/Platform.h"
#include "app/PreviewPane.h"
#include "controls/ExtMemo.h"

#include <QApplication>
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
    void Navigate(const std::string&) override { ++Navigations; }
};

class TSilentDialogs : public TDialogs {
  public:
    void ShowError(const QString& message) override { qWarning("%s", qPrintable(message)); }
    void ShowWarning(const QString&) override {}
    void ShowErrorMessage(const QString&) override {}
    TAnswer AskYesNoCancel(const QString&, const QString&) override { return TAnswer::No; }
    TAnswer AskYesOr(const QString&, const QString&, TSecondButton second, TAnswer) override {
        return second == TSecondButton::No ? TAnswer::No : TAnswer::Cancel;
    }
    std::optional<QString> OpenFile(const TFileDialogOptions&) override { return {}; }
    std::optional<QString> SaveFile(const TFileDialogOptions&) override { return {}; }
    std::optional<QString> ChooseFolder(const QString&, const QString&) override { return {}; }
    std::optional<QString> InputBox(const QString&, const QString&, const QString&) override {
        return {};
    }
    std::optional<QColor> ChooseColor(const QColor&) override { return {}; }
};

fs::path Scratch() {
    fs::path base = fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    fs::path folder = base / ("varnoke-window-bench-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    return folder;
}

std::unique_ptr<TPlatform> MakeWindow(const fs::path& folder, TCountingPreview* preview) {
    TPlatformEnvironment environment;
    environment.SettingsFile = (folder / "varnoke.INI").string();
    environment.TempFolder = (folder / "temp").string() + "/";
    // Recovery copies on, as in the program: their timer runs on every key.
    environment.RecoveryFolder = (folder / "recovery").string() + "/";
    environment.Dialogs = std::make_unique<TSilentDialogs>();
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

void BM_KeyPressIn1MBManual(benchmark::State& state) {
    const fs::path folder = Scratch();
    TCountingPreview preview;
    auto window = MakeWindow(folder, &preview);
    window->Editor().setPlainText(Manual(1'000'000));
    window->Editor().moveCursor(QTextCursor::End);
    for (auto _ : state)
        QTest::keyClick(&window->Editor(), Qt::Key_A);
    state.counters["navigations"] = preview.Navigations;
    window.reset();
    fs::remove_all(folder);
}
BENCHMARK(BM_KeyPressIn1MBManual)->Unit(benchmark::kMillisecond)->Iterations(30);

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
