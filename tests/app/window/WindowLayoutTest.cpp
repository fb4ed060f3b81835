// The window's layout at its default size, maximised and restored: every
// control gets the room it needs, the editor and the preview take what the
// window gains, and the window comes back as it was left.
#include "WindowTest.h"
#include "app/styles/StylePage.h"
#include "controls/ExtMemo.h"
#include "controls/OutlinePane.h"

#include <QComboBox>

#include <QScrollArea>
#include <QSplitter>
#include <QTabWidget>
#include <QTreeView>
#include <QWebEngineView>
#include <algorithm>

using namespace varnoke;
using namespace varnoke::test;

namespace {

class WindowLayout : public TWindowTest {
  protected:
    // The controls of a page that are shown and smaller than they need.
    QStringList Squeezed(QWidget* page) {
        QStringList squeezed;
        for (QWidget* widget : page->findChildren<QWidget*>()) {
            // A combo box's own parts are the combo box's business.
            if (!widget->isVisibleTo(page) || qobject_cast<QComboBox*>(widget->parentWidget()))
                continue;
            const QSize need = widget->minimumSizeHint();
            if (!need.isValid())
                continue;
            if (widget->width() < need.width() || widget->height() < need.height())
                squeezed << QString("%1 %2 %3x%4 < %5x%6")
                                .arg(widget->metaObject()->className(), widget->objectName())
                                .arg(widget->width())
                                .arg(widget->height())
                                .arg(need.width())
                                .arg(need.height());
        }
        return squeezed;
    }
};

TEST_F(WindowLayout, EveryControlOfEachPageHasItsMinimumSizeAtTheDefaultSize) {
    Open("[STYLE]\r\nCOUNT=1\r\nSTYLE0=A\r\n");
    ShowActive();
    EXPECT_EQ(window->size(), QSize(848, 640));
    auto* pages = Find<QTabWidget>("PageControl1");
    for (int i = 0; i < pages->count(); ++i) {
        pages->setCurrentIndex(i);
        QApplication::processEvents();
        auto* area = qobject_cast<QScrollArea*>(pages->widget(i));
        ASSERT_NE(area, nullptr);
        QWidget* page = area->widget();
        // The page has its minimum size, and scrolls when the window leaves
        // it less.
        EXPECT_GE(page->height(), page->minimumSizeHint().height());
        EXPECT_GE(page->width(), page->minimumSizeHint().width());
        EXPECT_TRUE(Squeezed(page).isEmpty()) << Squeezed(page).join("\n").toStdString();
        auto* tabs = page->findChild<QTabWidget*>("PageControl2");
        for (int t = 0; tabs != nullptr && t < tabs->count(); ++t) {
            tabs->setCurrentIndex(t);
            QApplication::processEvents();
            EXPECT_TRUE(Squeezed(page).isEmpty()) << Squeezed(page).join("\n").toStdString();
        }
    }
}

TEST_F(WindowLayout, AtTheDefaultSizeThePreviewShowsTheBodyFrameAndTheOutlineAHeading) {
    realPreview = true;
    Open();
    ShowActive();
    ASSERT_EQ(window->size(), QSize(848, 640));
    // A frame set gives its menu 200 and its title 80 pixels: the body frame
    // keeps 300 each way, and its scroll bar.
    const QWidget* view = Find<QWidget>("PanelEx3")->findChild<QWebEngineView*>();
    ASSERT_NE(view, nullptr);
    EXPECT_GE(view->width(), 200 + 300 + 16);
    EXPECT_GE(view->height(), 80 + 300);

    const QString heading(12, QChar(0x3042));
    window->Editor().setPlainText("大見出し\n\t" + heading + "\n");
    QTreeView& tree = window->Outline().Tree();
    tree.expandAll();
    QApplication::processEvents();
    const QModelIndex child = tree.model()->index(0, 0, tree.model()->index(0, 0));
    ASSERT_EQ(child.data().toString(), heading);
    const QRect item = tree.visualRect(child);
    EXPECT_LE(item.left() + tree.fontMetrics().horizontalAdvance(heading) + 4,
              tree.viewport()->width());
}

TEST_F(WindowLayout, TheEditorAndThePreviewTakeTheSpaceTheWindowGains) {
    Open();
    ShowActive();
    auto* editor = Find<QWidget>("PanelEx1");
    auto* previewArea = Find<QWidget>("PanelEx3");
    auto* pages = Find<QWidget>("PageControl1");
    const QSize editorBefore = editor->size();
    const QSize previewBefore = previewArea->size();
    const int pagesHeight = pages->height();
    window->resize(1600, 1000);
    ASSERT_TRUE(Eventually([&] { return window->size() == QSize(1600, 1000); }));
    QApplication::processEvents();
    // The editor gets a fair share of the width the window gains (not the
    // 330 pixels it started with); the settings pages grow to the height
    // they prefer at most, and the preview takes the rest.
    EXPECT_GT(editor->width() - editorBefore.width(), (1600 - 848) / 3);
    EXPECT_GT(previewArea->width() - previewBefore.width(), (1600 - 848) / 3);
    EXPECT_LE(pages->height(), std::max(pagesHeight, pages->sizeHint().height()));
    EXPECT_EQ(previewArea->height() - previewBefore.height() + pages->height() - pagesHeight,
              1000 - 640);
    EXPECT_GT(previewArea->height() - previewBefore.height(), (1000 - 640) / 2);
}

TEST_F(WindowLayout, TheWindowComesBackAsItWasLeft) {
    Open();
    ShowActive();
    window->setGeometry(60, 70, 1000, 720);
    ASSERT_TRUE(Eventually([&] { return window->size() == QSize(1000, 720); }));
    auto* editorSplit = Find<QSplitter>("Splitter1");
    auto* previewSplit = Find<QSplitter>("Splitter2");
    editorSplit->setSizes({420, 574});
    previewSplit->setSizes({300, 330});
    QApplication::processEvents();
    const QList<int> editorSizes = editorSplit->sizes();
    const QList<int> previewSizes = previewSplit->sizes();
    window.reset();
    const std::string ini = ReadFile(folder.File("varnoke.INI"));
    EXPECT_NE(ini.find("WINDOWWIDTH=1000\r\nWINDOWHEIGHT=720\r\nWINDOWMAXIMIZED=0\r\n"),
              std::string::npos)
        << ini;

    Open();
    EXPECT_EQ(window->size(), QSize(1000, 720));
    ShowActive();
    QApplication::processEvents();
    EXPECT_EQ(Find<QSplitter>("Splitter1")->sizes()[0], editorSizes[0]);
    EXPECT_EQ(Find<QSplitter>("Splitter2")->sizes()[1], previewSizes[1]);
}

TEST_F(WindowLayout, AMaximisedWindowOpensMaximisedAtItsNormalSizeUnderneath) {
    Open("[SYSTEM]\r\nWINDOWLEFT=10\r\nWINDOWTOP=20\r\nWINDOWWIDTH=900\r\n"
         "WINDOWHEIGHT=700\r\nWINDOWMAXIMIZED=1\r\nEDITORWIDTH=500\r\nSETTINGSHEIGHT=0\r\n");
    EXPECT_TRUE(window->windowState() & Qt::WindowMaximized);
    window.reset();
    const std::string ini = ReadFile(folder.File("varnoke.INI"));
    EXPECT_NE(ini.find("WINDOWMAXIMIZED=1\r\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("WINDOWWIDTH=900\r\nWINDOWHEIGHT=700\r\n"), std::string::npos) << ini;
}

TEST_F(WindowLayout, APlaceOnNoScreenKeepsTheSizeOnly) {
    Open("[SYSTEM]\r\nWINDOWLEFT=-30000\r\nWINDOWTOP=-30000\r\nWINDOWWIDTH=900\r\n"
         "WINDOWHEIGHT=700\r\n");
    EXPECT_EQ(window->size(), QSize(900, 700));
    EXPECT_GT(window->x(), -30000);
}

} // namespace
