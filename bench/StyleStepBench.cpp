// One step of a drag edit on the style page: the value is stored, the page
// shows the style again, "sample.css" is written, the current thumbnail is
// rendered and the style file of 20 styles is saved. A drag delivers such a
// step for every two pixels of mouse movement, so it has to stay well under
// the time between two mouse moves.
#include "app/dialogs/Dialogs.h"
#include "app/styles/StylePage.h"
#include "app/styles/StylePageHost.h"
#include "common/FileSystem.h"
#include "controls/DragEdit.h"
#include "convert/SampleHtml.h"
#include "sysdata/SystemData.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

using namespace varnoke;

namespace {

// Errors would end the measurement; the bench has no one to show them to.
class TSilentDialogs : public TDialogs {
  public:
    void ShowError(const QString& message) override { lastError = message; }
    void ShowWarning(const QString&) override {}
    void ShowErrorMessage(const QString&) override {}
    TAnswer AskYesNoCancel(const QString&, const QString&) override { return TAnswer::Cancel; }
    TAnswer AskYesOr(const QString&, const QString&, TSecondButton second, TAnswer) override {
        return second == TSecondButton::No ? TAnswer::No : TAnswer::Cancel;
    }
    std::optional<QString> OpenFile(const TFileDialogOptions&) override { return std::nullopt; }
    std::optional<QString> SaveFile(const TFileDialogOptions&) override { return std::nullopt; }
    std::optional<QString> ChooseFolder(const QString&, const QString&) override {
        return std::nullopt;
    }
    std::optional<QString> InputBox(const QString&, const QString&, const QString&,
                                    const TInputRefusal&) override {
        return std::nullopt;
    }
    std::optional<QColor> ChooseColor(const QColor&) override { return std::nullopt; }

    QString lastError;
};

std::string MakeFolder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "varnoke-bench-XXXXXX").string();
    return std::string(::mkdtemp(pattern.data())) + "/";
}

class TBenchHost : public TStylePageHost {
  public:
    TBenchHost() : folder_(MakeFolder()), data_(TNativePath(folder_ + "varnoke.INI")) {
        ForceDirectories(TempFolder());
        MakeSampleHtml(TempFolder() + "sample.html", TempFolder() + "sample.css");
        for (int i = 0; i < 20; ++i)
            data_.Styles.Add("STYLE" + std::to_string(i));
        data_.Styles.SaveToFile(StyleFile());
    }
    ~TBenchHost() override {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    void Attach(TStylePage* page) { page_ = page; }

    TSystemData& SystemData() override { return data_; }
    void SetRefreshPending() override { pending_ = true; }
    void RefreshAll() override {
        if (!pending_ || page_ == nullptr)
            return;
        page_->UpdateEnabling();
        page_->SetStripScrollRange();
        page_->PaintStyleStrip();
        page_->StyleToControls();
        pending_ = false;
    }
    // The window writes sample.css here; the reload of its browser pane
    // happens in the background and is not measured.
    void ShowPreview() override {
        if (data_.StyleIndex >= 0 && data_.StyleIndex < data_.Styles.Count())
            data_.Styles.WriteCSS(data_.StyleIndex, TempFolder() + "sample.css", SystemColors());
    }
    void MakePreview() override {}
    TNativePath TempFolder() const override { return TNativePath(folder_ + "temp/"); }
    TNativePath StyleFile() const override { return TNativePath(folder_ + "varnoke.INI"); }
    TDialogs& Dialogs() override { return dialogs_; }
    TSystemColorResolver SystemColors() const override { return ClassicSystemColors(); }
    void Note(const QString& message) override { dialogs_.lastError = message; }
    QStringList ProjectChoicesOf(int) const override { return {}; }
    void StyleDeleted(int) override {}
    void ShowError(const std::exception& error) override {
        dialogs_.lastError = QString::fromUtf8(error.what());
    }

    const QString& LastError() const { return dialogs_.lastError; }

  private:
    std::string folder_;
    TSystemData data_;
    TSilentDialogs dialogs_;
    TStylePage* page_ = nullptr;
    bool pending_ = true;
};

void BM_DragEditStep(benchmark::State& state) {
    TBenchHost host;
    TStylePage page(host);
    host.Attach(&page);
    host.SystemData().StyleIndex = 7;
    host.SetRefreshPending();
    host.RefreshAll();
    TDragEdit* lineHeight = page.DragEdit(4);
    int step = 0;
    for (auto _ : state) {
        // Alternating values, so that every step really changes the text.
        lineHeight->setText((++step % 2) != 0 ? QStringLiteral("1.1") : QStringLiteral("1.2"));
    }
    if (!host.LastError().isEmpty())
        state.SkipWithError(host.LastError().toStdString().c_str());
}
BENCHMARK(BM_DragEditStep)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
