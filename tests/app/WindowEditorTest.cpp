// The editor as the window uses it: the wheel, the Edit menu and the tab
// width.
#include "WindowTest.h"
#include "controls/ExtMemo.h"

#include <QScrollBar>
#include <QWheelEvent>

using namespace varnoke;
using namespace varnoke::test;

namespace {

class WindowEditor : public TWindowTest {
  protected:
    // A wheel turned by `delta` eighths of a degree over the editor.
    void Wheel(QPoint delta) {
        QWidget* viewport = window->Editor().viewport();
        const QPointF at(10, 10);
        QWheelEvent event(at, viewport->mapToGlobal(at), QPoint(), delta, Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewport, &event);
    }
};

TEST_F(WindowEditor, AVerticalWheelStepScrollsOneLineMoreASidewaysOneDoesNot) {
    Open();
    ShowActive();
    QStringList lines;
    for (int i = 0; i < 300; ++i)
        lines << QString("line %1").arg(i);
    window->Editor().setPlainText(lines.join('\n'));
    QScrollBar* bar = window->Editor().verticalScrollBar();
    bar->setValue(50);

    Wheel(QPoint(120, 0));
    EXPECT_EQ(bar->value(), 50);

    const int own = QApplication::wheelScrollLines();
    Wheel(QPoint(0, -120));
    EXPECT_EQ(bar->value(), 50 + own + 1);
    Wheel(QPoint(0, 120));
    EXPECT_EQ(bar->value(), 50);

    // A fine-grained wheel adds its line once a whole step has turned.
    Wheel(QPoint(0, -60));
    const int half = bar->value();
    Wheel(QPoint(0, -60));
    EXPECT_EQ(bar->value(), 50 + own + 1);
    EXPECT_LE(half, 50 + own);
}

} // namespace
