#include "app/window/MainMenus.h"

#include <QAction>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

namespace varnoke {

namespace {

QAction* MenuItem(QMenu* menu, const QString& objectName, const QString& caption,
                  const QKeySequence& shortcut = {}) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(objectName);
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    return action;
}

} // namespace

TMainMenus::TMainMenus(QMainWindow& window) {
    FileMenu = new QMenu(QStringLiteral("ﾌｧｲﾙ(&F)"), &window);
    N1 = MenuItem(FileMenu, "N1", QStringLiteral("新規プロジェクト(&N)"), QKeySequence("Ctrl+N"));
    O1 = MenuItem(FileMenu, "O1", QStringLiteral("プロジェクトを開く(&O)"), QKeySequence("Ctrl+O"));
    FileMenu->addSeparator();
    N15 = FileMenu->addMenu(QStringLiteral("プロジェクト履歴"));
    N15->setObjectName("N15");
    N15->setEnabled(false);
    FileMenu->addSeparator();
    T1 = MenuItem(FileMenu, "T1", QStringLiteral("テキストファイルを開く(&T)"),
                  QKeySequence("Ctrl+Shift+O"));
    SaveText = MenuItem(FileMenu, "SaveText", QStringLiteral("テキストファイルを保存(&E)"));
    SaveTextAs =
        MenuItem(FileMenu, "SaveTextAs", QStringLiteral("テキストファイルに名前を付けて保存..."));
    FileMenu->addSeparator();
    S1 = MenuItem(FileMenu, "S1", QStringLiteral("上書き保存(&S)"), QKeySequence("Ctrl+S"));
    // Save As stays available: a fresh project must be savable before it
    // has a name.
    N4 = MenuItem(FileMenu, "N4", QStringLiteral("名前を付けて保存(&A)"),
                  QKeySequence("Ctrl+Shift+S"));
    FileMenu->addSeparator();
    X1 = MenuItem(FileMenu, "X1", QStringLiteral("終了(&Q)"));

    EditMenu = new QMenu(QStringLiteral("編集(&E)"), &window);
    N6 = MenuItem(EditMenu, "N6", QStringLiteral("元に戻す(&U)"), QKeySequence("Ctrl+Z"));
    R1 = MenuItem(EditMenu, "R1", QStringLiteral("やり直し(&R)"));
    R1->setShortcuts({QKeySequence("Ctrl+Y"), QKeySequence("Ctrl+Shift+Z")});
    R1->setEnabled(false);
    EditMenu->addSeparator();
    N8 = MenuItem(EditMenu, "N8", QStringLiteral("コピー(&C)"), QKeySequence("Ctrl+C"));
    N9 = MenuItem(EditMenu, "N9", QStringLiteral("切り取り(&X)"), QKeySequence("Ctrl+X"));
    N10 = MenuItem(EditMenu, "N10", QStringLiteral("貼り付け(&V)"), QKeySequence("Ctrl+V"));
    N11 = MenuItem(EditMenu, "N11", QStringLiteral("削除(&D)"), QKeySequence("Ctrl+Del"));
    N5 = MenuItem(EditMenu, "N5", QStringLiteral("全て選択(&A)"), QKeySequence("Ctrl+A"));
    // The editor handles these keys itself; the menu items must not steal them.
    for (QAction* action : {N6, R1, N8, N9, N10, N11, N5})
        action->setShortcutContext(Qt::WidgetShortcut);
    EditMenu->addSeparator();
    Find1 = MenuItem(EditMenu, "Find1", QStringLiteral("検索(&F)..."), QKeySequence("Ctrl+F"));
    FindNext1 = MenuItem(EditMenu, "FindNext1", QStringLiteral("次を検索(&N)"), QKeySequence("F3"));
    FindPrevious1 = MenuItem(EditMenu, "FindPrevious1", QStringLiteral("前を検索(&P)"),
                             QKeySequence("Shift+F3"));
    Replace1 =
        MenuItem(EditMenu, "Replace1", QStringLiteral("置換(&H)..."), QKeySequence("Ctrl+H"));
    GoToHeading1 = MenuItem(EditMenu, "GoToHeading1", QStringLiteral("見出しへ移動(&J)..."),
                            QKeySequence("Ctrl+J"));

    StyleMenu = new QMenu(QStringLiteral("ｽﾀｲﾙ(&S)"), &window);
    A2 = MenuItem(StyleMenu, "A2", QStringLiteral("自動保存(&A)"));
    A2->setCheckable(true);
    A2->setChecked(true);
    StyleMenu->addSeparator();
    L1 = MenuItem(StyleMenu, "L1", QStringLiteral("読み込み(&L)"));
    S3 = MenuItem(StyleMenu, "S3", QStringLiteral("保存(&S)"));
    StyleMenu->addSeparator();
    ImportStyles1 = MenuItem(StyleMenu, "ImportStyles1", QStringLiteral("スタイルを取り込む..."));

    HelpMenu = new QMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"), &window);
    Guide1 = MenuItem(HelpMenu, "Guide1", QStringLiteral("使い方ガイドを開く"));
    HelpMenu->addSeparator();
    A1 = MenuItem(HelpMenu, "A1", QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報(&A)"));

    // The menus open from flat buttons of a tool bar, as the window has
    // always shown them; their shortcuts work from anywhere in the window.
    QToolBar* menuBar = window.addToolBar(QStringLiteral("メニュー"));
    menuBar->setObjectName("ToolBar1");
    for (QMenu* menu : {FileMenu, EditMenu, StyleMenu, HelpMenu}) {
        auto* button = new QToolButton;
        button->setText(menu->title());
        button->setMenu(menu);
        button->setPopupMode(QToolButton::InstantPopup);
        button->setAutoRaise(true);
        menuBar->addWidget(button);
        window.addActions(menu->actions());
    }

    QToolBar* viewBar = window.addToolBar(QStringLiteral("ウィンドウ表示"));
    viewBar->setObjectName("ToolBar2");
    ToolButton3 = viewBar->addAction(QStringLiteral("テキスト編集"));
    ToolButton3->setObjectName("ToolButton3");
    ToolButton3->setCheckable(true);
    ToolButton3->setChecked(true);
    ToolButton4 = viewBar->addAction(QStringLiteral("プレビュー"));
    ToolButton4->setObjectName("ToolButton4");
    ToolButton4->setCheckable(true);
    ToolButton4->setChecked(true);
    OutlineToggle = viewBar->addAction(QStringLiteral("見出し"));
    OutlineToggle->setObjectName("OutlineToggle");
    OutlineToggle->setCheckable(true);
    OutlineToggle->setChecked(true);
    viewBar->addSeparator();
    ToolButton7 = viewBar->addAction(QStringLiteral("実行"));
    ToolButton7->setObjectName("ToolButton7");
    ToolButton7->setShortcut(QKeySequence("F5"));
    ToolButton7->setToolTip(QStringLiteral("実行 (F5)"));
    // Also in the File menu, where a command is looked for first.
    FileMenu->insertAction(X1, ToolButton7);
    FileMenu->insertSeparator(X1);
}

} // namespace varnoke
