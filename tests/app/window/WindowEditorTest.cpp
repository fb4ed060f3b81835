// The editor as the window uses it: the wheel, the Edit menu and the tab
// width.
#include "WindowTest.h"
#include "controls/ExtMemo.h"

#include <QClipboard>
#include <QLineEdit>
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

TEST_F(WindowEditor, EditMenuStatesFollowTheEditorLive) {
    Open();
    ShowActive();
    QApplication::clipboard()->clear();
    auto* editor = &window->Editor();
    editor->setFocus();
    EXPECT_FALSE(Item("N6")->isEnabled());
    QTest::keyClicks(editor, "abc def");
    EXPECT_TRUE(Item("N6")->isEnabled());
    EXPECT_FALSE(Item("N8")->isEnabled());
    QTest::keyClick(editor, Qt::Key_Left, Qt::ShiftModifier);
    for (const char* name : {"N8", "N9", "N11"})
        EXPECT_TRUE(Item(name)->isEnabled()) << name;
    EXPECT_FALSE(Item("N10")->isEnabled());
    QTest::keyClick(editor, Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(Item("N10")->isEnabled());
    QTest::keyClick(editor, Qt::Key_Right);
    EXPECT_FALSE(Item("N8")->isEnabled());
}

TEST_F(WindowEditor, EditKeysRunTheMenusCommandsOnTheEditor) {
    Open();
    ShowActive();
    auto* editor = &window->Editor();
    editor->setFocus();
    QTest::keyClicks(editor, "abc def");
    QTest::keyClick(editor, Qt::Key_Home);
    // Ctrl+Del deletes the selection, and without one it does nothing.
    QTest::keyClick(editor, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(editor->toPlainText(), "abc def");
    QTest::keyClick(editor, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(editor, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(editor->toPlainText(), "bc def");

    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(editor, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(editor->toPlainText(), "");
    EXPECT_EQ(QApplication::clipboard()->text(), "bc def");
    QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(editor->toPlainText(), "bc defbc def");
    QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(editor->toPlainText(), "bc def");

    // In another field its own editing keys stay its own.
    auto* title = Find<QLineEdit>("Edit3");
    title->setFocus();
    QTest::keyClicks(title, "out");
    QTest::keyClick(title, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(title, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "out");
    QTest::keyClick(title, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(editor->toPlainText(), "bc def");
}

} // namespace
