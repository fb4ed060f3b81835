// The page "基本情報" driven through its widgets: typing, Enter, leaving a
// field, picking from a list.
#include "WindowTest.h"
#include "controls/ExtMemo.h"

#include <QComboBox>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>

#include <filesystem>

using namespace varnoke;
using namespace varnoke::test;

namespace {

class BasicSettings : public TWindowTest {
  protected:
    // Moves the focus as a click on another control does.
    void FocusOn(QWidget* widget) {
        widget->setFocus(Qt::MouseFocusReason);
        ASSERT_TRUE(Eventually([&] { return widget->hasFocus(); }));
    }
    void ChooseFrameSet() {
        Find<QGroupBox>("RadioGroup1")->findChildren<QRadioButton*>()[1]->click();
    }
};

TEST_F(BasicSettings, TypingInTheMiddleOfAFieldKeepsTheCaretAndTheUndo) {
    Open();
    ShowActive();
    auto* edit4 = Find<QLineEdit>("Edit4");
    FocusOn(edit4);
    QTest::keyClicks(edit4, "/data/gide.txt");
    edit4->setCursorPosition(7); // after "/data/g"
    QTest::keyClicks(edit4, "u");
    QTest::keyClicks(edit4, "X");
    EXPECT_EQ(edit4->text(), "/data/guXide.txt");
    EXPECT_EQ(edit4->cursorPosition(), 9);
    EXPECT_EQ(window->ProjectData().TextName, "/data/guXide.txt");
    QTest::keyClick(edit4, Qt::Key_Backspace);
    EXPECT_EQ(edit4->text(), "/data/guide.txt");
    EXPECT_EQ(edit4->cursorPosition(), 8);
    QTest::keyClick(edit4, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(edit4->text(), "/data/guXide.txt");

    // A name Shift-JIS cannot hold is kept as typed while typing; the model
    // holds it as a character reference.
    edit4->setCursorPosition(6);
    QInputMethodEvent input;
    input.setCommitString(QString::fromUtf8("😀"));
    QApplication::sendEvent(edit4, &input);
    EXPECT_EQ(edit4->text(), QString::fromUtf8("/data/😀guXide.txt"));
    EXPECT_EQ(window->ProjectData().TextName, "/data/&#128512;guXide.txt");
    QTest::keyClicks(edit4, "a");
    EXPECT_EQ(edit4->text(), QString::fromUtf8("/data/😀aguXide.txt"));
}

TEST_F(BasicSettings, TheTitleRebuildsWhenLeftForAnotherControlOnly) {
    Open();
    ShowActive();
    ChooseFrameSet();
    auto* edit2 = Find<QLineEdit>("Edit2");
    FocusOn(edit2);
    QTest::keyClicks(edit2, "Guide");
    EXPECT_EQ(ReadFile(Temp("title.html")).find("Guide"), std::string::npos);

    // Opening a menu takes the focus but does not leave the field.
    QMenu menu(window.get());
    menu.addAction("entry");
    menu.popup(window->mapToGlobal(QPoint(20, 20)));
    ASSERT_TRUE(Eventually([&] { return menu.isVisible(); }));
    menu.close();
    EXPECT_EQ(ReadFile(Temp("title.html")).find("Guide"), std::string::npos);

    // Nor does switching to another program.
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(Eventually([&] { return other.isActiveWindow(); }));
    EXPECT_EQ(ReadFile(Temp("title.html")).find("Guide"), std::string::npos);
    window->activateWindow();
    ASSERT_TRUE(Eventually([&] { return edit2->hasFocus(); }));

    // Moving on to another control does.
    FocusOn(Find<QLineEdit>("Edit3"));
    EXPECT_NE(ReadFile(Temp("title.html")).find("\r\nGuide\r\n"), std::string::npos);
}

TEST_F(BasicSettings, PickingAStyleFromAListBuildsWithIt) {
    Open("[STYLE]\r\nCOUNT=2\r\nSTYLE0=ONE\r\nSTYLE1=TWO\r\n\r\n[TWO_BG]\r\nCOLOR=255\r\n");
    auto* body = Find<QComboBox>("ComboBox18");
    ASSERT_EQ(body->count(), 2);
    EXPECT_EQ(body->itemText(1), "1:TWO");
    QTest::keyClick(body, Qt::Key_Down);
    EXPECT_EQ(window->ProjectData().StyleText, 1);
    EXPECT_TRUE(window->SystemData().ProjectModified);
    EXPECT_NE(ReadFile(Temp("text.css")).find("background-color: #ff0000;"), std::string::npos);
    // The list is not filled again behind the user's back.
    EXPECT_EQ(body->currentIndex(), 1);
}

TEST_F(BasicSettings, TheTextFieldLoadsAtEnterAndTheFolderButtonTakesAFolder) {
    Open();
    WriteFile(folder.File("typed.txt"), "Typed\r\n");
    auto* edit4 = Find<QLineEdit>("Edit4");
    QTest::keyClicks(edit4, Q(folder.File("typed.txt")));
    EXPECT_EQ(window->ProjectData().TextName, folder.File("typed.txt"));
    EXPECT_TRUE(window->SystemData().ProjectModified);
    QTest::keyClick(edit4, Qt::Key_Return);
    EXPECT_EQ(window->Editor().toPlainText(), "Typed\n");

    std::filesystem::create_directories(folder.File("chosen"));
    dialogs->FileNames = {Q(folder.File("chosen"))};
    Find<QPushButton>("Button4")->click();
    EXPECT_EQ(window->ProjectData().OutputPath, folder.File("chosen"));
    EXPECT_TRUE(Find<QPushButton>("Button8")->isEnabled());
}

TEST_F(BasicSettings, TheTabWidthSelectorSetsTheWidthAndRebuilds) {
    Open();
    window->Editor().setPlainText("\t\t\tx");
    auto* tabs = Find<QComboBox>("ComboBox1");
    QTest::keyClick(tabs, Qt::Key_End);
    EXPECT_EQ(tabs->currentText(), "8");
    EXPECT_EQ(window->SystemData().TabSpace, 8);
    std::string nbsp;
    for (int i = 0; i < 8; ++i)
        nbsp += "&nbsp;";
    EXPECT_NE(ReadFile(Temp("text.html")).find(nbsp + "x<br>"), std::string::npos);
}

} // namespace
