// TPlatform, the program's only window: the text editor on the left, the
// preview upper right, the basic settings and the style page lower right.
// It owns the settings (with the styles) and the project for its whole life;
// every user change follows one pattern: store into the model, mark a
// refresh pending, mark the project modified, rebuild the preview when the
// pages depend on the value, then RefreshAll.
#pragma once

#include "app/dialogs/Dialogs.h"
#include "app/styles/StylePageHost.h"
#include "buildmanual/BuildManual.h"
#include "projectdata/ProjectData.h"
#include "sysdata/SystemData.h"

#include <QMainWindow>
#include <functional>
#include <memory>
#include <string>

class QAction;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QSplitter;
class QTabWidget;
class QToolButton;
class QUrl;

namespace varnoke {

class TBasicSettingsPage;
struct TMainMenus;

class TEditorStatus;
class TExtRichEdit;
class TFileDropTarget;
class TFileNameKeepMenu;
class TFindBar;
class TLivePreview;
struct TLivePreviewHost;
class TGoToHeading;
class TOutlinePane;
class TPanelEx;
class TPreviewNavigator;
class TSHBrowseForFolderEx;
class TStatusLine;
struct TWorkPlace;
class TStylePage;
class TTextDocument;

// Where the window keeps its files and how it talks to the user; main()
// passes the real ones, tests their own.
struct TPlatformEnvironment {
    TNativePath SettingsFile; // the INI file
    TNativePath TempFolder;   // with its trailing "/"
    // Where the recovery copies of unsaved texts go (trailing "/"); empty:
    // none are written or offered.
    TNativePath RecoveryFolder;
    // Idle time after an edit before the recovery copy is written.
    int RecoveryDelayMs = 2000;
    std::unique_ptr<TDialogs> Dialogs;
    // Creates the preview; null gives the embedded browser.
    std::function<TPreviewNavigator*(QWidget* parent, QWidget*& widget)> MakePreview;
    // Opens a finished manual in the desktop's browser; null gives
    // QDesktopServices.
    std::function<bool(const QUrl& url)> OpenUrl;
    // The user's documents folder (native): the dialogs start there while
    // nothing tells where the author works; the guide is copied into it.
    // Empty: the home folder, and no guide.
    QString DocumentsFolder;
    // The bundled guide's folder (native); empty when there is none.
    QString GuideFolder;
};

class TPlatform : public QMainWindow, public TStylePageHost {
    Q_OBJECT

  public:
    explicit TPlatform(TPlatformEnvironment environment, QWidget* parent = nullptr);
    ~TPlatform() override;

    // Window operations.
    void OpenProject(const std::string& fileName);
    void SaveProject(const std::string& fileName);
    void MarkModified();
    void MarkSaved();
    void RefreshAll() override;
    void ShowProject();
    // False when the user declined a file that does not look like text.
    bool LoadText(const std::string& fileName);
    bool ConfirmSave();
    void Memo1Change();

    // Build and preview.
    void MakePreview() override;
    void ShowPreview() override;
    void Button8Click();
    void SpeedButton1Click();
    void SpeedButton2Click();
    void ToolButton3Click();
    void ToolButton4Click();

    // Project commands.
    void N1Click();
    void O1Click();
    void S1Click();
    void N4Click();
    void T1Click();
    void A1Click();
    // Help "使い方ガイドを開く": the copy of the bundled guide in the
    // documents folder, made when it is not there.
    void OpenGuide();
    // At a first start (no settings file before), with no file to open:
    // the guide, so that the window shows at once what the tool makes.
    void OpenGuideAtFirstStart();
    // The open commands after their dialogs, for a file named otherwise
    // (dropped on the window, or given on the command line).
    void OpenProjectFile(const std::string& fileName);
    void OpenTextFile(const std::string& fileName);
    void FileNameKeep1Select(const std::string& fileName);

    // The text's commands: "テキストファイルを保存(&E)" and
    // "テキストファイルに名前を付けて保存...", and the question before a
    // command drops a modified text; each is false when nothing was saved.
    bool SaveText();
    bool SaveTextAs();
    bool ConfirmTextSave();
    // Work that a crash or a killed window left unsaved, offered once the
    // window has opened what it was started with.
    void OfferRecoveryAtStartUp();

    // Basic-settings handlers.
    void Edit4Change();
    void Edit4KeyPress();
    void Edit3Change();
    void Edit3KeyPress();
    void Button4Click();
    void RadioGroup1Click();
    void CheckBox2Click();
    void CheckBox3Click();
    void CheckBox4Click();
    void Edit2Change();
    void Edit2KeyPress();
    void Edit2Exit();
    void ComboBox16Change();
    void ComboBox17Change();
    void ComboBox18Change();
    void ComboBox1Change();

    // TStylePageHost
    TSystemData& SystemData() override { return *systemData_; }
    void SetRefreshPending() override { refreshPending_ = true; }
    TNativePath TempFolder() const override { return tempFolder_; }
    TNativePath StyleFile() const override { return settingsFile_; }
    TDialogs& Dialogs() override { return *dialogs_; }
    void ShowError(const std::exception& error) override;
    TSystemColorResolver SystemColors() const override;
    void Note(const QString& message) override;
    QStringList ProjectChoicesOf(int style) const override;
    void StyleDeleted(int style) override;

    // State, for the tests and the benchmark.
    TProjectData& ProjectData() { return *projectData_; }
    bool RefreshPending() const { return refreshPending_; }
    TExtRichEdit& Editor() { return *extMemo1_; }
    TTextDocument& TextDocument() { return *textDocument_; }
    TStylePage& StylePage() { return *stylePage_; }
    TOutlinePane& Outline() { return *outlinePane_; }
    TFindBar& FindBar() { return *findBar_; }
    TGoToHeading& GoToHeading() { return *goToHeading_; }
    TEditorStatus& EditorStatus() { return *editorStatus_; }
    TStatusLine& StatusLine() { return *statusLine_; }
    TLivePreview& LivePreview() { return *livePreview_; }
    QAction* Action(const QString& name) const;
    QWidget* Control(const QString& name) const;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildLayout();
    void BuildMenus();
    QWidget* BuildEditorArea();
    QWidget* BuildPreviewArea();
    void ConnectHandlers();
    void FormCreate();
    void FormDestroy();
    void RestoreSplittersWhileSettling();
    void RefreshQuietly();
    void OpenGuideCopy();

    // Runs a handler; a failure ends it and shows the common error box.
    void Guard(const std::function<void()>& handler);
    std::string ChosenFileName(const QString& name);
    std::string ProjectPath(const std::string& name) const;
    // How the project names a file: relative when it lies in the project's
    // folder, else by its full name.
    std::string NameInProject(const std::string& fileName) const;
    // What the dialogs work out where to open from.
    TWorkPlace WorkPlace() const;
    // Where a new text is saved and styles are imported from.
    QString TextPlace() const;
    void StoreStyleChoice(int& field, QComboBox* combo);
    enum class TModified { No, Yes };
    enum class TRebuild { No, Yes };
    void FinishChange(TModified modified, TRebuild rebuild);
    // Overwrite save's enabled state and the window title follow what is
    // unsaved: the text, the project.
    void UpdateSaveState();
    // The status line tells of a text deleted on disk until it is saved.
    void TextRemovedOnDisk();
    // Relative names in the project follow it into another folder.
    void RebaseProjectNames(const std::string& newProjectFile);
    void Typed(QLineEdit* edit, void (TPlatform::*handler)());
    bool EditorKey(QEvent& event);
    TBuildReport BuildInto(const TNativePath& folder);
    TLivePreviewHost LivePreviewHost();
    // Builds the preview's pages into the temp folder; false when that
    // failed (and was told).
    bool BuildPreviewPages();

    TPlatformEnvironment environment_;
    TNativePath settingsFile_;
    TNativePath tempFolder_;
    std::unique_ptr<TDialogs> dialogs_;
    std::unique_ptr<TSystemData> systemData_;
    std::unique_ptr<TProjectData> projectData_;
    bool refreshPending_ = true;
    // Whether the current project was opened or saved under a name in this
    // run: only then may overwrite-save write to ProjectFile.
    bool projectFileChosen_ = false;
    // There was no settings file when the window started.
    bool firstStart_ = false;
    // The field whose user edit is being handled.
    QLineEdit* typingIn_ = nullptr;
    // The stored splitter positions still wait for the window's final size.
    bool splittersPending_ = false;
    // The splitters have been put once, stored or default.
    bool splittersPlaced_ = false;
    // Eighths of a degree of wheel turn not yet worth a step.
    int wheelRemainder_ = 0;

    std::unique_ptr<TMainMenus> menus_;

    // Areas.
    TPanelEx* panelEx1_ = nullptr; // editor
    TPanelEx* panelEx3_ = nullptr; // preview
    QSplitter* splitter1_ = nullptr;
    QSplitter* splitter2_ = nullptr;
    TExtRichEdit* extMemo1_ = nullptr;
    TTextDocument* textDocument_ = nullptr;
    TOutlinePane* outlinePane_ = nullptr;
    TFindBar* findBar_ = nullptr;
    TGoToHeading* goToHeading_ = nullptr;
    TEditorStatus* editorStatus_ = nullptr;
    TFileDropTarget* fileDropTarget_ = nullptr;
    QComboBox* comboBox1_ = nullptr; // tab width
    TPreviewNavigator* webBrowser1_ = nullptr;
    TLivePreview* livePreview_ = nullptr;
    QToolButton* followButton_ = nullptr;
    QToolButton* speedButton1_ = nullptr;
    QToolButton* speedButton2_ = nullptr;
    QTabWidget* pageControl1_ = nullptr;
    QWidget* tabSheet1_ = nullptr; // the basic settings, in their scroll area
    TStylePage* stylePage_ = nullptr;

    // Basic settings.
    TBasicSettingsPage* basicSettings_ = nullptr;

    TStatusLine* statusLine_ = nullptr;
    TFileNameKeepMenu* fileNameKeep1_ = nullptr;
    TSHBrowseForFolderEx* shBrowseForFolderEx1_ = nullptr;
};

} // namespace varnoke
