// The style page "スタイル設定" in the window: every control stores into
// the current style, and the sample sheet, the preview, the thumbnail and the
// style file follow.
#include "StyleWindowTest.h"
#include "common/ShiftJis.h"
#include "controls/PageScrollBar.h"
#include "controls/PanelEx.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QWheelEvent>

#include <filesystem>

using namespace varnoke;
using namespace varnoke::test;

namespace {

class StylePageTest : public TStyleWindowTest {};

TEST_F(StylePageTest, SelectorsStartAtTheFirstElementAndSide) {
    OpenWithStyles({"A"});
    EXPECT_EQ(Page().ComboBox(15)->currentText(), "P");
    for (int side : {13, 6, 14})
        EXPECT_EQ(Page().ComboBox(side)->currentText(), "左(left)");
    EXPECT_TRUE(Page().ComboBox(6)->isEditable());
    EXPECT_FALSE(Page().ComboBox(13)->isEditable());
    const QStringList tabs = {"ﾌｫﾝﾄ", "ﾃｷｽﾄ", "ﾏｰｼﾞﾝ", "ﾎﾞｰﾀﾞｰ", "ﾊﾟﾃﾞｨﾝｸﾞ"};
    ASSERT_EQ(Page().PageControl2()->count(), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(Page().PageControl2()->tabText(i), tabs[i]);
    EXPECT_EQ(Page().PageControl2()->currentIndex(), 0);
    // The element selector titles the frame around the tabs.
    auto* frame = qobject_cast<QGroupBox*>(Page().ComboBox(15)->parentWidget());
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->title(), " 対象タグ                   ");
}

TEST_F(StylePageTest, FieldHandlersWriteTheChosenChipAndSide) {
    OpenWithStyles({"A", "B"});
    ClickSlot(1);
    ASSERT_EQ(Data().StyleIndex, 1);
    Pick(15, ChipH1);
    Pick(2, 0); // H1 is bold by reset; normal now
    Pick(3, 1); // italic
    Pick(4, 6); // xx-small
    Pick(5, 4); // monospace
    PickColor(1, 0x0000FF);
    PickColor(4, 0x00FF00);
    Pick(9, 1);
    Type(4, "1.5");
    Pick(8, 1);
    Type(3, "0.3");
    Pick(13, sdRight);
    Pick(12, 0);
    Type(5, "3.5");
    Pick(6, sdBottom);
    Pick(7, 3);
    Pick(10, BorderWidthPixels);
    Type(1, "12.5");
    PickColor(2, 0xFF0000);
    Pick(14, sdTop);
    Pick(11, 0);
    Type(2, "0.7");
    PickColor(3, 0x808080);

    const TCSSPropertyChip& h1 = Style(1).Chips[ChipH1];
    EXPECT_EQ(h1.Weight, 0);
    EXPECT_EQ(h1.Style, 1);
    EXPECT_EQ(h1.Size, 6);
    EXPECT_EQ(h1.Family, 4);
    EXPECT_EQ(h1.Color, 0x0000FF);
    EXPECT_EQ(h1.BackC, 0x00FF00);
    EXPECT_EQ(h1.Line.LType, 1);
    EXPECT_FLOAT_EQ(h1.Line.Param, 1.5f);
    EXPECT_EQ(h1.Space.LType, 1);
    EXPECT_FLOAT_EQ(h1.Space.Param, 0.3f);
    EXPECT_EQ(h1.Margin.Sides[sdRight].Style, 0);
    EXPECT_FLOAT_EQ(h1.Margin.Sides[sdRight].Param, 3.5f);
    EXPECT_EQ(h1.Margin.Sides[sdLeft].Style, LengthFontRelative);
    EXPECT_EQ(h1.Border.Sides[sdBottom].Style, 3);
    EXPECT_EQ(h1.Border.Sides[sdBottom].WidthType, BorderWidthPixels);
    EXPECT_FLOAT_EQ(h1.Border.Sides[sdBottom].WidthParam, 12.5f);
    EXPECT_EQ(h1.Border.Sides[sdBottom].Color, 0xFF0000);
    EXPECT_EQ(h1.Border.Sides[sdLeft].Style, 0);
    EXPECT_EQ(h1.Padding.Sides[sdTop].Style, 0);
    EXPECT_FLOAT_EQ(h1.Padding.Sides[sdTop].Param, 0.7f);
    EXPECT_FLOAT_EQ(h1.Padding.Sides[sdLeft].Param, 0.0f);
    EXPECT_EQ(Style(1).Background.Color, 0x808080);

    // The other chips and the other style are untouched.
    TCSSProperty fresh("X");
    EXPECT_EQ(Style(1).Chips[ChipP].Size, fresh.Chips[ChipP].Size);
    EXPECT_EQ(Style(1).Chips[ChipH2].Weight, fresh.Chips[ChipH2].Weight);
    EXPECT_EQ(Style(0).Chips[ChipH1].Weight, 1);
    EXPECT_EQ(Style(0).Background.Color, ColorWhite);

    // Each edit rewrote the sample sheet with the current style.
    const std::string css = ReadFile(SampleCss());
    EXPECT_NE(css.find("\tmargin-Right : auto;"), std::string::npos);
    EXPECT_NE(css.find("\tBorder-Bottom-width: 12.5px;"), std::string::npos);
    EXPECT_NE(css.find("\tbackground-color: #808080;"), std::string::npos);
}

TEST_F(StylePageTest, ElementAndSideSelectorsShowTheChosenValues) {
    OpenWithStyles({"A"});
    Style(0).Chips[ChipP].Margin.Sides[sdLeft].Param = 2.0f;
    Style(0).Chips[ChipH2].Margin.Sides[sdLeft].Param = 1.0f;
    Refresh();
    EXPECT_EQ(Page().ComboBox(4)->currentIndex(), 4); // P small
    EXPECT_EQ(Page().DragEdit(5)->text(), "2.0");     // P margin left
    std::filesystem::remove(StyleFile());

    Pick(15, ChipH1);
    EXPECT_EQ(Page().ComboBox(4)->currentIndex(), 2); // H1 large
    EXPECT_EQ(Page().ComboBox(2)->currentIndex(), 1); // bold
    EXPECT_EQ(Page().DragEdit(5)->text(), "0.0");
    // Nothing changed, and yet the automatic save ran.
    EXPECT_TRUE(Exists(StyleFile()));

    Pick(15, ChipH2);
    EXPECT_EQ(Page().DragEdit(5)->text(), "1.0");
    Style(0).Chips[ChipH2].Margin.Sides[sdBottom].Param = 4.0f;
    Pick(13, sdBottom);
    EXPECT_EQ(Page().DragEdit(5)->text(), "4.0");
    EXPECT_TRUE(window->RefreshPending());
}

TEST_F(StylePageTest, BorderSideTextThatNamesNoSideShowsAndStoresNothing) {
    OpenWithStyles({"A"});
    Style(0).Chips[ChipP].Border.Sides[sdTop].WidthParam = 2.0f;
    QLineEdit* side = Page().ComboBox(6)->lineEdit();
    side->selectAll();
    QTest::keyClicks(side, "middle");
    std::filesystem::remove(SampleCss());
    Type(1, "7.0");
    for (const TCSSBorderSide& border : Style(0).Chips[ChipP].Border.Sides)
        EXPECT_NE(border.WidthParam, 7.0f);
    // The change still ran its common tail.
    EXPECT_TRUE(Exists(SampleCss()));
    EXPECT_EQ(Page().DragEdit(1)->text(), "7.0");

    // Picking a side again shows it.
    QTest::keyClick(Page().ComboBox(6), Qt::Key_Down);
    EXPECT_EQ(Page().ComboBox(6)->currentText(), "上(top)");
    EXPECT_EQ(Page().DragEdit(1)->text(), "2.0");
}

TEST_F(StylePageTest, AnUnfinishedNumberIsToldOnlyWhenTheFieldIsDone) {
    OpenWithStyles({"A"});
    Type(4, "1.5");
    for (const QString& text : {QString(""), QString("-"), QString("."), QString("-.")}) {
        dialogs->Shown.clear();
        TypeKeys(4, text);
        EXPECT_TRUE(dialogs->Shown.isEmpty()) << text.toStdString();
        EXPECT_EQ(Page().DragEdit(4)->text(), text);
        QTest::keyClick(Page().DragEdit(4), Qt::Key_Return);
        ASSERT_EQ(dialogs->Shown.size(), 1) << text.toStdString();
        EXPECT_EQ(dialogs->Shown[0], "error: '" + text + "' は浮動小数点数ではありません.");
        EXPECT_FLOAT_EQ(Style(0).Chips[ChipP].Line.Param, 1.5f);
        // The field shows what the style holds again.
        EXPECT_EQ(Page().DragEdit(4)->text(), "1.5");
    }

    // Pasted text is not checked as it goes in; it is told at the end too.
    dialogs->Shown.clear();
    QApplication::clipboard()->setText("abc");
    Page().DragEdit(4)->selectAll();
    Page().DragEdit(4)->paste();
    EXPECT_TRUE(dialogs->Shown.isEmpty());
    QTest::keyClick(Page().DragEdit(4), Qt::Key_Return);
    EXPECT_EQ(dialogs->Shown, QStringList{"error: 'abc' は浮動小数点数ではありません."});
}

TEST_F(StylePageTest, LeavingAFieldFinishesItsNumber) {
    OpenWithStyles({"A"});
    ShowActive();
    Page().PageControl2()->setCurrentIndex(1);
    TDragEdit* line = Page().DragEdit(4);
    line->setFocus(Qt::MouseFocusReason);
    ASSERT_TRUE(Eventually([&] { return line->hasFocus(); }));
    TypeKeys(4, "-");
    EXPECT_TRUE(dialogs->Shown.isEmpty());
    Page().DragEdit(3)->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(Eventually([&] { return Page().DragEdit(3)->hasFocus(); }));
    EXPECT_EQ(dialogs->Shown, QStringList{"error: '-' は浮動小数点数ではありません."});
    EXPECT_EQ(line->text(), "0.0");
}

TEST_F(StylePageTest, TypedNumbersAreStoredAsOneDecimalShowsThem) {
    OpenWithStyles({"A"});
    // While typing, the text stays as typed; the style holds the value that
    // one decimal shows.
    TypeKeys(3, "2.25");
    EXPECT_EQ(Page().DragEdit(3)->text(), "2.25");
    EXPECT_EQ(Page().DragEdit(3)->cursorPosition(), 4);
    EXPECT_FLOAT_EQ(Style(0).Chips[ChipP].Space.Param, 2.2f);
    QTest::keyClick(Page().DragEdit(3), Qt::Key_Return);
    EXPECT_EQ(Page().DragEdit(3)->text(), "2.2");
    EXPECT_NE(StyleFileText().find("PARAM=2.2"), std::string::npos);

    Type(3, "1");
    EXPECT_EQ(Page().DragEdit(3)->text(), "1.0");
    EXPECT_FLOAT_EQ(Style(0).Chips[ChipP].Space.Param, 1.0f);
    Type(3, "0.06");
    EXPECT_EQ(Page().DragEdit(3)->text(), "0.1");
    EXPECT_FLOAT_EQ(Style(0).Chips[ChipP].Space.Param, 0.1f);
}

TEST_F(StylePageTest, ShowingAnotherStyleSettlesAfterOneExtraPass) {
    OpenWithStyles({"A", "B"}, "[B_BG]\r\nCGFLAG=1\r\nCGFILE=" + Sjis("/画像/紙.jpg") +
                                   "\r\n[B_P_LINE]\r\nPARAM=3\r\n");
    const size_t previews = preview.Pages.size();
    ClickSlot(1);
    EXPECT_TRUE(Page().CheckBox1()->isChecked());
    EXPECT_EQ(Page().Edit1()->text(), "/画像/紙.jpg");
    EXPECT_TRUE(Page().Edit1()->isEnabled());
    EXPECT_EQ(Page().DragEdit(4)->text(), "3.0");
    // The click shows the preview once; the check box and the drag edit each
    // ran their handler once, which stored what was shown; no further passes.
    EXPECT_LE(preview.Pages.size() - previews, 3u);
    EXPECT_TRUE(Style(1).Background.CGFlag);
    EXPECT_FLOAT_EQ(Style(1).Chips[ChipP].Line.Param, 3.0f);
    EXPECT_FALSE(Style(0).Background.CGFlag);
}

TEST_F(StylePageTest, BackgroundImageFlagAndFile) {
    OpenWithStyles({"A"});
    EXPECT_FALSE(Page().Edit1()->isEnabled());
    EXPECT_FALSE(Page().Button(2)->isEnabled());

    Page().CheckBox1()->click();
    EXPECT_TRUE(Style(0).Background.CGFlag);
    EXPECT_TRUE(Page().Edit1()->isEnabled());
    EXPECT_TRUE(Page().Button(2)->isEnabled());

    dialogs->FileNames.push_back(QString("/pictures/紙.png"));
    Page().Button(2)->click();
    EXPECT_EQ(dialogs->Shown.back(), "open: 背景グラフィック指定");
    EXPECT_EQ(dialogs->FileOptions.back().DefaultSuffix, "jpg");
    EXPECT_EQ(Style(0).Background.CGFile, Sjis("/pictures/紙.png"));
    EXPECT_EQ(Page().Edit1()->text(), "/pictures/紙.png");
    EXPECT_NE(ReadFile(SampleCss()).find(Sjis("background-image: URL(/pictures/紙.png);")),
              std::string::npos);

    Page().Button(2)->click(); // cancelled
    EXPECT_EQ(Style(0).Background.CGFile, Sjis("/pictures/紙.png"));

    // A name Shift-JIS cannot hold is refused, not mangled.
    dialogs->FileNames.push_back(QString("/pictures/😀.png"));
    Page().Button(2)->click();
    EXPECT_EQ(Style(0).Background.CGFile, Sjis("/pictures/紙.png"));
    EXPECT_TRUE(dialogs->Shown.back().startsWith("error: "));

    Page().CheckBox1()->click();
    EXPECT_FALSE(Style(0).Background.CGFlag);
    EXPECT_EQ(Style(0).Background.CGFile, Sjis("/pictures/紙.png"));
    EXPECT_EQ(Page().Edit1()->text(), "/pictures/紙.png");
    EXPECT_FALSE(Page().Edit1()->isEnabled());
    EXPECT_EQ(ReadFile(SampleCss()).find("background-image"), std::string::npos);
}

TEST_F(StylePageTest, ATypedPictureNameCountsAtEnterOrWhenTheFieldIsLeft) {
    OpenWithStyles({"A"});
    ShowActive();
    Page().CheckBox1()->click();
    QLineEdit* edit1 = Page().Edit1();
    QTest::keyClicks(edit1, "/p/a.png");
    EXPECT_EQ(Style(0).Background.CGFile, ""); // typing stores nothing
    QTest::keyClick(edit1, Qt::Key_Return);
    EXPECT_EQ(Style(0).Background.CGFile, "/p/a.png");
    EXPECT_NE(ReadFile(SampleCss()).find("background-image: URL(/p/a.png);"), std::string::npos);
    EXPECT_NE(StyleFileText().find("CGFILE=/p/a.png"), std::string::npos);

    edit1->setFocus(Qt::MouseFocusReason);
    ASSERT_TRUE(Eventually([&] { return edit1->hasFocus(); }));
    edit1->selectAll();
    QTest::keyClicks(edit1, "/p/b.png");
    Page().Button(7)->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(Eventually([&] { return !edit1->hasFocus(); }));
    EXPECT_EQ(Style(0).Background.CGFile, "/p/b.png");

    // A name Shift-JIS cannot hold is refused, and the field shows the
    // stored one again.
    edit1->selectAll();
    QInputMethodEvent input;
    input.setCommitString(QString::fromUtf8("/p/😀.png"));
    QApplication::sendEvent(edit1, &input);
    QTest::keyClick(edit1, Qt::Key_Return);
    EXPECT_EQ(Style(0).Background.CGFile, "/p/b.png");
    EXPECT_EQ(edit1->text(), "/p/b.png");
    EXPECT_TRUE(dialogs->Shown.back().startsWith("error: "));
}

TEST_F(StylePageTest, NewAndCopyRefuseDuplicateAndUnusableNames) {
    OpenWithStyles({"ABC"}, "[ABC_BG]\r\nCOLOR=1193046\r\n"); // 0x123456

    dialogs->Inputs.push_back(QString("abc"));
    Page().Button(3)->click();
    EXPECT_EQ(dialogs->Shown.back(), "message: 同じ名称のスタイルが存在します.");
    EXPECT_EQ(Styles().Count(), 1);

    for (const QString& name : {QString(""), QString(" lead"), QString("a=b"), QString("[x]")}) {
        dialogs->Inputs.push_back(name);
        Page().Button(3)->click();
        EXPECT_TRUE(dialogs->Shown.back().startsWith("message: このスタイル名は使えません"))
            << name.toStdString();
    }
    dialogs->Inputs.push_back(QString("😀"));
    Page().Button(3)->click();
    EXPECT_TRUE(dialogs->Shown.back().startsWith("message: "))
        << dialogs->Shown.back().toStdString();
    Page().Button(3)->click(); // cancelled
    EXPECT_EQ(Styles().Count(), 1);

    std::filesystem::remove(StyleFile());
    dialogs->Inputs.push_back(QString("見出し"));
    Page().Button(3)->click();
    ASSERT_EQ(Styles().Count(), 2);
    EXPECT_EQ(Style(1).Name, Sjis("見出し"));
    EXPECT_EQ(Style(1).Background.Color, ColorWhite);
    EXPECT_EQ(Data().StyleIndex, 1);
    EXPECT_TRUE(Page().Button(1)->isEnabled());
    // With automatic saving the new style is in the file at once.
    EXPECT_NE(StyleFileText().find("STYLE1=" + Sjis("見出し")), std::string::npos);
    // And the window's style lists offer it.
    EXPECT_EQ(Find<QComboBox>("ComboBox18")->itemText(1), "1:見出し");

    // A taken name keeps the dialog open with the name selected, to be
    // corrected there.
    ClickSlot(0);
    dialogs->Shown.clear();
    dialogs->KeptSelected.clear();
    dialogs->Inputs = {QString("Abc"), QString("copy")};
    Page().Button(1)->click();
    EXPECT_EQ(dialogs->Shown, (QStringList{"input: 名称入力: スタイル名を入力して下さい.",
                                           "message: 同じ名称のスタイルが存在します."}));
    EXPECT_EQ(dialogs->KeptSelected, QStringList{"Abc"});
    ASSERT_EQ(Styles().Count(), 3);
    EXPECT_EQ(Style(2).Name, "COPY");
    EXPECT_EQ(Style(2).Background.Color, 0x123456);
    EXPECT_EQ(Data().StyleIndex, 2);
    EXPECT_EQ(Page().ColorLookupComboBox(3)->SelectedColor(), 0x123456);
}

TEST_F(StylePageTest, DeleteKeepsTheIndexOnAStyleAndTheLastStyleStays) {
    OpenWithStyles({"ONE", "TWO", "THREE"});
    ClickSlot(0);
    // Deleting asks first; No keeps the style.
    Page().Button(5)->click();
    // The fresh project uses the first style everywhere, and the question
    // says so.
    EXPECT_EQ(dialogs->Shown.back(),
              "ask: 確認: スタイル \"ONE\" を削除しますか?\n"
              "プロジェクトの「タイトル」「メニュー」「本文」で使われています。");
    EXPECT_EQ(Styles().Count(), 3);
    dialogs->Answers = {TAnswer::Yes, TAnswer::Yes};
    Page().Button(5)->click();
    ASSERT_EQ(Styles().Count(), 2);
    EXPECT_EQ(Data().StyleIndex, 0);
    EXPECT_EQ(Style(0).Name, "TWO");

    // Deleting the last style of the list makes the new last one current.
    ClickSlot(1);
    Page().Button(5)->click();
    ASSERT_EQ(Styles().Count(), 1);
    EXPECT_EQ(Data().StyleIndex, 0);
    EXPECT_TRUE(Page().PanelEx6()->isEnabled());
    EXPECT_NE(StyleFileText().find("COUNT=1"), std::string::npos);

    Page().Button(5)->click();
    EXPECT_EQ(dialogs->Shown.back(), "warning: 最低１つのスタイルが必要です.");
    EXPECT_EQ(Styles().Count(), 1);
}

TEST_F(StylePageTest, LoadingFewerStylesKeepsTheIndexInRange) {
    OpenWithStyles({"A", "B"}, "[SYSTEM]\r\nAUTOSAVEFLAG=0\r\n");
    EXPECT_TRUE(Item("L1")->isEnabled());
    Styles().Add("C");
    Styles().Add("D");
    Data().StyleIndex = 3;
    Item("L1")->trigger();
    ASSERT_EQ(Styles().Count(), 2);
    EXPECT_EQ(Data().StyleIndex, 1);
    EXPECT_FALSE(window->RefreshPending());

    Data().StyleIndex = -5; // a hand-edited settings file
    Item("L1")->trigger();
    EXPECT_EQ(Data().StyleIndex, 0);
}

TEST_F(StylePageTest, AutomaticSavingWritesTheStyleFileOnEachEdit) {
    OpenWithStyles({"A"});
    EXPECT_FALSE(Item("S3")->isEnabled());
    std::filesystem::remove(StyleFile());
    Type(4, "0.5");
    EXPECT_NE(StyleFileText().find("A_P_LINE"), std::string::npos);
    std::filesystem::remove(StyleFile());
    Type(4, "0.6");
    EXPECT_TRUE(Exists(StyleFile()));

    Item("A2")->trigger();
    EXPECT_FALSE(Data().AutoSaveFlag);
    EXPECT_TRUE(Item("S3")->isEnabled());
    std::filesystem::remove(StyleFile());
    Type(4, "0.7");
    PickColor(1, 0x00FF00);
    EXPECT_FALSE(Exists(StyleFile()));
    Item("S3")->trigger();
    EXPECT_TRUE(Exists(StyleFile()));

    // Loading asks about what was not saved: Cancel keeps it, No drops it.
    Type(4, "0.8");
    Item("L1")->trigger();
    EXPECT_EQ(dialogs->Shown.back(), "ask: 警告: スタイルを保存しますか?");
    EXPECT_FLOAT_EQ(Styles().Items(0).Chips[ChipP].Line.Param, 0.8f);
    dialogs->Answers = {TAnswer::No};
    Item("L1")->trigger();
    EXPECT_FLOAT_EQ(Styles().Items(0).Chips[ChipP].Line.Param, 0.7f);
    EXPECT_FALSE(Page().StylesModified());
    Item("A2")->trigger();
    EXPECT_TRUE(Data().AutoSaveFlag);
    EXPECT_FALSE(Item("L1")->isEnabled());
}

TEST_F(StylePageTest, EditorIsEnabledExactlyWhileAStyleExists) {
    Open("[SYSTEM]\r\n"); // not a first start, which would bring the ready styles
    EXPECT_FALSE(Page().Button(1)->isEnabled());
    EXPECT_FALSE(Page().Button(5)->isEnabled());
    EXPECT_FALSE(Page().PanelEx6()->isEnabled());
    EXPECT_FALSE(Page().ComboBox(2)->isEnabled());
    EXPECT_TRUE(Page().Button(3)->isEnabled());
    // Handlers reached without a style (the controls are disabled) store and
    // write nothing.
    std::filesystem::remove(SampleCss());
    Page().StyleChanged();
    Page().ComboBoxChange(2);
    Page().Button1Click();
    Page().Button5Click();
    EXPECT_TRUE(dialogs->Shown.isEmpty()) << dialogs->Shown.join("\n").toStdString();
    EXPECT_FALSE(Exists(SampleCss()));

    dialogs->Inputs.push_back(QString("first"));
    Page().Button(3)->click();
    EXPECT_TRUE(Page().PanelEx6()->isEnabled());
    EXPECT_TRUE(Page().ComboBox(2)->isEnabled());
    EXPECT_TRUE(Page().Button(5)->isEnabled());
    // The image's file name and button follow the check box, not the panel.
    EXPECT_FALSE(Page().Edit1()->isEnabled());
    EXPECT_FALSE(Page().Button(2)->isEnabled());
}

TEST_F(StylePageTest, ApplyNowRebuildsThePreviewAndRefreshes) {
    OpenWithStyles({"A"});
    std::filesystem::remove(Temp("text.html"));
    window->ProjectData().TitleName = "Now";
    Page().Button(7)->click();
    EXPECT_TRUE(Exists(Temp("text.html")));
    EXPECT_NE(ReadFile(Temp("title.html")).find("Now"), std::string::npos);
    EXPECT_FALSE(window->RefreshPending());
}

TEST_F(StylePageTest, WriteFailuresShowAnErrorAndKeepTheValue) {
    OpenWithStyles({"A"});
    std::filesystem::remove_all(Temp(""));
    Type(4, "2.5");
    EXPECT_FLOAT_EQ(Style(0).Chips[ChipP].Line.Param, 2.5f);
    ASSERT_FALSE(Errors().isEmpty());
    EXPECT_TRUE(Errors().back().contains(Q(SampleCss())));
}

} // namespace

TEST_F(StylePageTest, ANewStyleComesIntoViewNamedAboveTheEditorAndTheWheelScrolls) {
    OpenWithStyles({"S0", "S1", "S2", "S3", "S4", "S5", "S6", "S7"});
    ASSERT_EQ(Data().StyleTop, 0);
    const int whole = Page().Image1()->height() / Page().Image1()->CellHeight();
    ASSERT_LT(whole, 8);
    dialogs->Inputs = {QString("NEW"), QString("COPY")};
    for (const char* name : {"NEW", "COPY"}) {
        Page().Button(name == std::string("NEW") ? 3 : 1)->click();
        const int index = Styles().Count() - 1;
        EXPECT_EQ(Data().StyleIndex, index) << name;
        EXPECT_GE(index, Data().StyleTop) << name;
        EXPECT_LT(index, Data().StyleTop + whole) << name;
        EXPECT_EQ(Page().ScrollBar1()->value(), Data().StyleTop) << name;
        EXPECT_EQ(Find<QLabel>("StyleName")->text(), QString("編集中のスタイル: ") + name);
    }

    // One style a wheel step, up and down, within the scroll range.
    const auto wheel = [&](int delta) {
        QWheelEvent event(QPointF(10, 10), Page().Image1()->mapToGlobal(QPointF(10, 10)), QPoint(),
                          QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(Page().Image1(), &event);
    };
    const int top = Data().StyleTop;
    wheel(120);
    EXPECT_EQ(Data().StyleTop, top - 1);
    wheel(60);
    wheel(60);
    EXPECT_EQ(Data().StyleTop, top - 2);
    wheel(-240);
    EXPECT_EQ(Data().StyleTop, top);
    wheel(-1200);
    EXPECT_EQ(Data().StyleTop, Page().ScrollBar1()->maximum());
}

TEST_F(StylePageTest, DeletingAStyleKeepsTheProjectOnItsStylesAndTheFileTidy) {
    struct TRow {
        int Deleted;
        QString Used; // what the question says uses it
        int Title, Menu, Text;
        bool Modified;
    };
    // The project chooses title 3, menu 2, body 1 of the styles A to E.
    const TRow rows[] = {
        {2, "「メニュー」", 2, 0, 1, true},
        {0, "", 2, 1, 0, true},
        {4, "", 3, 2, 1, false},
    };
    for (const TRow& row : rows) {
        OpenWithStyles({"A", "B", "C", "D", "E"});
        TProjectData& project = window->ProjectData();
        project.StyleTitle = 3;
        project.StyleMenu = 2;
        project.StyleText = 1;
        window->MarkSaved();
        Style(0).Background.Color = 0x123456;
        Data().StyleIndex = row.Deleted;
        Refresh();
        dialogs->Answers = {TAnswer::Yes};
        Page().Button(5)->click();
        const QString question = dialogs->Shown.last();
        EXPECT_EQ(question.contains("プロジェクトの"), !row.Used.isEmpty()) << row.Deleted;
        EXPECT_TRUE(question.contains(row.Used)) << question.toStdString();
        EXPECT_EQ(project.StyleTitle, row.Title) << row.Deleted;
        EXPECT_EQ(project.StyleMenu, row.Menu) << row.Deleted;
        EXPECT_EQ(project.StyleText, row.Text) << row.Deleted;
        EXPECT_EQ(window->SystemData().ProjectModified, row.Modified) << row.Deleted;
        EXPECT_EQ(Find<QComboBox>("ComboBox16")->currentIndex(), row.Title) << row.Deleted;
        // The preview is built again with the styles the project now names:
        // the menu's with A's background once the menu has moved onto A.
        EXPECT_EQ(ReadFile(Temp("menu.css")).find("563412") != std::string::npos, row.Deleted == 2)
            << row.Deleted;
        // The file names the four styles, and no fifth.
        const std::string file = StyleFileText();
        EXPECT_NE(file.find("COUNT=4\r\n"), std::string::npos) << row.Deleted;
        EXPECT_EQ(file.find("STYLE4="), std::string::npos) << row.Deleted;
    }
}
