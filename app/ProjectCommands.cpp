// The project commands of the File menu and the handlers of the
// basic-settings page.
#include "app/AboutDialog.h"
#include "app/DialogPlaces.h"
#include "app/FolderDialog.h"
#include "app/Platform.h"
#include "app/RecentMenu.h"
#include "common/Errors.h"
#include "common/FileSystem.h"
#include "common/PathNames.h"
#include "common/ShiftJis.h"
#include "controls/ExtMemo.h"
#include "controls/RETabWidth.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

namespace varnoke {

namespace {
// A project may be opened by a name that does not exist yet: opening it
// then changes nothing.
const TFileDialogOptions ProjectOpenDialog{QStringLiteral("ﾌﾟﾛｼﾞｪｸﾄﾌｧｲﾙを開く"),
                                           QStringLiteral("ﾌﾟﾛｼﾞｪｸﾄﾌｧｲﾙ (*.vkp)"),
                                           QStringLiteral("vkp"), QString(), false};
const TFileDialogOptions ProjectSaveDialog{QStringLiteral("ﾌﾟﾛｼﾞｪｸﾄﾌｧｲﾙを保存"),
                                           QStringLiteral("ﾌﾟﾛｼﾞｪｸﾄﾌｧｲﾙ (*.vkp)"),
                                           QStringLiteral("vkp"),
                                           {}};
const TFileDialogOptions TextOpenDialog{
    {}, QStringLiteral("ﾃｷｽﾄﾌｧｲﾙ (*.txt);;全てのﾌｧｲﾙ (*)"), QStringLiteral("txt"), {}};
const QString OutputFolderCaption = QStringLiteral("出力フォルダの選択");

TFileDialogOptions At(TFileDialogOptions options, const QString& initialPath) {
    options.InitialPath = initialPath;
    return options;
}

// A field's text as the model holds it. Text that CP932 cannot hold is
// kept as character references, as page text is.
std::string ModelText(const QString& text) {
    return Utf8ToSjis(text.toStdString());
}
} // namespace

// File names chosen in a dialog are UTF-8; a name CP932 cannot hold is
// refused with a message rather than changed.
std::string TPlatform::ChosenFileName(const QString& name) {
    return SjisPathFromNative(name.toStdString());
}

// A relative name in a project (one written by hand, or moved with its
// text) means a file beside the project, as the command-line tool reads
// it, not one beside wherever the program happened to start.
std::string TPlatform::ProjectPath(const std::string& name) const {
    if (systemData_->ProjectFile.empty())
        return name;
    return ResolveAgainst(ExtractFilePath(systemData_->ProjectFile), name);
}

TWorkPlace TPlatform::WorkPlace() const {
    return {systemData_->ProjectFile, projectFileChosen_, projectData_->TextName,
            projectData_->OutputPath};
}

// ---- window operations ----------------------------------------------------

void TPlatform::OpenProject(const std::string& fileName) {
    // Random bytes or another program's file would leave the previous
    // project's values in place under the new name.
    if (FileExists(fileName) && !TProjectData::HoldsProject(fileName))
        throw ENotProjectFile(fileName);
    projectData_->LoadFromFile(fileName);
    systemData_->ProjectFile = fileName;
    projectFileChosen_ = true;
    refreshPending_ = true;
    try {
        LoadText(ProjectPath(projectData_->TextName));
    } catch (...) {
        // The project that was read is shown all the same; the recent list
        // and the saved state stay as they were.
        RefreshAll();
        throw;
    }
    RefreshAll();
    fileNameKeep1_->Add(fileName);
    MarkSaved();
}

void TPlatform::SaveProject(const std::string& fileName) {
    systemData_->ProjectFile = fileName;
    projectFileChosen_ = true;
    projectData_->SaveToFile(systemData_->ProjectFile);
    fileNameKeep1_->Add(systemData_->ProjectFile);
    MarkSaved();
}

void TPlatform::LoadText(const std::string& fileName) {
    if (fileName.empty())
        throw EFOpenError(fileName, SystemErrorReason(ENOENT));
    extMemo1_->LoadFromFile(fileName);
    // The editor shows the tab width the selector shows.
    SetTabWidth(*extMemo1_, systemData_->TabSpace);
    refreshPending_ = true;
}

bool TPlatform::ConfirmSave() {
    if (!systemData_->ProjectModified)
        return true;
    switch (dialogs_->AskYesNoCancel(QStringLiteral("警告"),
                                     QStringLiteral("プロジェクトを保存しますか?"))) {
    case TAnswer::Yes: {
        std::optional<QString> name =
            dialogs_->SaveFile(At(ProjectSaveDialog, ProjectSavePlace(WorkPlace())));
        if (!name)
            return false;
        SaveProject(ChosenFileName(*name));
        return true;
    }
    case TAnswer::No:
        return true;
    case TAnswer::Cancel:
        return false;
    }
    return false;
}

// ---- project commands -----------------------------------------------------

void TPlatform::N1Click() {
    if (!ConfirmSave())
        return;
    projectData_->Reset();
    projectFileChosen_ = false;
    refreshPending_ = true;
    RefreshAll();
}

void TPlatform::O1Click() {
    if (std::optional<QString> name =
            dialogs_->OpenFile(At(ProjectOpenDialog, ProjectOpenPlace(WorkPlace()))))
        OpenProject(ChosenFileName(*name));
}

void TPlatform::FileNameKeep1Select(const std::string& fileName) {
    Guard([&] { OpenProject(fileName); });
}

void TPlatform::S1Click() {
    // Before a project is opened or saved under a name in this run, the
    // remembered ProjectFile belongs to another project: ask for a name.
    if (systemData_->ProjectFile.empty() || !projectFileChosen_) {
        N4Click();
        return;
    }
    projectData_->SaveToFile(systemData_->ProjectFile);
    MarkSaved();
}

void TPlatform::N4Click() {
    if (std::optional<QString> name =
            dialogs_->SaveFile(At(ProjectSaveDialog, ProjectSavePlace(WorkPlace()))))
        SaveProject(ChosenFileName(*name));
}

void TPlatform::T1Click() {
    std::optional<QString> name =
        dialogs_->OpenFile(At(TextOpenDialog, TextOpenPlace(WorkPlace())));
    if (!name)
        return;
    const std::string fileName = ChosenFileName(*name);
    LoadText(fileName);
    projectData_->TextName = fileName;
    MarkModified();
    RefreshAll();
}

void TPlatform::A1Click() {
    TAboutDialog about(this);
    about.SetAppName(QStringLiteral("Varnoke V2"));
    about.SetCaption(QStringLiteral("VARNOKE2について"));
    about.SetCloseButton(QStringLiteral("閉じる"));
    about.SetFormWidth(304);
    about.SetFormHeight(104);
    about.SetFormPosition(TFPosition::fpMainFormCenter);
    about.SetVersion(QStringLiteral("バージョン 2.00α 【2004年3月31日(水)】"));
    about.SetMemo(QStringLiteral("Linux 版 (Qt 6)"));
    about.SetFont(font());
    about.SetIcon(windowIcon());
    about.Execute();
}

// ---- basic settings ---------------------------------------------------------

void TPlatform::Edit4Change() {
    projectData_->TextName = ModelText(edit4_->text());
    MarkModified();
    ShowProject();
}

void TPlatform::Edit4KeyPress() {
    LoadText(ProjectPath(projectData_->TextName));
    RefreshAll();
}

void TPlatform::Edit3Change() {
    projectData_->OutputPath = ModelText(edit3_->text());
    MarkModified();
}

void TPlatform::Edit3KeyPress() {
    FinishChange(TModified::No, TRebuild::No);
}

void TPlatform::Button4Click() {
    if (shBrowseForFolderEx1_ == nullptr) {
        shBrowseForFolderEx1_ = new TSHBrowseForFolderEx(*dialogs_, this);
        shBrowseForFolderEx1_->SetCaption(OutputFolderCaption);
    }
    // At the present output folder, when there is one to start at.
    const std::string place = OutputFolderPlace(WorkPlace());
    shBrowseForFolderEx1_->SetSelectFolder(place.empty() ? TSelectFolder::sfDrives
                                                         : TSelectFolder::sfManual);
    shBrowseForFolderEx1_->SetSelectFolderName(place);
    if (!shBrowseForFolderEx1_->Execute())
        return; // a cancelled dialog changes nothing
    projectData_->OutputPath = shBrowseForFolderEx1_->FolderPath();
    FinishChange(TModified::Yes, TRebuild::No);
}

void TPlatform::RadioGroup1Click() {
    projectData_->ContentsType = static_cast<std::uint8_t>(radioButtons_->checkedId());
    FinishChange(TModified::Yes, TRebuild::No);
}

void TPlatform::CheckBox2Click() {
    projectData_->FileDivideFlag = checkBox2_->isChecked();
    FinishChange(TModified::Yes, TRebuild::Yes);
}

void TPlatform::CheckBox3Click() {
    projectData_->TitleFrameFlag = checkBox3_->isChecked();
    FinishChange(TModified::Yes, TRebuild::Yes);
}

void TPlatform::Edit2Change() {
    projectData_->TitleName = ModelText(edit2_->text());
    MarkModified();
}

void TPlatform::Edit2KeyPress() {
    FinishChange(TModified::No, TRebuild::Yes);
}

void TPlatform::Edit2Exit() {
    FinishChange(TModified::No, TRebuild::Yes);
}

void TPlatform::StoreStyleChoice(int& field, QComboBox* combo) {
    field = combo->currentIndex();
    FinishChange(TModified::Yes, TRebuild::Yes);
}

void TPlatform::ComboBox16Change() {
    StoreStyleChoice(projectData_->StyleTitle, comboBox16_);
}
void TPlatform::ComboBox17Change() {
    StoreStyleChoice(projectData_->StyleMenu, comboBox17_);
}
void TPlatform::ComboBox18Change() {
    StoreStyleChoice(projectData_->StyleText, comboBox18_);
}

// The common tail of the settings handlers, after the model has taken the
// value: a refresh is pending, the project is modified, the preview is
// rebuilt when the pages depend on the value, then everything is shown.
void TPlatform::FinishChange(TModified modified, TRebuild rebuild) {
    refreshPending_ = true;
    if (modified == TModified::Yes)
        MarkModified();
    if (rebuild == TRebuild::Yes)
        MakePreview();
    RefreshAll();
}

void TPlatform::ComboBox1Change() {
    systemData_->TabSpace = comboBox1_->currentText().toInt();
    SetTabWidth(*extMemo1_, systemData_->TabSpace);
}

} // namespace varnoke
