// The window's layout at its default size, maximised and restored: every
// control gets the room it needs, the editor and the preview take what the
// window gains, and the window comes back as it was left.
#include "WindowTest.h"
#include "app/StylePage.h"

#include <QComboBox>
#include <QScrollArea>
#include <QSplitter>
#include <QTabWidget>

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

} // namespace
