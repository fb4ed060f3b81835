#include "app/window/Platform.h"

#include "app/dialogs/AboutDialog.h"
#include "app/dialogs/FolderDialog.h"
#include "app/preview/LivePreview.h"
#include "app/preview/PreviewPane.h"
#include "app/styles/ReadyStyles.h"
#include "app/styles/StyleImport.h"
#include "app/styles/StylePage.h"
#include "app/text/TextDocument.h"
#include "app/window/BasicSettingsPage.h"
#include "app/window/ExternalFiles.h"
#include "app/window/FieldExit.h"
#include "app/window/MainMenus.h"
#include "app/window/RecentMenu.h"
#include "app/window/StatusLine.h"
#include "app/window/WindowPlacement.h"
#include "common/Errors.h"
#include "common/FileSystem.h"
#include "common/ShiftJis.h"
#include "controls/EditorStatus.h"
#include "controls/ExtMemo.h"
#include "controls/FindBar.h"
#include "controls/GoToHeading.h"
#include "controls/OutlineModel.h"
#include "controls/OutlinePane.h"
#include "controls/PageScroller.h"
#include "controls/PanelEx.h"
#include "controls/PlatformColor.h"
#include "controls/RETabWidth.h"
#include "convert/SampleHtml.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <cstdlib>

// The icon is compiled into a static library, whose resources must be
// registered by hand, and from outside any namespace.
static void InitVarnokeResources() {
    Q_INIT_RESOURCE(varnoke);
}

namespace varnoke {

namespace {
// The user-interface font: the classic Japanese one where it exists, an
// installed Japanese font elsewhere.
QFont InterfaceFont() {
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                      QStringLiteral("Noto Sans CJK JP"), QStringLiteral("IPAPGothic"),
                      QStringLiteral("VL PGothic"), QStringLiteral("Sans Serif")});
    font.setPixelSize(12);
    return font;
}

// Whole wheel steps (120 eighths of a degree each) up (positive) or down in
// a vertical delta; what is left of a fine-grained wheel waits for the next.
int TakeWheelSteps(int& remainder, int deltaY) {
    remainder += deltaY;
    const int steps = remainder / 120;
    remainder -= steps * 120;
    return steps;
}

} // namespace

TPlatform::TPlatform(TPlatformEnvironment environment, QWidget* parent)
    : QMainWindow(parent), environment_(std::move(environment)),
      settingsFile_(environment_.SettingsFile), tempFolder_(environment_.TempFolder),
      dialogs_(std::move(environment_.Dialogs)) {
    if (!dialogs_)
        dialogs_ = std::make_unique<TQtDialogs>(this);
    InitVarnokeResources();
    setWindowTitle(QStringLiteral("Varnoke V2"));
    setWindowIcon(QIcon(QStringLiteral(":/varnoke.png")));
    setFont(InterfaceFont());
    setMinimumSize(848, 640);
    resize(848, 640);
    BuildLayout();
    livePreview_ =
        new TLivePreview(*extMemo1_, extMemo1_->Lines(), *webBrowser1_, LivePreviewHost(), this);
    fileDropTarget_ = new TFileDropTarget(*this);
    FormCreate();
    RestoreWindow(*this, systemData_->Window);
    splittersPending_ =
        systemData_->Window.EditorWidth > 0 || systemData_->Window.SettingsHeight > 0;
}

TPlatform::~TPlatform() {
    FormDestroy();
}

// ---- layout -------------------------------------------------------------

void TPlatform::BuildLayout() {
    BuildMenus();

    splitter1_ = new QSplitter(Qt::Horizontal);
    splitter1_->setObjectName("Splitter1");
    splitter1_->addWidget(BuildEditorArea());

    splitter2_ = new QSplitter(Qt::Vertical);
    splitter2_->setObjectName("Splitter2");
    splitter2_->addWidget(BuildPreviewArea());

    pageControl1_ = new QTabWidget;
    pageControl1_->setObjectName("PageControl1");
    pageControl1_->installEventFilter(this);
    basicSettings_ = new TBasicSettingsPage;
    basicSettings_->Edit2->installEventFilter(this);
    tabSheet1_ = new TPageScroller(basicSettings_, "TabSheet1");
    pageControl1_->addTab(tabSheet1_, QStringLiteral("基本情報"));
    stylePage_ = new TStylePage(*this);
    stylePage_->setObjectName("StylePage");
    pageControl1_->addTab(new TPageScroller(stylePage_, "TabSheet2"),
                          QStringLiteral("スタイル設定"));
    splitter2_->addWidget(pageControl1_);
    // Height the window gains goes to the preview; width to the editor and
    // the preview alike, the settings taking what their page needs.
    splitter2_->setStretchFactor(0, 1);
    splitter2_->setStretchFactor(1, 0);
    splitter1_->addWidget(splitter2_);
    // The editor area grows with the window too: beside the outline and
    // above the find bar, the text needs the room.
    splitter1_->setStretchFactor(0, 2);
    splitter1_->setStretchFactor(1, 3);
    splitter1_->setSizes({390, 458});
    setCentralWidget(splitter1_);
    TStatusLine::TOpenUrl openUrl = environment_.OpenUrl;
    if (!openUrl)
        openUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    statusLine_ = new TStatusLine(std::move(openUrl), this);
    setStatusBar(statusLine_);
    // The editor's own indicators stand at the right, beside the messages.
    statusLine_->addPermanentWidget(editorStatus_);

    ConnectHandlers();
}

void TPlatform::BuildMenus() {
    menus_ = std::make_unique<TMainMenus>(*this);
    menus_->Guide1->setEnabled(!environment_.GuideFolder.isEmpty() &&
                               !environment_.DocumentsFolder.isEmpty());

    // The recent list binds itself to its menu while the window is built,
    // and reads its section then.
    fileNameKeep1_ = new TFileNameKeepMenu(settingsFile_, this);
    fileNameKeep1_->SetOnSelect([this](const std::string& name) { FileNameKeep1Select(name); });
    fileNameKeep1_->SetOnSaveError(
        [this](const QString& message) { dialogs_->ShowError(message); });
    Guard([this] { fileNameKeep1_->SetParentMenu(menus_->N15); });
}

QWidget* TPlatform::BuildEditorArea() {
    panelEx1_ = new TPanelEx(nullptr);
    panelEx1_->setObjectName("PanelEx1");
    panelEx1_->setMinimumSize(320, 240);
    auto* layout = new QVBoxLayout(panelEx1_);
    layout->setContentsMargins(2, 2, 2, 2);
    auto* header = new QHBoxLayout;
    header->addWidget(new QLabel(QStringLiteral("テキストファイル")));
    header->addStretch();
    header->addWidget(new QLabel(QStringLiteral("タブ幅")));
    comboBox1_ = new QComboBox;
    comboBox1_->setObjectName("ComboBox1");
    comboBox1_->addItems({"2", "4", "8"});
    header->addWidget(comboBox1_);
    layout->addLayout(header);

    extMemo1_ = new TExtRichEdit;
    extMemo1_->setObjectName("ExtMemo1");
    QPalette palette = extMemo1_->palette();
    palette.setColor(QPalette::Base, Qt::black);
    palette.setColor(QPalette::Text, Qt::white);
    extMemo1_->setPalette(palette);
    extMemo1_->setLineWrapMode(QPlainTextEdit::NoWrap);
    extMemo1_->setTabChangesFocus(false);
    extMemo1_->WordWrapOption().SetPunctuationMode(wbfLevel2);
    extMemo1_->viewport()->installEventFilter(this);
    // The Edit menu's keys act through the menu's commands (see EditorKey).
    extMemo1_->installEventFilter(this);

    outlinePane_ = new TOutlinePane(*extMemo1_);
    auto* besideEditor = new QSplitter(Qt::Horizontal);
    besideEditor->setObjectName("OutlineSplitter");
    besideEditor->addWidget(outlinePane_);
    besideEditor->addWidget(extMemo1_);
    besideEditor->setStretchFactor(1, 1);
    // A heading of twelve full-width characters shows whole in the outline.
    const int outlineWidth = OutlineWidthFor(outlinePane_->Tree(), 12);
    besideEditor->setSizes({outlineWidth, std::max(120, 320 - outlineWidth)});
    layout->addWidget(besideEditor, 1);
    findBar_ = new TFindBar(*extMemo1_);
    layout->addWidget(findBar_);
    goToHeading_ = new TGoToHeading(*extMemo1_, outlinePane_->Model().Outline());
    editorStatus_ = new TEditorStatus(*extMemo1_);
    textDocument_ =
        new TTextDocument(*extMemo1_, *dialogs_, TRecoveryFolder(environment_.RecoveryFolder),
                          environment_.RecoveryDelayMs, this);
    return panelEx1_;
}

QWidget* TPlatform::BuildPreviewArea() {
    panelEx3_ = new TPanelEx(nullptr);
    panelEx3_->setObjectName("PanelEx3");
    panelEx3_->setMinimumHeight(200);
    auto* layout = new QVBoxLayout(panelEx3_);
    layout->setContentsMargins(2, 2, 2, 2);
    auto* header = new QHBoxLayout;
    header->addWidget(new QLabel(QStringLiteral("プレビュー")));
    header->addStretch();
    speedButton1_ = new QToolButton;
    speedButton1_->setObjectName("SpeedButton1");
    speedButton1_->setText("T");
    speedButton1_->setCheckable(true);
    speedButton1_->setChecked(true);
    speedButton1_->setAutoExclusive(true);
    speedButton2_ = new QToolButton;
    speedButton2_->setObjectName("SpeedButton2");
    speedButton2_->setText("S");
    speedButton2_->setCheckable(true);
    speedButton2_->setAutoExclusive(true);
    followButton_ = NewFollowButton();
    header->addWidget(followButton_);
    header->addWidget(speedButton1_);
    header->addWidget(speedButton2_);
    layout->addLayout(header);

    QWidget* view = nullptr;
    if (environment_.MakePreview) {
        webBrowser1_ = environment_.MakePreview(panelEx3_, view);
    } else {
        auto* browser = new TWebPreview(panelEx3_);
        webBrowser1_ = browser;
        view = browser;
    }
    if (view != nullptr)
        layout->addWidget(view, 1);
    return panelEx3_;
}

void TPlatform::ConnectHandlers() {
    auto on = [this](QAction* action, void (TPlatform::*handler)()) {
        connect(action, &QAction::triggered, this,
                [this, handler] { Guard([=] { (this->*handler)(); }); });
    };
    on(menus_->N1, &TPlatform::N1Click);
    on(menus_->O1, &TPlatform::O1Click);
    on(menus_->T1, &TPlatform::T1Click);
    on(menus_->S1, &TPlatform::S1Click);
    on(menus_->N4, &TPlatform::N4Click);
    on(menus_->Guide1, &TPlatform::OpenGuide);
    connect(menus_->SaveText, &QAction::triggered, this, [this] { Guard([this] { SaveText(); }); });
    connect(menus_->SaveTextAs, &QAction::triggered, this,
            [this] { Guard([this] { SaveTextAs(); }); });
    connect(textDocument_, &TTextDocument::StateChanged, this, &TPlatform::UpdateSaveState);
    connect(textDocument_, &TTextDocument::RemovedOnDisk, this, &TPlatform::TextRemovedOnDisk);
    connect(menus_->X1, &QAction::triggered, this, &QWidget::close);
    on(menus_->A1, &TPlatform::A1Click);
    connect(menus_->N6, &QAction::triggered, extMemo1_, &QPlainTextEdit::undo);
    connect(menus_->R1, &QAction::triggered, extMemo1_, &QPlainTextEdit::redo);
    connect(extMemo1_, &QPlainTextEdit::redoAvailable, menus_->R1, &QAction::setEnabled);
    // Bound to the editor, so that its shortcuts work while it has the focus.
    extMemo1_->addAction(menus_->R1);
    connect(menus_->N8, &QAction::triggered, extMemo1_, &QPlainTextEdit::copy);
    connect(menus_->N9, &QAction::triggered, extMemo1_, &QPlainTextEdit::cut);
    connect(menus_->N10, &QAction::triggered, extMemo1_, &QPlainTextEdit::paste);
    connect(menus_->N11, &QAction::triggered, extMemo1_,
            [this] { extMemo1_->textCursor().removeSelectedText(); });
    connect(menus_->N5, &QAction::triggered, extMemo1_, &QPlainTextEdit::selectAll);
    // The Edit menu follows the editor and the clipboard as they change.
    connect(extMemo1_, &QPlainTextEdit::selectionChanged, this, &TPlatform::Memo1Change);
    connect(extMemo1_, &QPlainTextEdit::undoAvailable, this, &TPlatform::Memo1Change);
    connect(extMemo1_, &QPlainTextEdit::copyAvailable, this, &TPlatform::Memo1Change);
    if (QClipboard* clipboard = QApplication::clipboard())
        connect(clipboard, &QClipboard::dataChanged, this, &TPlatform::Memo1Change);
    connect(menus_->A2, &QAction::triggered, this,
            [this](bool checked) { Guard([=] { stylePage_->A2Click(checked); }); });
    connect(menus_->L1, &QAction::triggered, this,
            [this] { Guard([this] { stylePage_->L1Click(); }); });
    connect(menus_->S3, &QAction::triggered, this,
            [this] { Guard([this] { stylePage_->S3Click(); }); });
    connect(menus_->Find1, &QAction::triggered, findBar_, &TFindBar::OpenFind);
    connect(menus_->Replace1, &QAction::triggered, findBar_, &TFindBar::OpenReplace);
    // Without a text to find, F3 asks for one.
    connect(menus_->FindNext1, &QAction::triggered, findBar_, [this] {
        findBar_->FindField().text().isEmpty() ? findBar_->OpenFind() : void(findBar_->FindNext());
    });
    connect(menus_->FindPrevious1, &QAction::triggered, findBar_, [this] {
        findBar_->FindField().text().isEmpty() ? findBar_->OpenFind()
                                               : void(findBar_->FindPrevious());
    });
    connect(menus_->GoToHeading1, &QAction::triggered, goToHeading_, &TGoToHeading::Open);
    connect(menus_->ImportStyles1, &QAction::triggered, this,
            [this] { Guard([this] { ImportStyles(*this, TextPlace()); }); });
    connect(menus_->OutlineToggle, &QAction::triggered, this, [this](bool shown) {
        systemData_->OutlineVisible = shown;
        outlinePane_->setVisible(shown);
    });
    on(menus_->ToolButton3, &TPlatform::ToolButton3Click);
    on(menus_->ToolButton4, &TPlatform::ToolButton4Click);
    on(menus_->ToolButton7, &TPlatform::Button8Click);
    connect(speedButton1_, &QToolButton::clicked, this,
            [this] { Guard([this] { SpeedButton1Click(); }); });
    connect(speedButton2_, &QToolButton::clicked, this,
            [this] { Guard([this] { SpeedButton2Click(); }); });

    connect(extMemo1_, &TCustomExtRichEdit::Changed, this,
            [this] { Guard([this] { livePreview_->TextEdited(); }); });
    connect(followButton_, &QToolButton::toggled, this, [this](bool follow) {
        systemData_->PreviewFollows = follow;
        livePreview_->SetFollowing(follow);
    });
    connect(comboBox1_, qOverload<int>(&QComboBox::activated), this,
            [this] { Guard([this] { ComboBox1Change(); }); });

    // User edits only: putting model values into the controls must not
    // run these handlers.
    connect(basicSettings_->Edit4, &QLineEdit::textEdited, this,
            [this] { Typed(basicSettings_->Edit4, &TPlatform::Edit4Change); });
    connect(basicSettings_->Edit4, &QLineEdit::returnPressed, this,
            [this] { Guard([this] { Edit4KeyPress(); }); });
    connect(basicSettings_->Button6, &QPushButton::clicked, this,
            [this] { Guard([this] { T1Click(); }); });
    connect(basicSettings_->Edit3, &QLineEdit::textEdited, this,
            [this] { Typed(basicSettings_->Edit3, &TPlatform::Edit3Change); });
    connect(basicSettings_->Edit3, &QLineEdit::returnPressed, this,
            [this] { Guard([this] { Edit3KeyPress(); }); });
    connect(basicSettings_->Button4, &QPushButton::clicked, this,
            [this] { Guard([this] { Button4Click(); }); });
    connect(basicSettings_->RadioButtons, &QButtonGroup::idClicked, this,
            [this] { Guard([this] { RadioGroup1Click(); }); });
    connect(basicSettings_->CheckBox2, &QCheckBox::clicked, this,
            [this] { Guard([this] { CheckBox2Click(); }); });
    connect(basicSettings_->CheckBox3, &QCheckBox::clicked, this,
            [this] { Guard([this] { CheckBox3Click(); }); });
    connect(basicSettings_->CheckBox4, &QCheckBox::clicked, this,
            [this] { Guard([this] { CheckBox4Click(); }); });
    connect(basicSettings_->Edit2, &QLineEdit::textEdited, this,
            [this] { Typed(basicSettings_->Edit2, &TPlatform::Edit2Change); });
    connect(basicSettings_->Edit2, &QLineEdit::returnPressed, this,
            [this] { Guard([this] { Edit2KeyPress(); }); });
    connect(basicSettings_->ComboBox16, qOverload<int>(&QComboBox::activated), this,
            [this] { Guard([this] { ComboBox16Change(); }); });
    connect(basicSettings_->ComboBox17, qOverload<int>(&QComboBox::activated), this,
            [this] { Guard([this] { ComboBox17Change(); }); });
    connect(basicSettings_->ComboBox18, qOverload<int>(&QComboBox::activated), this,
            [this] { Guard([this] { ComboBox18Change(); }); });
    connect(basicSettings_->Button8, &QPushButton::clicked, this,
            [this] { Guard([this] { Button8Click(); }); });
    for (QSplitter* splitter : {splitter1_, splitter2_})
        connect(splitter, &QSplitter::splitterMoved, this, [this] { splittersPending_ = false; });
    connect(pageControl1_, &QTabWidget::currentChanged, this,
            [this] { Guard([this] { RefreshAll(); }); });
}

// ---- start-up and shut-down ---------------------------------------------

void TPlatform::FormCreate() {
    // A first start has no settings file yet; it gets the ready styles.
    const bool firstStart = !FileExists(settingsFile_) && !DirectoryExists(settingsFile_);
    firstStart_ = firstStart;
    // Without a temp folder the window still works; the preview shows
    // nothing until a build succeeds.
    QString tempFailure;
    try {
        ForceDirectories(tempFolder_);
        MakeSampleHtml(tempFolder_ + "sample.html", tempFolder_ + "sample.css");
    } catch (const std::exception& error) {
        tempFailure = ErrorMessageOf(error);
        dialogs_->ShowError(tempFailure);
        statusLine_->ShowPreviewFailure(tempFailure);
    }
    pageControl1_->setCurrentWidget(tabSheet1_);
    systemData_ = std::make_unique<TSystemData>(settingsFile_);
    projectData_ = std::make_unique<TProjectData>();
    Guard([this] { systemData_->Load(); });
    {
        // A width the list does not offer (a hand-edited settings file) is
        // shown, but not added to the choices.
        const QSignalBlocker blocker(comboBox1_);
        const QString width = QString::number(EffectiveTabSpace(systemData_->TabSpace));
        comboBox1_->setPlaceholderText(width);
        comboBox1_->setCurrentIndex(comboBox1_->findText(width));
    }
    menus_->OutlineToggle->setChecked(systemData_->OutlineVisible);
    outlinePane_->setVisible(systemData_->OutlineVisible);
    followButton_->setChecked(systemData_->PreviewFollows);
    refreshPending_ = true;
    Guard([this] { stylePage_->L1Click(); });
    if (firstStart) {
        // Saved at once: the next start reads its styles from the file.
        Guard([this] {
            LoadReadyStyles(systemData_->Styles);
            systemData_->Styles.SaveToFile(settingsFile_);
        });
    }
    // The project of a start is a new one.
    ChooseFittingStyles(*projectData_, systemData_->Styles);
    // The editor shows tabs at the selector's width from the start; a width
    // below 0 (from a hand-edited settings file) leaves it at its own.
    if (systemData_->TabSpace >= 0) {
        const QSignalBlocker quiet(extMemo1_);
        SetTabWidth(*extMemo1_, EffectiveTabSpace(systemData_->TabSpace));
    }
    // The preview shows what start-up restored, never a manual that an
    // earlier run left in the temp folder.
    if (tempFailure.isEmpty())
        BuildPreviewPages();
    refreshPending_ = true;
    Guard([this] { RefreshAll(); });
    MarkSaved();
}

void TPlatform::OfferRecoveryAtStartUp() {
    // A recovered text is shown with the tab width a loaded text gets.
    Guard([this] {
        if (!textDocument_->OfferRecoveryAtStartUp())
            return;
        SetTabWidth(*extMemo1_, EffectiveTabSpace(systemData_->TabSpace));
        // The copy of another text than the project's opens as that text,
        // as Open text opens one: the project names it from now on, or
        // Execute would publish it under the project's own text.
        const std::string recovered = textDocument_->FileName();
        const std::string& named = projectData_->TextName;
        if (recovered == (named.empty() ? named : ProjectPath(named)))
            return;
        projectData_->TextName = NameInProject(recovered);
        MarkModified();
        refreshPending_ = true;
        RefreshAll();
    });
}

void TPlatform::FormDestroy() {
    if (systemData_) {
        systemData_->Window =
            CapturePlacement(*this, *splitter1_, *splitter2_, systemData_->Window);
        try {
            systemData_->Save();
        } catch (const std::exception& error) {
            ShowError(error);
        }
    }
    // The recent list writes its section after the settings, into the file
    // they have just written.
    delete fileNameKeep1_;
    fileNameKeep1_ = nullptr;
}

void TPlatform::closeEvent(QCloseEvent* event) {
    // The text first, then the project, then the styles; a cancelled
    // question or a failed save keeps the window open.
    bool mayClose = false;
    Guard([&] { mayClose = ConfirmTextSave() && ConfirmSave() && stylePage_->ConfirmStyleSave(); });
    if (mayClose) {
        textDocument_->DropChanges();
        event->accept();
    } else {
        event->ignore();
    }
}

void TPlatform::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!splittersPending_ && !splittersPlaced_) {
        // The window's first showing without stored positions.
        const QLayout* area = panelEx3_->layout();
        const QMargins margins = area->contentsMargins();
        SetDefaultSplitters(
            *splitter1_, *splitter2_,
            DefaultPreviewArea(QSize(margins.left() + margins.right(),
                                     area->itemAt(0)->sizeHint().height() + area->spacing() +
                                         margins.top() + margins.bottom())));
    }
    splittersPlaced_ = true;
    RestoreSplittersWhileSettling();
    Guard([this] { RefreshAll(); });
}

void TPlatform::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    RestoreSplittersWhileSettling();
}

// The stored splitter positions need the window at its final size, which a
// maximised window reaches only once the desktop has made it so; they are
// put again until then, or until the user moves a splitter.
void TPlatform::RestoreSplittersWhileSettling() {
    if (!splittersPending_ || !isVisible())
        return;
    const TWindowPlacement& stored = systemData_->Window;
    RestoreSplitters(*splitter1_, *splitter2_, stored);
    // A window shown maximised reports so at once, but grows only when the
    // desktop gets round to it.
    if (!stored.Maximized || size() != QSize(stored.Width, stored.Height))
        splittersPending_ = false;
}

bool TPlatform::eventFilter(QObject* watched, QEvent* event) {
    if (watched == extMemo1_->viewport() && event->type() == QEvent::Wheel) {
        // One line per wheel step down or up, on top of the editor's own
        // scrolling (the event is not taken). A sideways wheel makes no step.
        const int steps =
            TakeWheelSteps(wheelRemainder_, static_cast<QWheelEvent*>(event)->angleDelta().y());
        for (int i = 0; i < std::abs(steps); ++i)
            extMemo1_->ScrollLine(steps < 0 ? 1 : 0);
        return false;
    }
    if (watched == extMemo1_ && EditorKey(*event))
        return true;
    if (basicSettings_ != nullptr && watched == basicSettings_->Edit2 &&
        LeavesForAnotherControl(*basicSettings_->Edit2, *event))
        Guard([this] { Edit2Exit(); });
    if (watched == pageControl1_ && event->type() == QEvent::Resize)
        RefreshQuietly();
    return QMainWindow::eventFilter(watched, event);
}

// ---- refresh ------------------------------------------------------------

// A refresh the user did not ask for (the pages were resized): a failure is
// said in the status line, as a box at every step of a drag would stop it.
void TPlatform::RefreshQuietly() {
    try {
        RefreshAll();
    } catch (const std::exception& error) {
        Note(ErrorMessageOf(error));
    }
}

void TPlatform::Note(const QString& message) {
    statusLine_->ShowNote(message);
}

void TPlatform::RefreshAll() {
    if (!refreshPending_ || !systemData_)
        return;
    menus_->A2->setChecked(systemData_->AutoSaveFlag);
    Memo1Change();
    menus_->L1->setEnabled(!menus_->A2->isChecked());
    menus_->S3->setEnabled(!menus_->A2->isChecked());
    const bool canBuild = !projectData_->OutputPath.empty();
    basicSettings_->Button8->setEnabled(canBuild);
    menus_->ToolButton7->setEnabled(canBuild);
    stylePage_->UpdateEnabling();
    stylePage_->SetStripScrollRange();
    try {
        stylePage_->PaintStyleStrip();
    } catch (const std::exception&) {
        // The strip renders through the temp folder. When that folder is
        // known to fail, this has been told, and the refresh must still
        // show the project; any other failure stops the refresh.
        if (!statusLine_->PreviewFailing())
            throw;
    }
    stylePage_->StyleToControls();
    ShowPreview();
    ShowProject();
    UpdateSaveState();
    refreshPending_ = false;
}

// A field takes a value only when it shows another one, so that the caret
// and the field's undo survive a refresh, and never while the user is typing
// in it: the model holds the typed text converted, which may read otherwise.
// A user's edit of a field: the handler runs with the field marked as the
// one being typed in.
void TPlatform::Typed(QLineEdit* edit, void (TPlatform::*handler)()) {
    QLineEdit* const outer = typingIn_;
    typingIn_ = edit;
    Guard([&] { (this->*handler)(); });
    typingIn_ = outer;
}

void TPlatform::ShowProject() {
    basicSettings_->Show(*projectData_, systemData_->Styles, typingIn_);
}

// A key of the Edit menu pressed in the editor runs the menu's command, so
// that Ctrl+Del deletes the selection (not a word) and a command the menu
// shows disabled does nothing. Other fields keep their own editing keys.
bool TPlatform::EditorKey(QEvent& event) {
    if (event.type() != QEvent::ShortcutOverride && event.type() != QEvent::KeyPress)
        return false;
    auto& key = static_cast<QKeyEvent&>(event);
    const QKeySequence pressed(key.keyCombination().toCombined() & ~Qt::KeypadModifier);
    for (QAction* action :
         {menus_->N6, menus_->N8, menus_->N9, menus_->N10, menus_->N11, menus_->N5}) {
        if (action->shortcut() != pressed)
            continue;
        if (event.type() == QEvent::ShortcutOverride) {
            // The editor takes the key, and the filter then runs the command.
            key.accept();
            return true;
        }
        Memo1Change();
        if (action->isEnabled())
            action->trigger();
        return true;
    }
    return false;
}

void TPlatform::Memo1Change() {
    menus_->N6->setEnabled(extMemo1_->document()->isUndoAvailable());
    menus_->R1->setEnabled(extMemo1_->document()->isRedoAvailable());
    const bool selected = extMemo1_->textCursor().hasSelection();
    menus_->N8->setEnabled(selected);
    menus_->N9->setEnabled(selected);
    menus_->N11->setEnabled(selected);
    const QClipboard* clipboard = QApplication::clipboard();
    menus_->N10->setEnabled(clipboard != nullptr && !clipboard->text().isEmpty());
    menus_->N5->setEnabled(true);
}

void TPlatform::MarkModified() {
    systemData_->ProjectModified = true;
    UpdateSaveState();
}

void TPlatform::MarkSaved() {
    systemData_->ProjectModified = false;
    UpdateSaveState();
}

// ---- helpers ------------------------------------------------------------

void TPlatform::Guard(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        ShowError(error);
    }
}

void TPlatform::ShowError(const std::exception& error) {
    // While the temp folder is known to fail, its files fail again at every
    // refresh and style edit: that was told once, and the status line says
    // it until a build succeeds.
    const auto* fileError = dynamic_cast<const EInOutError*>(&error);
    if (fileError != nullptr && statusLine_->PreviewFailing() &&
        fileError->FileName().Name().rfind(tempFolder_.Name(), 0) == 0)
        return;
    dialogs_->ShowError(ErrorMessageOf(error));
}

TSystemColorResolver TPlatform::SystemColors() const {
    return DesktopSystemColors(palette());
}

QAction* TPlatform::Action(const QString& name) const {
    return findChild<QAction*>(name);
}

QWidget* TPlatform::Control(const QString& name) const {
    return findChild<QWidget*>(name);
}

} // namespace varnoke
