#include "controls/DragEdit.h"
#include "common/Errors.h"

#include <QApplication>
#include <QClipboard>
#include <QLocale>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace varnoke;

namespace {

class DragEditTest : public ::testing::Test {
  protected:
    void SetUp() override { QLocale::setDefault(QLocale::c()); }
    void TearDown() override { QLocale::setDefault(QLocale::system()); }

    // The boxes of the style page.
    static void SetUpLikeStylePage(TDragEdit& edit) {
        edit.SetValueType(TValueType::Float);
        edit.SetFloatDigits(1);
        edit.SetIncrement(QStringLiteral("0.1"));
        edit.SetMinValue(QStringLiteral("0.0"));
        edit.SetMaxValue(QStringLiteral("9.9"));
        edit.SetRangeLimited(true);
    }

    // Presses at x = 0, moves to x and returns the text shown.
    static QString Drag(TDragEdit& edit, int x, Qt::KeyboardModifiers shift = Qt::NoModifier) {
        edit.ButtonMouseDown(Qt::LeftButton, shift, 0, 5);
        edit.ButtonMouseMove(shift, x, 5);
        QString shown = edit.text();
        edit.ButtonMouseUp(Qt::LeftButton, shift, x, 5);
        return shown;
    }
};

TEST_F(DragEditTest, NewBoxStepsByOneEveryTwoPixelsWithoutLimits) {
    TDragEdit edit;
    EXPECT_EQ(edit.text(), QString());
    EXPECT_EQ(edit.MaxValue(), QStringLiteral("0"));
    EXPECT_EQ(edit.MinValue(), QStringLiteral("0"));
    EXPECT_EQ(edit.Increment(), QStringLiteral("1"));
    EXPECT_EQ(edit.IncStep(), 2);
    edit.setText(QStringLiteral("5"));
    EXPECT_EQ(Drag(edit, 10), QStringLiteral("10"));
    EXPECT_EQ(Drag(edit, -3), QStringLiteral("9")); // toward zero: one step back
    edit.setText(QString());
    EXPECT_EQ(Drag(edit, 4), QStringLiteral("2")); // empty counts as 0
}

TEST_F(DragEditTest, StylePageBoxStepsAndClamps) {
    TDragEdit edit;
    SetUpLikeStylePage(edit);
    edit.setText(QStringLiteral("0.0"));
    EXPECT_EQ(Drag(edit, 1), QStringLiteral("0.0"));
    EXPECT_EQ(Drag(edit, 2), QStringLiteral("0.1"));
    edit.setText(QStringLiteral("0.0"));
    EXPECT_EQ(Drag(edit, 3), QStringLiteral("0.1"));
    edit.setText(QStringLiteral("0.0"));
    EXPECT_EQ(Drag(edit, 2, Qt::ShiftModifier), QStringLiteral("1.0"));
    edit.setText(QStringLiteral("0.0"));
    EXPECT_EQ(Drag(edit, 200), QStringLiteral("9.9"));
    edit.setText(QStringLiteral("0.0"));
    EXPECT_EQ(Drag(edit, 200, Qt::ShiftModifier), QStringLiteral("9.9"));
    edit.setText(QStringLiteral("0.0"));
    EXPECT_EQ(Drag(edit, 2, Qt::AltModifier), QStringLiteral("9.9"));
    edit.setText(QStringLiteral("0.5"));
    EXPECT_EQ(Drag(edit, -200), QStringLiteral("0.0"));
}

TEST_F(DragEditTest, DragFollowsTheWholeDistanceFromThePress) {
    TDragEdit edit;
    SetUpLikeStylePage(edit);
    edit.setText(QStringLiteral("2.0"));
    QSignalSpy changes(&edit, &QLineEdit::textChanged);
    edit.ButtonMouseDown(Qt::LeftButton, Qt::NoModifier, 7, 3);
    EXPECT_TRUE(edit.DragFlag());
    edit.ButtonMouseMove(Qt::NoModifier, 13, 3); // 3 steps
    EXPECT_EQ(edit.text(), QStringLiteral("2.3"));
    edit.ButtonMouseMove(Qt::NoModifier, 14, 40); // same step, vertical ignored
    edit.setText(QStringLiteral("7.7"));          // typed during the drag
    edit.ButtonMouseMove(Qt::NoModifier, 7, 3);   // back at the start
    EXPECT_EQ(edit.text(), QStringLiteral("2.0"));
    edit.ButtonMouseUp(Qt::LeftButton, Qt::NoModifier, 7, 3);
    EXPECT_FALSE(edit.DragFlag());
    edit.ButtonMouseMove(Qt::NoModifier, 30, 3); // no longer dragging
    EXPECT_EQ(edit.text(), QStringLiteral("2.0"));
    EXPECT_EQ(changes.count(), 3); // 2.3, 7.7, 2.0: no signal for an unchanged step
}

TEST_F(DragEditTest, ButtonShowsTheActiveMarkOnlyWhileHeld) {
    TDragEdit edit;
    EXPECT_EQ(edit.Button()->Caption(), QStringLiteral("◇"));
    edit.SetInactiveMark(QStringLiteral("⇔"));
    EXPECT_EQ(edit.Button()->Caption(), QStringLiteral("⇔"));
    edit.SetActiveColor(QColor(0, 0, 255));
    edit.setText(QStringLiteral("1"));
    edit.ButtonMouseDown(Qt::LeftButton, Qt::NoModifier, 0, 0);
    EXPECT_EQ(edit.Button()->Caption(), QStringLiteral("◆"));
    EXPECT_EQ(edit.Button()->CaptionColor(), QColor(0, 0, 255));
    edit.ButtonMouseUp(Qt::LeftButton, Qt::NoModifier, 0, 0);
    EXPECT_EQ(edit.Button()->Caption(), QStringLiteral("⇔"));
    EXPECT_EQ(edit.Button()->CaptionColor(), QColor(0, 0, 0));
}

TEST_F(DragEditTest, RealMouseEventsOnTheButtonDrag) {
    TDragEdit edit;
    edit.resize(80, 22);
    edit.setText(QStringLiteral("3"));
    QWidget* button = edit.Button();
    auto send = [&](QEvent::Type type, int x, Qt::MouseButtons buttons,
                    Qt::KeyboardModifiers shift) {
        QMouseEvent event(type, QPointF(x, 4), button->mapToGlobal(QPointF(x, 4)), Qt::LeftButton,
                          buttons, shift);
        QApplication::sendEvent(button, &event);
    };
    send(QEvent::MouseButtonPress, 4, Qt::LeftButton, Qt::NoModifier);
    EXPECT_TRUE(edit.DragFlag());
    send(QEvent::MouseMove, 8, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(edit.text(), QStringLiteral("23"));
    send(QEvent::MouseButtonRelease, 8, Qt::NoButton, Qt::NoModifier);
    EXPECT_FALSE(edit.DragFlag());
}

TEST_F(DragEditTest, IntBoxRefusesToDragTextThatIsNoInteger) {
    TDragEdit edit;
    edit.setText(QStringLiteral("1.5"));
    EXPECT_THROW(edit.ButtonMouseDown(Qt::LeftButton, Qt::NoModifier, 0, 0), EConvertError);
    EXPECT_FALSE(edit.DragFlag());
    EXPECT_EQ(edit.Button()->Caption(), QStringLiteral("◇"));

    // Through the button the error reaches the window as a signal.
    QSignalSpy failures(&edit, &TDragEdit::ConversionFailed);
    QTest::mousePress(edit.Button(), Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
    EXPECT_EQ(failures.count(), 1);
    EXPECT_FALSE(edit.DragFlag());
}

TEST_F(DragEditTest, FloatBoxCountsBadTextAsZero) {
    TDragEdit edit;
    SetUpLikeStylePage(edit);
    edit.setText(QStringLiteral("abc"));
    EXPECT_EQ(Drag(edit, 4), QStringLiteral("0.2"));
}

TEST_F(DragEditTest, LongIntDragStopsAtTheEndsOfThe32BitRange) {
    TDragEdit edit;
    edit.setText(QStringLiteral("2147483600"));
    EXPECT_EQ(Drag(edit, 2000, Qt::ShiftModifier | Qt::AltModifier), QStringLiteral("2147483647"));
    edit.setText(QStringLiteral("-2147483600"));
    EXPECT_EQ(Drag(edit, -2000, Qt::ShiftModifier | Qt::AltModifier),
              QStringLiteral("-2147483648"));
}

TEST_F(DragEditTest, IntRangeIsTheRoundedFloatRange) {
    TDragEdit edit;
    edit.SetMaxValue(QStringLiteral("10.5")); // halves to even: 10
    edit.SetMinValue(QStringLiteral("-2.5")); // -2
    edit.SetRangeLimited(true);
    EXPECT_EQ(edit.MaxValue(), QStringLiteral("10"));
    EXPECT_EQ(edit.MinValue(), QStringLiteral("-2"));
    edit.setText(QStringLiteral("5"));
    EXPECT_EQ(Drag(edit, 100), QStringLiteral("10"));
    EXPECT_EQ(Drag(edit, -100), QStringLiteral("-2"));
}

TEST_F(DragEditTest, IntIncrementRoundsHalvesToEvenAndIsAtLeastOne) {
    TDragEdit edit;
    const std::pair<const char*, const char*> cases[] = {
        {"0.4", "1"}, {"2.5", "2"}, {"3.5", "4"}, {"-7", "1"}, {"2.6", "3"}};
    for (auto [written, read] : cases) {
        edit.SetIncrement(QString::fromLatin1(written));
        EXPECT_EQ(edit.Increment(), QString::fromLatin1(read)) << written;
    }
    edit.SetIncrement(QStringLiteral("2.5"));
    edit.setText(QStringLiteral("0"));
    EXPECT_EQ(Drag(edit, 2), QStringLiteral("2"));

    // An increment written before the type still counts.
    TDragEdit late;
    late.SetValueType(TValueType::Float);
    late.SetIncrement(QStringLiteral("5"));
    late.SetValueType(TValueType::Int);
    EXPECT_EQ(late.Increment(), QStringLiteral("5"));
}

TEST_F(DragEditTest, BadNumberTextIsRefusedAndChangesNothing) {
    TDragEdit edit;
    SetUpLikeStylePage(edit);
    for (const char* bad : {"", "abc", "1.2.3", "inf", "nan", "1e999", "+-1", "0x10"}) {
        EXPECT_THROW(edit.SetIncrement(QString::fromLatin1(bad)), EConvertError) << bad;
        EXPECT_THROW(edit.SetMaxValue(QString::fromLatin1(bad)), EConvertError) << bad;
    }
    EXPECT_EQ(edit.Increment(), QStringLiteral("0.1"));
    EXPECT_EQ(edit.MaxValue(), QStringLiteral("9.9"));
    edit.SetMaxValue(QStringLiteral(" +1.5e1 "));
    EXPECT_EQ(edit.MaxValue(), QStringLiteral("15.0"));
}

TEST_F(DragEditTest, ExponentFormatDragsMantissaOrExponent) {
    TDragEdit edit;
    edit.SetValueType(TValueType::Float);
    edit.SetFloatFormat(TFloatFormat::ffExponent);
    edit.setText(QStringLiteral("1.5E+3"));
    EXPECT_EQ(Drag(edit, 4, Qt::AltModifier), QStringLiteral("1.50E+5"));
    edit.setText(QStringLiteral("1.5e-1"));
    EXPECT_EQ(Drag(edit, -4, Qt::AltModifier), QStringLiteral("1.50E-3"));
    edit.setText(QStringLiteral("1.5E+3"));
    EXPECT_EQ(Drag(edit, 2), QStringLiteral("2.50E+3"));
    edit.setText(QStringLiteral("2"));
    EXPECT_EQ(Drag(edit, 2, Qt::ShiftModifier), QStringLiteral("12.00E+0"));
    edit.setText(QStringLiteral("1.5Ex"));
    EXPECT_EQ(Drag(edit, 2), QStringLiteral("1.00E+0")); // bad text counts as 0
}

TEST_F(DragEditTest, ExponentFormatRefusesStepsOutOfRange) {
    TDragEdit edit;
    edit.SetValueType(TValueType::Float);
    edit.SetFloatFormat(TFloatFormat::ffExponent);
    edit.SetMaxValue(QStringLiteral("1000"));
    edit.SetRangeLimited(true);
    edit.setText(QStringLiteral("1.5E+3"));
    EXPECT_EQ(Drag(edit, 4, Qt::AltModifier), QStringLiteral("1.5E+3"));
    edit.setText(QStringLiteral("1.5E+2"));
    EXPECT_EQ(Drag(edit, 2, Qt::AltModifier), QStringLiteral("1.5E+2"));
    EXPECT_EQ(Drag(edit, -2, Qt::AltModifier), QStringLiteral("1.50E+1"));
}

TEST_F(DragEditTest, FormatsExponentsAndPowersOfTen) {
    TDragEdit edit;
    EXPECT_EQ(edit.FormatExponent(3, 1.5f), QStringLiteral("1.50E+3"));
    EXPECT_EQ(edit.FormatExponent(-2, 1.5f), QStringLiteral("1.50E-2"));
    edit.SetFloatDigits(0);
    EXPECT_EQ(edit.FormatExponent(0, -2.5f), QStringLiteral("-3E+0")); // halves away from zero
    long double p = 1;
    for (int n = 0; n <= 15; ++n, p *= 10) {
        EXPECT_EQ(TDragEdit::Power10(n), p) << n;
        EXPECT_EQ(TDragEdit::Power10(-n), 1 / p) << n;
    }
}

TEST_F(DragEditTest, FloatReadOutsFollowTheFormat) {
    TDragEdit edit;
    edit.SetValueType(TValueType::Float);
    edit.SetIncrement(QStringLiteral("-0.001"));
    EXPECT_EQ(edit.Increment(), QStringLiteral("0.00")); // no minus on a shown zero
    edit.SetIncrement(QStringLiteral("0.125"));
    EXPECT_EQ(edit.Increment(), QStringLiteral("0.13"));
    edit.SetFloatFormat(TFloatFormat::ffGeneral);
    EXPECT_EQ(edit.Increment(), QStringLiteral("0.125"));
    edit.SetFloatFormat(TFloatFormat::ffExponent);
    EXPECT_EQ(edit.Increment(), QStringLiteral("1.2500000E-01"));
    edit.SetMaxValue(QStringLiteral("1234567.5"));
    edit.SetFloatFormat(TFloatFormat::ffNumber);
    EXPECT_EQ(edit.MaxValue(), QStringLiteral("1,234,567.50"));
}

TEST_F(DragEditTest, AcceptsOnlyCharactersThatCanMakeANumber) {
    TDragEdit edit;
    edit.setText(QStringLiteral("12"));
    edit.setCursorPosition(0);
    EXPECT_TRUE(edit.IsValidChar(u'+'));
    EXPECT_TRUE(edit.IsValidChar(u'-'));
    EXPECT_TRUE(edit.IsValidChar(u'\b'));
    EXPECT_FALSE(edit.IsValidChar(u'\r'));
    EXPECT_FALSE(edit.IsValidChar(u'.')); // Int
    EXPECT_FALSE(edit.IsValidChar(u'a'));
    edit.setCursorPosition(1);
    EXPECT_FALSE(edit.IsValidChar(u'-'));
    EXPECT_TRUE(edit.IsValidChar(u'7'));
    edit.selectAll(); // typing replaces the selection, which starts at 0
    EXPECT_TRUE(edit.IsValidChar(u'-'));

    edit.SetValueType(TValueType::Float);
    edit.setCursorPosition(2);
    EXPECT_TRUE(edit.IsValidChar(u'.'));
    EXPECT_FALSE(edit.IsValidChar(u'E')); // ffFixed
    edit.setText(QStringLiteral("1.2"));
    EXPECT_FALSE(edit.IsValidChar(u'.'));

    edit.SetFloatFormat(TFloatFormat::ffExponent);
    edit.setText(QStringLiteral("1.2E"));
    EXPECT_TRUE(edit.IsValidChar(u'+'));
    EXPECT_FALSE(edit.IsValidChar(u'e'));
    edit.setText(QStringLiteral("1.2"));
    EXPECT_TRUE(edit.IsValidChar(u'e'));
    EXPECT_FALSE(edit.IsValidChar(u'+'));

    edit.SetFloatFormat(TFloatFormat::ffGeneral);
    EXPECT_FALSE(edit.IsValidChar(u'.'));

    edit.setEnabled(false);
    edit.setCursorPosition(0);
    EXPECT_FALSE(edit.IsValidChar(u'5'));
    EXPECT_FALSE(edit.IsValidChar(u'\b'));
    EXPECT_TRUE(edit.IsValidChar(u'\x03')); // copy
}

TEST_F(DragEditTest, TypingDropsRefusedCharacters) {
    TDragEdit edit;
    edit.SetValueType(TValueType::Float);
    edit.SetFloatFormat(TFloatFormat::ffExponent);
    edit.setText(QStringLiteral("1e"));
    edit.setCursorPosition(2);
    QTest::keyClick(&edit, Qt::Key_E, Qt::ShiftModifier);
    QTest::keyClick(&edit, Qt::Key_X);
    QTest::keyClick(&edit, Qt::Key_Return);
    EXPECT_EQ(edit.text(), QStringLiteral("1e"));
    QTest::keyClick(&edit, Qt::Key_Plus);
    QTest::keyClick(&edit, Qt::Key_3);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QTest::keyClick(&edit, Qt::Key_4);
    EXPECT_EQ(edit.text(), QStringLiteral("1e+4"));
}

TEST_F(DragEditTest, PasteAndCutNeedAWritableBox) {
    TDragEdit edit;
    edit.setText(QStringLiteral("12"));
    QApplication::clipboard()->setText(QStringLiteral("34"));
    edit.setReadOnly(true);
    edit.setCursorPosition(2);
    edit.paste();
    edit.selectAll();
    edit.cut();
    EXPECT_EQ(edit.text(), QStringLiteral("12"));
    edit.setReadOnly(false);
    edit.setCursorPosition(2);
    edit.paste();
    EXPECT_EQ(edit.text(), QStringLiteral("1234"));
}

TEST_F(DragEditTest, ReadOnlyBoxDoesNotDrag) {
    TDragEdit edit;
    edit.setText(QStringLiteral("5"));
    edit.setReadOnly(true);
    EXPECT_EQ(Drag(edit, 10), QStringLiteral("5"));
    EXPECT_FALSE(edit.DragFlag());
}

TEST_F(DragEditTest, TextStaysClearOfTheButton) {
    TDragEdit edit;
    edit.resize(100, 24);
    edit.show(); // a hidden widget gets its size change only when shown
    edit.SetButtonWidth(20);
    auto rightGap = [&] { return edit.width() - 1 - edit.Button()->geometry().right(); };
    const int gap = rightGap();
    EXPECT_GE(gap, 0);
    EXPECT_EQ(edit.Button()->width(), 20);
    EXPECT_GE(edit.textMargins().right(), 20);
    edit.resize(160, 24);
    EXPECT_EQ(rightGap(), gap);
    edit.SetButtonWidth(30);
    EXPECT_EQ(rightGap(), gap);
    EXPECT_EQ(edit.Button()->width(), 30);
    EXPECT_GE(edit.textMargins().right(), 30);
}

TEST_F(DragEditTest, UsesTheUsersDecimalSeparator) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    TDragEdit edit;
    SetUpLikeStylePage(edit); // values written in code with a full stop still work
    edit.setText(QStringLiteral("1,5"));
    EXPECT_EQ(Drag(edit, 2), QStringLiteral("1,6"));
    EXPECT_EQ(edit.MaxValue(), QStringLiteral("9,9"));
    edit.setText(QStringLiteral("1"));
    edit.setCursorPosition(1);
    EXPECT_TRUE(edit.IsValidChar(u','));
}

} // namespace
