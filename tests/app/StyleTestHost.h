// A window around the style page for its tests: settings in a scratch
// folder, the sample page in its temp folder, dialogs answered by the test,
// and a full refresh that runs the page's share of it in the window's order.
#pragma once

#include "FakeDialogs.h"
#include "TestSupport.h"
#include "app/StylePage.h"
#include "app/StylePageHost.h"
#include "common/FileSystem.h"
#include "convert/SampleHtml.h"
#include "sysdata/SystemData.h"

namespace varnoke::test {

class TStyleTestHost : public TStylePageHost {
  public:
    TStyleTestHost() : data_(folder_.File("varnoke.INI")) {
        ForceDirectories(TempFolder());
        MakeSampleHtml(TempFolder() + "sample.html", TempFolder() + "sample.css");
    }

    void Attach(TStylePage* page) { page_ = page; }

    TSystemData& SystemData() override { return data_; }
    void SetRefreshPending() override { Pending = true; }
    void RefreshAll() override {
        ++Refreshes;
        if (!Pending)
            return;
        if (page_ != nullptr) {
            page_->UpdateEnabling();
            page_->SetStripScrollRange();
            page_->PaintStyleStrip();
            page_->StyleToControls();
        }
        ShowPreview();
        Pending = false;
    }
    // As the window's: the current style goes into sample.css, then the
    // preview would reload.
    void ShowPreview() override {
        ++Previews;
        if (data_.StyleIndex >= 0 && data_.StyleIndex < data_.Styles.Count())
            data_.Styles.WriteCSS(data_.StyleIndex, SampleCss(), SystemColors());
    }
    void MakePreview() override { ++Builds; }
    std::string TempFolder() const override { return folder_.Path() + "temp/"; }
    std::string StyleFile() const override { return folder_.File("varnoke.INI"); }
    TDialogs& Dialogs() override { return Shown; }
    TSystemColorResolver SystemColors() const override { return ClassicSystemColors(); }

    std::string SampleCss() const { return TempFolder() + "sample.css"; }

    TFakeDialogs Shown;
    bool Pending = true;
    int Refreshes = 0;
    int Previews = 0;
    int Builds = 0;

  private:
    TScratchFolder folder_;
    TSystemData data_;
    TStylePage* page_ = nullptr;
};

} // namespace varnoke::test
