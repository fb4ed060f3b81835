#include "StyleTestHost.h"

#include "app/StylePage.h"
#include "common/ShiftJis.h"
#include "controls/CLCBox.h"
#include "controls/DragEdit.h"
#include "controls/PanelEx.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

using namespace varnoke;
using namespace varnoke::test;

namespace {

class StylePageTest : public ::testing::Test {
  protected:
    // A page over `names` (CP932), refreshed once as the window starts.
    void Open(std::initializer_list<const char*> names) {
        for (const char* name : names)
            Styles().Add(name);
        page_ = std::make_unique<TStylePage>(host_);
        host_.Attach(page_.get());
        host_.SetRefreshPending();
        host_.RefreshAll();
    }

    TSystemData& Data() { return host_.SystemData(); }
    TCSSPropertyClass& Styles() { return Data().Styles; }
    TCSSProperty& Style(int index) { return Styles().Items(index); }
    TStylePage& Page() { return *page_; }

    // A user's pick in an item list: the index, then the list's activation.
    void Pick(int combo, int index) {
        Page().ComboBox(combo)->setCurrentIndex(index);
        emit Page().ComboBox(combo)->activated(index);
    }
    void PickColor(int combo, std::int32_t color) {
        Page().ColorLookupComboBox(combo)->SetSelectedColor(color);
        emit Page().ColorLookupComboBox(combo)->Changed();
    }
    void Type(int dragEdit, const QString& text) { Page().DragEdit(dragEdit)->setText(text); }

    bool Exists(const std::string& path) { return std::filesystem::exists(path); }
    std::string StyleFileText() { return ReadFile(host_.StyleFile()); }

    TStyleTestHost host_;
    std::unique_ptr<TStylePage> page_;
};

TEST_F(StylePageTest, SelectorsStartAtTheFirstElementAndSide) {
    Open({"A"});
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
    Open({"A", "B"});
    Data().StyleIndex = 1;
    Page().StyleToControls();
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
    const std::string css = ReadFile(host_.SampleCss());
    EXPECT_NE(css.find("\tmargin-Right : auto;"), std::string::npos);
    EXPECT_NE(css.find("\tBorder-Bottom-width: 12.5px;"), std::string::npos);
    EXPECT_NE(css.find("\tbackground-color: #808080;"), std::string::npos);
}

TEST_F(StylePageTest, ElementAndSideSelectorsShowTheChosenValues) {
    Open({"A"});
    EXPECT_EQ(Page().ComboBox(4)->currentIndex(), 4); // P small
    EXPECT_EQ(Page().DragEdit(5)->text(), "2.0");     // P margin left
    std::filesystem::remove(host_.StyleFile());

    Pick(15, ChipH1);
    EXPECT_EQ(Page().ComboBox(4)->currentIndex(), 2); // H1 large
    EXPECT_EQ(Page().ComboBox(2)->currentIndex(), 1); // bold
    EXPECT_EQ(Page().DragEdit(5)->text(), "0.0");
    // Nothing changed, and yet the automatic save ran.
    EXPECT_TRUE(Exists(host_.StyleFile()));

    Pick(15, ChipH2);
    EXPECT_EQ(Page().DragEdit(5)->text(), "1.0");
    Style(0).Chips[ChipH2].Margin.Sides[sdBottom].Param = 4.0f;
    Pick(13, sdBottom);
    EXPECT_EQ(Page().DragEdit(5)->text(), "4.0");
    EXPECT_TRUE(host_.Pending);
}

TEST_F(StylePageTest, BorderSideTextThatNamesNoSideShowsAndStoresNothing) {
    Open({"A"});
    Style(0).Chips[ChipP].Border.Sides[sdTop].WidthParam = 2.0f;
    Page().ComboBox(6)->setEditText("middle");
    std::filesystem::remove(host_.SampleCss());
    Type(1, "7.0");
    for (const TCSSBorderSide& side : Style(0).Chips[ChipP].Border.Sides)
        EXPECT_NE(side.WidthParam, 7.0f);
    // The change still ran its common tail.
    EXPECT_TRUE(Exists(host_.SampleCss()));
    EXPECT_EQ(Page().DragEdit(1)->text(), "7.0");

    Page().ComboBox(6)->setEditText("上(top)");
    EXPECT_EQ(Page().DragEdit(1)->text(), "2.0");
}

TEST_F(StylePageTest, DragEditTextThatIsNoNumberStoresNothing) {
    Open({"A"});
    Type(4, "1.5");
    std::filesystem::remove(host_.SampleCss());
    std::filesystem::remove(host_.StyleFile());
    for (const QString& text : {QString("abc"), QString(""), QString("-"), QString("1e99")}) {
        host_.Shown.Shown.clear();
        Type(4, text);
        ASSERT_EQ(host_.Shown.Shown.size(), 1) << text.toStdString();
        EXPECT_EQ(host_.Shown.Shown[0], "error: '" + text + "' は浮動小数点数ではありません.");
        EXPECT_FLOAT_EQ(Style(0).Chips[ChipP].Line.Param, 1.5f);
        Type(4, "1.5");
        std::filesystem::remove(host_.SampleCss());
        std::filesystem::remove(host_.StyleFile());
    }
    Type(4, "x");
    EXPECT_FALSE(Exists(host_.SampleCss()));
    EXPECT_FALSE(Exists(host_.StyleFile()));
}

TEST_F(StylePageTest, ShowingAnotherStyleSettlesAfterOneExtraPass) {
    Open({"A", "B"});
    Style(1).Background.CGFlag = true;
    Style(1).Background.CGFile = Sjis("/画像/紙.jpg");
    Style(1).Chips[ChipP].Line.Param = 3.0f;
    const int previews = host_.Previews;
    Data().StyleIndex = 1;
    Page().StyleToControls();
    EXPECT_TRUE(Page().CheckBox1()->isChecked());
    EXPECT_EQ(Page().Edit1()->text(), "/画像/紙.jpg");
    EXPECT_TRUE(Page().Edit1()->isEnabled());
    EXPECT_EQ(Page().DragEdit(4)->text(), "3.0");
    // The check box and the drag edit each ran their handler once, which
    // stored what was shown; no further passes.
    EXPECT_LE(host_.Previews - previews, 2);
    EXPECT_TRUE(Style(1).Background.CGFlag);
    EXPECT_FLOAT_EQ(Style(1).Chips[ChipP].Line.Param, 3.0f);
    EXPECT_FALSE(Style(0).Background.CGFlag);
}

TEST_F(StylePageTest, BackgroundImageFlagAndFile) {
    Open({"A"});
    EXPECT_FALSE(Page().Edit1()->isEnabled());
    EXPECT_FALSE(Page().Button(2)->isEnabled());

    Page().CheckBox1()->setChecked(true);
    EXPECT_TRUE(Style(0).Background.CGFlag);
    EXPECT_TRUE(Page().Edit1()->isEnabled());
    EXPECT_TRUE(Page().Button(2)->isEnabled());

    host_.Shown.FileNames.push_back(QString("/pictures/紙.png"));
    Page().Button2Click();
    EXPECT_EQ(host_.Shown.Shown.back(), "open: 背景グラフィック指定");
    EXPECT_EQ(Style(0).Background.CGFile, Sjis("/pictures/紙.png"));
    EXPECT_EQ(Page().Edit1()->text(), "/pictures/紙.png");
    EXPECT_NE(ReadFile(host_.SampleCss()).find(Sjis("background-image: URL(/pictures/紙.png);")),
              std::string::npos);

    Page().Button2Click(); // cancelled
    EXPECT_EQ(Style(0).Background.CGFile, Sjis("/pictures/紙.png"));

    // A name Shift-JIS cannot hold is refused, not mangled.
    host_.Shown.FileNames.push_back(QString("/pictures/😀.png"));
    Page().Button2Click();
    EXPECT_EQ(Style(0).Background.CGFile, Sjis("/pictures/紙.png"));
    EXPECT_TRUE(host_.Shown.Shown.back().startsWith("error: "));

    Page().CheckBox1()->setChecked(false);
    EXPECT_FALSE(Style(0).Background.CGFlag);
    EXPECT_EQ(Style(0).Background.CGFile, Sjis("/pictures/紙.png"));
    EXPECT_EQ(Page().Edit1()->text(), "/pictures/紙.png");
    EXPECT_FALSE(Page().Edit1()->isEnabled());
    EXPECT_EQ(ReadFile(host_.SampleCss()).find("background-image"), std::string::npos);
}

TEST_F(StylePageTest, NewAndCopyRefuseDuplicateAndUnusableNames) {
    Open({"ABC"});
    Style(0).Background.Color = 0x123456;

    host_.Shown.Inputs.push_back(QString("abc"));
    Page().Button3Click();
    EXPECT_EQ(host_.Shown.Shown.back(), "message: 同じ名称のスタイルが存在します.");
    EXPECT_EQ(Styles().Count(), 1);

    for (const QString& name : {QString(""), QString(" lead"), QString("a=b"), QString("[x]")}) {
        host_.Shown.Inputs.push_back(name);
        Page().Button3Click();
        EXPECT_TRUE(host_.Shown.Shown.back().startsWith("message: このスタイル名は使えません"))
            << name.toStdString();
    }
    host_.Shown.Inputs.push_back(QString("😀"));
    Page().Button3Click();
    EXPECT_TRUE(host_.Shown.Shown.back().startsWith("error: "));
    Page().Button3Click(); // cancelled
    EXPECT_EQ(Styles().Count(), 1);

    std::filesystem::remove(host_.StyleFile());
    host_.Shown.Inputs.push_back(QString("見出し"));
    Page().Button3Click();
    ASSERT_EQ(Styles().Count(), 2);
    EXPECT_EQ(Style(1).Name, Sjis("見出し"));
    EXPECT_EQ(Style(1).Background.Color, ColorWhite);
    EXPECT_EQ(Data().StyleIndex, 1);
    EXPECT_TRUE(Page().Button(1)->isEnabled());
    // With automatic saving the new style is in the file at once.
    EXPECT_NE(StyleFileText().find("STYLE1=" + Sjis("見出し")), std::string::npos);

    Data().StyleIndex = 0;
    host_.Shown.Inputs.push_back(QString("copy"));
    Page().Button1Click();
    ASSERT_EQ(Styles().Count(), 3);
    EXPECT_EQ(Style(2).Name, "COPY");
    EXPECT_EQ(Style(2).Background.Color, 0x123456);
    EXPECT_EQ(Data().StyleIndex, 2);
    EXPECT_EQ(Page().ColorLookupComboBox(3)->SelectedColor(), 0x123456);
}

TEST_F(StylePageTest, DeleteKeepsTheIndexOnAStyleAndTheLastStyleStays) {
    Open({"ONE", "TWO", "THREE"});
    Data().StyleIndex = 0;
    Page().Button5Click();
    ASSERT_EQ(Styles().Count(), 2);
    EXPECT_EQ(Data().StyleIndex, 0);
    EXPECT_EQ(Style(0).Name, "TWO");

    // Deleting the last style of the list makes the new last one current.
    Data().StyleIndex = 1;
    Page().Button5Click();
    ASSERT_EQ(Styles().Count(), 1);
    EXPECT_EQ(Data().StyleIndex, 0);
    EXPECT_TRUE(Page().PanelEx6()->isEnabled());
    EXPECT_NE(StyleFileText().find("COUNT=1"), std::string::npos);

    Page().Button5Click();
    EXPECT_EQ(host_.Shown.Shown.back(), "warning: 最低１つのスタイルが必要です.");
    EXPECT_EQ(Styles().Count(), 1);
}

TEST_F(StylePageTest, LoadingFewerStylesKeepsTheIndexInRange) {
    Open({"A", "B"});
    Page().S3Click();
    Styles().Add("C");
    Styles().Add("D");
    Data().StyleIndex = 3;
    Page().L1Click();
    ASSERT_EQ(Styles().Count(), 2);
    EXPECT_EQ(Data().StyleIndex, 1);
    EXPECT_FALSE(host_.Pending);

    Data().StyleIndex = -5; // a hand-edited settings file
    Page().L1Click();
    EXPECT_EQ(Data().StyleIndex, 0);
}

TEST_F(StylePageTest, AutomaticSavingWritesTheStyleFileOnEachEdit) {
    Open({"A"});
    std::filesystem::remove(host_.StyleFile());
    Type(4, "0.5");
    EXPECT_NE(StyleFileText().find("A_P_LINE"), std::string::npos);
    std::filesystem::remove(host_.StyleFile());
    Type(4, "0.6");
    EXPECT_TRUE(Exists(host_.StyleFile()));

    Page().A2Click(false);
    EXPECT_FALSE(Data().AutoSaveFlag);
    std::filesystem::remove(host_.StyleFile());
    Type(4, "0.7");
    PickColor(1, 0x00FF00);
    EXPECT_FALSE(Exists(host_.StyleFile()));
    Page().S3Click();
    EXPECT_TRUE(Exists(host_.StyleFile()));

    // Loading drops what was not saved.
    Type(4, "0.8");
    Page().L1Click();
    EXPECT_FLOAT_EQ(Styles().Items(0).Chips[ChipP].Line.Param, 0.7f);
    Page().A2Click(true);
    EXPECT_TRUE(Data().AutoSaveFlag);
}

TEST_F(StylePageTest, EditorIsEnabledExactlyWhileAStyleExists) {
    Open({});
    EXPECT_FALSE(Page().Button(1)->isEnabled());
    EXPECT_FALSE(Page().Button(5)->isEnabled());
    EXPECT_FALSE(Page().PanelEx6()->isEnabled());
    EXPECT_FALSE(Page().ComboBox(2)->isEnabled());
    EXPECT_TRUE(Page().Button(3)->isEnabled());
    // Handlers reached without a style store and write nothing.
    Page().StyleChanged();
    Page().ComboBoxChange(2);
    Page().Button1Click();
    Page().Button5Click();
    EXPECT_TRUE(host_.Shown.Shown.isEmpty());
    EXPECT_FALSE(Exists(host_.SampleCss()));

    host_.Shown.Inputs.push_back(QString("first"));
    Page().Button3Click();
    EXPECT_TRUE(Page().PanelEx6()->isEnabled());
    EXPECT_TRUE(Page().ComboBox(2)->isEnabled());
    EXPECT_TRUE(Page().Button(5)->isEnabled());
    // The image's file name and button follow the check box, not the panel.
    EXPECT_FALSE(Page().Edit1()->isEnabled());
    EXPECT_FALSE(Page().Button(2)->isEnabled());
}

TEST_F(StylePageTest, ApplyNowRebuildsThePreviewAndRefreshes) {
    Open({"A"});
    const int refreshes = host_.Refreshes;
    Page().Button7Click();
    EXPECT_EQ(host_.Builds, 1);
    EXPECT_EQ(host_.Refreshes, refreshes + 1);
    EXPECT_FALSE(host_.Pending);
}

TEST_F(StylePageTest, WriteFailuresShowAnErrorAndKeepTheValue) {
    Open({"A"});
    std::filesystem::remove_all(host_.TempFolder());
    Type(4, "2.5");
    EXPECT_FLOAT_EQ(Style(0).Chips[ChipP].Line.Param, 2.5f);
    ASSERT_FALSE(host_.Shown.Shown.isEmpty());
    EXPECT_TRUE(host_.Shown.Shown.back().startsWith("error: "));
}

} // namespace
