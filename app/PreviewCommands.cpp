// The build commands and the preview: Execute builds into the project's
// output folder, every change rebuilds into the temp folder, and the
// preview always shows a page of the temp folder.
#include "app/Platform.h"
#include "app/PreviewPane.h"
#include "buildmanual/BuildManual.h"
#include "controls/EditorStatus.h"
#include "controls/ExtMemo.h"
#include "controls/OutlineModel.h"
#include "controls/OutlinePane.h"
#include "controls/PanelEx.h"

#include <QAction>
#include <QButtonGroup>
#include <QSplitter>
#include <QToolButton>

namespace varnoke {

// The manual as the window holds it, built into a folder ending in "/".
void TPlatform::BuildInto(const std::string& folder) {
    BuildManual({*projectData_, systemData_->Styles, extMemo1_->Lines(), systemData_->TabSpace,
                 SystemColors()},
                folder);
    // The outline reads the editor's lines as the build does: its counts are
    // the build's. Split, every main heading after the first opens a page.
    const THeadingOutline& outline = outlinePane_->Model().Outline();
    const int pages = projectData_->FileDivideFlag ? std::max(1, outline.MainHeadingCount()) : 1;
    editorStatus_->SetBuildResult(static_cast<int>(outline.Headings().size()), pages);
}

void TPlatform::MakePreview() {
    BuildInto(tempFolder_);
    ShowPreview();
}

void TPlatform::Button8Click() {
    BuildInto(ProjectPath(projectData_->OutputPath) + "/");
    ShowPreview();
}

void TPlatform::ShowPreview() {
    const TCSSPropertyClass& styles = systemData_->Styles;
    if (systemData_->StyleIndex >= 0 && systemData_->StyleIndex < styles.Count())
        styles.WriteCSS(systemData_->StyleIndex, tempFolder_ + "sample.css", SystemColors());
    if (systemData_->PreviewTarget == 0) {
        // The project's menu type, which the radio group shows. RefreshAll
        // reloads the preview before it shows the project, so after opening
        // a project the radio group still holds the previous one's type.
        switch (projectData_->ContentsType) {
        case 0:
            webBrowser1_->Navigate(tempFolder_ + "text.html");
            break;
        case 1:
            webBrowser1_->Navigate(tempFolder_ + "frame.html");
            break;
        default:
            break;
        }
    } else if (systemData_->PreviewTarget == 1) {
        webBrowser1_->Navigate(tempFolder_ + "sample.html");
    }
}

void TPlatform::SpeedButton1Click() {
    systemData_->PreviewTarget = 0;
    ShowPreview();
}

void TPlatform::SpeedButton2Click() {
    systemData_->PreviewTarget = 1;
    ShowPreview();
}

void TPlatform::ToolButton3Click() {
    panelEx1_->setVisible(toolButton3_->isChecked());
    RefreshAll();
}

void TPlatform::ToolButton4Click() {
    panelEx3_->setVisible(toolButton4_->isChecked());
    RefreshAll();
}

} // namespace varnoke
