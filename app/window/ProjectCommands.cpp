// The project commands of the File menu and the handlers of the
// basic-settings page.
#include "app/dialogs/AboutDialog.h"
#include "app/dialogs/DialogPlaces.h"
#include "app/dialogs/FolderDialog.h"
#include "app/styles/ProjectStyles.h"
#include "app/styles/ReadyStyles.h"
#include "app/text/TextDocument.h"
#include "app/window/BasicSettingsPage.h"
#include "app/window/Guide.h"
#include "app/window/MainMenus.h"
#include "app/window/Platform.h"
#include "app/window/RecentMenu.h"
#include "common/Errors.h"
#include "common/FileSystem.h"
#include "common/PathNames.h"
#include "common/ShiftJis.h"
#include "common/Version.h"
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
    return SjisPathFromNative(TNativePath(name.toStdString()));
}

// A relative name in a project (one written by hand, or moved with its
// text) means a file beside the project, as the command-line tool reads
// it, not one beside wherever the program happened to start.
std::string TPlatform::ProjectPath(const std::string& name) const {
    if (systemData_->ProjectFile.empty())
        return name;
    return ResolveAgainst(ExtractFilePath(systemData_->ProjectFile), name);
}

// A text inside the project's folder is named relative to it, so that the
// project and its text move together.
std::string TPlatform::NameInProject(const std::string& fileName) const {
    if (!projectFileChosen_ || systemData_->ProjectFile.empty() || fileName.empty() ||
        fileName[0] != PathDelimiter)
        return fileName;
    const std::string relative =
        RelativePath(ExtractFilePath(systemData_->ProjectFile), NormalizedPath(fileName));
    return relative.rfind("../", 0) == 0 || relative == "." ? fileName : relative;
}

TWorkPlace TPlatform::WorkPlace() const {
    return {systemData_->ProjectFile, projectFileChosen_, projectData_->TextName,
            projectData_->OutputPath, AuthorsFolderOf(environment_.DocumentsFolder)};
}

// ---- window operations ----------------------------------------------------

void TPlatform::OpenProject(const std::string& fileName) {
    // Random bytes or another program's file would leave the previous
    // project's values in place under the new name.
    const TNativePath file = NativePath(fileName);
    if (FileExists(file) && !TProjectData::HoldsProject(file))
        throw ENotProjectFile(file);
    projectData_->LoadFromFile(file);
    systemData_->ProjectFile = fileName;
    projectFileChosen_ = true;
    refreshPending_ = true;
    // A text that does not exist yet leaves an empty editor bound to its
    // name, so that saving creates it. A text that exists but cannot be read
    // (a folder, no permission) stops the opening here: the editor keeps its
    // text, and the project is neither refreshed, nor listed, nor saved.
    const std::string textFile = ProjectPath(projectData_->TextName);
    std::exception_ptr textError;
    try {
        if (!LoadText(textFile))
            textDocument_->StartNew({});
    } catch (const std::exception&) {
        const TNativePath text = NativePathOrEmpty(textFile);
        const bool missing = text.Empty() || (!FileExists(text) && !DirectoryExists(text));
        if (!missing)
            throw;
        textError = std::current_exception();
        textDocument_->StartNew(textFile);
    }
    RefreshAll();
    fileNameKeep1_->Add(fileName);
    MarkSaved();
    if (textError)
        std::rethrow_exception(textError);
}

void TPlatform::SaveProject(const std::string& fileName) {
    RebaseProjectNames(fileName);
    systemData_->ProjectFile = fileName;
    projectFileChosen_ = true;
    const std::string textName = NameInProject(projectData_->TextName);
    if (textName != projectData_->TextName) {
        projectData_->TextName = textName;
        ShowProject();
    }
    projectData_->SaveToFile(NativePath(systemData_->ProjectFile));
    fileNameKeep1_->Add(systemData_->ProjectFile);
    MarkSaved();
}

bool TPlatform::LoadText(const std::string& fileName) {
    // A tab width the editor cannot take (a negative one from the settings
    // file) fails before the text is replaced, so that the editor and the
    // project keep agreeing.
    TabStopsInTwips(EffectiveTabSpace(systemData_->TabSpace), EditorTabMetrics(*extMemo1_));
    if (!textDocument_->Load(fileName))
        return false;
    // The editor shows the tab width the selector shows.
    SetTabWidth(*extMemo1_, EffectiveTabSpace(systemData_->TabSpace));
    refreshPending_ = true;
    return true;
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

// A new project starts with a new, empty text: the project names its text,
// and an old text left in the editor would be built under the new project.
void TPlatform::N1Click() {
    if (!ConfirmTextSave() || !ConfirmSave())
        return;
    projectData_->Reset();
    ChooseFittingStyles(*projectData_, systemData_->Styles);
    projectFileChosen_ = false;
    textDocument_->StartNew({});
    refreshPending_ = true;
    RefreshAll();
}

// Opening another project drops the text and the project: both questions
// come first, the text's before the project's.
void TPlatform::O1Click() {
    if (!ConfirmTextSave() || !ConfirmSave())
        return;
    if (std::optional<QString> name =
            dialogs_->OpenFile(At(ProjectOpenDialog, ProjectOpenPlace(WorkPlace()))))
        OpenProjectFile(ChosenFileName(*name));
}

void TPlatform::OpenProjectFile(const std::string& fileName) {
    OpenProject(fileName);
}

void TPlatform::FileNameKeep1Select(const std::string& fileName) {
    Guard([&] {
        if (ConfirmTextSave() && ConfirmSave())
            OpenProject(fileName);
    });
}

// Saves what is modified: the text, then the project. When only the text
// is modified, only the text is written; the project's save dialog never
// opens for a change of the text alone. A new text's name changes the
// project, which is then saved in the same command.
void TPlatform::S1Click() {
    const bool textModified = textDocument_->Modified();
    if (textModified && !SaveText())
        return;
    if (textModified && !systemData_->ProjectModified)
        return;
    // Before a project is opened or saved under a name in this run, the
    // remembered ProjectFile belongs to another project: ask for a name.
    if (systemData_->ProjectFile.empty() || !projectFileChosen_) {
        N4Click();
        return;
    }
    projectData_->SaveToFile(NativePath(systemData_->ProjectFile));
    MarkSaved();
}

// A relative text name or output folder means a file beside the project;
// saved into another folder, the project names the same files from there
// (an absolute name stays as it is).
void TPlatform::RebaseProjectNames(const std::string& newProjectFile) {
    if (systemData_->ProjectFile.empty())
        return;
    const std::string oldFolder = ExtractFilePath(systemData_->ProjectFile);
    const std::string newFolder = ExtractFilePath(newProjectFile);
    TProjectData& project = *projectData_;
    const std::string textName = RebaseRelativeName(project.TextName, oldFolder, newFolder);
    const std::string outputPath = RebaseRelativeName(project.OutputPath, oldFolder, newFolder);
    if (textName == project.TextName && outputPath == project.OutputPath)
        return;
    project.TextName = textName;
    project.OutputPath = outputPath;
    ShowProject();
}

void TPlatform::N4Click() {
    if (std::optional<QString> name =
            dialogs_->SaveFile(At(ProjectSaveDialog, ProjectSavePlace(WorkPlace()))))
        SaveProject(ChosenFileName(*name));
}

void TPlatform::T1Click() {
    if (!ConfirmTextSave())
        return;
    if (std::optional<QString> name =
            dialogs_->OpenFile(At(TextOpenDialog, TextOpenPlace(WorkPlace()))))
        OpenTextFile(ChosenFileName(*name));
}

void TPlatform::OpenTextFile(const std::string& fileName) {
    if (!LoadText(fileName))
        return;
    projectData_->TextName = NameInProject(fileName);
    MarkModified();
    RefreshAll();
}

void TPlatform::OpenGuide() {
    if (!ConfirmTextSave() || !ConfirmSave())
        return;
    OpenGuideCopy();
}

void TPlatform::OpenGuideAtFirstStart() {
    if (!firstStart_ || !menus_->Guide1->isEnabled())
        return;
    // The copy's project is named in the settings, in Shift-JIS: under a
    // documents folder that cannot be, a first start would greet the user
    // with an error. The Help menu still offers the guide, and says why not.
    try {
        SjisPathFromNative(TNativePath(environment_.DocumentsFolder.toStdString()));
    } catch (const EConvertError&) {
        return;
    }
    Guard([this] { OpenGuideCopy(); });
}

// A copy made now names the styles that fit by name, as a new project does,
// whatever the styles are numbered here.
void TPlatform::OpenGuideCopy() {
    const TGuideCopy copy = CopyOfGuide(environment_.GuideFolder, environment_.DocumentsFolder);
    const std::string project = ChosenFileName(copy.Project);
    if (copy.Fresh) {
        TProjectData guide;
        guide.LoadFromFile(NativePath(project));
        ChooseFittingStyles(guide, systemData_->Styles);
        guide.SaveToFile(NativePath(project));
    }
    OpenProject(project);
}

void TPlatform::A1Click() {
    TAboutDialog about(this);
    about.SetAppName(QStringLiteral("Varnoke V2"));
    about.SetCaption(QStringLiteral("VARNOKE2について"));
    about.SetCloseButton(QStringLiteral("閉じる"));
    about.SetFormWidth(304);
    about.SetFormHeight(104);
    about.SetFormPosition(TFPosition::fpMainFormCenter);
    about.SetVersion(AboutVersionLine(QString::fromUtf8(ProgramVersion()),
                                      QString::fromUtf8(ProgramReleaseDate())));
    about.SetMemo(QStringLiteral("Linux 版 (Qt 6)"));
    about.SetFont(font());
    about.SetIcon(windowIcon());
    about.Execute();
}

// ---- basic settings ---------------------------------------------------------

void TPlatform::Edit4Change() {
    projectData_->TextName = ModelText(basicSettings_->Edit4->text());
    MarkModified();
    ShowProject();
}

void TPlatform::Edit4KeyPress() {
    if (!ConfirmTextSave())
        return;
    LoadText(ProjectPath(projectData_->TextName));
    RefreshAll();
}

void TPlatform::Edit3Change() {
    projectData_->OutputPath = ModelText(basicSettings_->Edit3->text());
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
    projectData_->ContentsType =
        static_cast<std::uint8_t>(basicSettings_->RadioButtons->checkedId());
    // The search link goes into the menu or into the body pages by the
    // menu type.
    FinishChange(TModified::Yes, projectData_->SearchFlag ? TRebuild::Yes : TRebuild::No);
}

void TPlatform::CheckBox2Click() {
    projectData_->FileDivideFlag = basicSettings_->CheckBox2->isChecked();
    FinishChange(TModified::Yes, TRebuild::Yes);
}

void TPlatform::CheckBox3Click() {
    projectData_->TitleFrameFlag = basicSettings_->CheckBox3->isChecked();
    FinishChange(TModified::Yes, TRebuild::Yes);
}

void TPlatform::CheckBox4Click() {
    projectData_->SearchFlag = basicSettings_->CheckBox4->isChecked();
    FinishChange(TModified::Yes, TRebuild::Yes);
}

void TPlatform::Edit2Change() {
    projectData_->TitleName = ModelText(basicSettings_->Edit2->text());
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

QStringList TPlatform::ProjectChoicesOf(int style) const {
    return ProjectChoicesOfStyle(*projectData_, style);
}

// The project's choices follow their styles; the pages are built again
// with them, so that the preview shows what Execute would write.
void TPlatform::StyleDeleted(int style) {
    if (!FollowDeletedStyle(*projectData_, style))
        return;
    refreshPending_ = true;
    MarkModified();
    MakePreview();
}

void TPlatform::ComboBox16Change() {
    StoreStyleChoice(projectData_->StyleTitle, basicSettings_->ComboBox16);
}
void TPlatform::ComboBox17Change() {
    StoreStyleChoice(projectData_->StyleMenu, basicSettings_->ComboBox17);
}
void TPlatform::ComboBox18Change() {
    StoreStyleChoice(projectData_->StyleText, basicSettings_->ComboBox18);
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
