// The build commands and the preview: Execute builds into the project's
// output folder, every change rebuilds into the temp folder, and the
// preview always shows a page of the temp folder.
#include "app/preview/LivePreview.h"
#include "app/preview/PreviewPane.h"
#include "app/text/TextDocument.h"
#include "app/window/MainMenus.h"
#include "app/window/Platform.h"
#include "app/window/StatusLine.h"
#include "buildmanual/BuildManual.h"
#include "common/Errors.h"
#include "common/FileSystem.h"
#include "common/PathNames.h"
#include "common/ShiftJis.h"
#include "controls/EditorStatus.h"
#include "controls/ExtMemo.h"
#include "controls/OutlineModel.h"
#include "controls/OutlinePane.h"
#include "controls/PanelEx.h"
#include "convert/SearchPage.h"
#include "sysdata/SystemData.h"

#include <QAction>
#include <QButtonGroup>
#include <QElapsedTimer>
#include <QSplitter>
#include <QToolButton>

namespace varnoke {

// The manual as the window holds it, built into a folder ending in "/".
TBuildReport TPlatform::BuildInto(const TNativePath& folder) {
    TBuildInputs inputs{*projectData_, systemData_->Styles, extMemo1_->Lines(),
                        EffectiveTabSpace(systemData_->TabSpace), SystemColors()};
    // A remembered name whose bytes name no file is no input.
    inputs.InputFiles = {NativePathOrEmpty(textDocument_->FileName()),
                         NativePathOrEmpty(systemData_->ProjectFile), settingsFile_};
    TBuildReport report = BuildManual(inputs, folder);
    // The outline reads the editor's lines as the build does: its counts are
    // the build's. Split, every main heading after the first opens a page.
    const THeadingOutline& outline = outlinePane_->Model().Outline();
    const int pages = projectData_->FileDivideFlag ? std::max(1, outline.MainHeadingCount()) : 1;
    editorStatus_->SetBuildResult(static_cast<int>(outline.Headings().size()), pages);
    return report;
}

void TPlatform::MakePreview() {
    const bool built = BuildPreviewPages();
    if (built)
        ShowPreview();
    livePreview_->Rebuilt(built);
}

TLivePreviewHost TPlatform::LivePreviewHost() {
    return {
        [this] { Guard([this] { MakePreview(); }); },
        [this] { return BuildPreviewPages(); },
        [this] { return systemData_->PreviewTarget == 0; },
        [this] { return projectData_->FileDivideFlag; },
        [this] { return EffectiveTabSpace(systemData_->TabSpace); },
        [this] { return SearchLinks(projectData_->SearchFlag, projectData_->ContentsType == 1); }};
}

// The temp folder then holds this build's pages and no others. A failure is
// told once in the error box and then stays in the status line until a
// build succeeds: with a temp folder that has become unwritable, every key
// in the editor would otherwise raise the same box again.
bool TPlatform::BuildPreviewPages() {
    try {
        RemoveStaleBodyPages(tempFolder_, BuildInto(tempFolder_));
    } catch (const std::exception& error) {
        const QString message = ErrorMessageOf(error);
        if (!statusLine_->PreviewFailing())
            dialogs_->ShowError(message);
        statusLine_->ShowPreviewFailure(message);
        return false;
    }
    statusLine_->ClearPreviewFailure();
    return true;
}

void TPlatform::Button8Click() {
    if (projectData_->OutputPath.empty())
        throw EVarnokeError("出力フォルダが指定されていません");
    const TNativePath folder =
        NativePath(IncludeTrailingPathDelimiter(ProjectPath(projectData_->OutputPath)));
    QElapsedTimer timer;
    timer.start();
    // A missing folder is made, as varnoke-build makes it.
    ForceDirectories(folder);
    const TBuildReport report = BuildInto(folder);
    const QString shown = QString::fromStdString(folder.Name());
    statusLine_->ShowBuildFinished(shown, static_cast<int>(report.Files.size()),
                                   timer.nsecsElapsed() / 1000,
                                   shown + QString::fromStdString(EntryPage(*projectData_)));
    ShowPreview();
}

void TPlatform::ShowPreview() {
    livePreview_->Flush();
    livePreview_->ShownAfresh();
    const TCSSPropertyClass& styles = systemData_->Styles;
    if (systemData_->StyleIndex >= 0 && systemData_->StyleIndex < styles.Count()) {
        try {
            styles.WriteCSS(systemData_->StyleIndex, tempFolder_ + "sample.css", SystemColors());
        } catch (const std::exception&) {
            // A temp folder that failed the build fails here as well; that
            // has been told, and the refresh must still show the project.
            if (!statusLine_->PreviewFailing())
                throw;
        }
    }
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
    panelEx1_->setVisible(menus_->ToolButton3->isChecked());
    RefreshAll();
}

void TPlatform::ToolButton4Click() {
    panelEx3_->setVisible(menus_->ToolButton4->isChecked());
    RefreshAll();
}

} // namespace varnoke
