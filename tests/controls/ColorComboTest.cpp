#include "controls/CLCBox.h"
#include "controls/PlatformColor.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

using namespace varnoke;

namespace {

constexpr std::int32_t kRed = 0x0000FF;
constexpr std::int32_t kWindowText = -16777208; // system colour 8
constexpr std::int32_t clDefault = TColorLookupComboBox::clDefault;

QStringList Names(const TColorLookupComboBox& box) {
    QStringList names;
    for (int i = 0; i < box.count(); ++i)
        names << box.itemText(i);
    return names;
}

class ColorComboTest : public ::testing::Test {
  protected:
    void SetUp() override {
        box_ = std::make_unique<TColorLookupComboBox>();
        // The style page's boxes; no real dialog in tests.
        box_->SetColorDialog([this](const QColor&) {
            ++dialogCalls_;
            return dialogAnswer_;
        });
        box_->SetDefaultColor(0);
        box_->SetSelection(csSystemJ | csCustom | csDefault | csExtended);
    }

    // What the user does when picking an entry with the keyboard.
    void UserPicks(int index) {
        box_->setCurrentIndex(index - 1);
        QTest::keyClick(box_.get(), Qt::Key_Down);
    }

    std::unique_ptr<TColorLookupComboBox> box_;
    std::optional<QColor> dialogAnswer_;
    int dialogCalls_ = 0;
};

TEST_F(ColorComboTest, StylePageListReadsDefaultBasicColoursAndOther) {
    QStringList names = Names(*box_);
    ASSERT_EQ(names.size(), 18);
    EXPECT_EQ(names.front(), QStringLiteral("標準"));
    EXPECT_EQ(names[1], QStringLiteral("黒"));
    EXPECT_EQ(names[10], QStringLiteral("赤"));
    EXPECT_EQ(names[16], QStringLiteral("白"));
    EXPECT_EQ(names.back(), QStringLiteral("その他..."));
    EXPECT_EQ(box_->currentIndex(), -1);
    EXPECT_EQ(box_->SelectedColor(), clDefault);
}

TEST_F(ColorComboTest, GroupsKeepTheirOrderWhateverTheSet) {
    box_->SetSelection(csCustom | csSystem | csDefault | csSystemJ);
    QStringList names = Names(*box_);
    ASSERT_EQ(names.size(), 34);
    EXPECT_EQ(names[0], QStringLiteral("標準"));
    EXPECT_EQ(names[1], QStringLiteral("Black"));
    EXPECT_EQ(names[16], QStringLiteral("White"));
    EXPECT_EQ(names[17], QStringLiteral("黒"));
    EXPECT_EQ(names[33], QStringLiteral("その他..."));

    box_->SetSelection({});
    EXPECT_EQ(box_->count(), 0);
    EXPECT_EQ(box_->SelectedColor(), clDefault);
    box_->SetSelectedColor(kRed);
    EXPECT_EQ(box_->currentIndex(), -1);
}

TEST_F(ColorComboTest, SelectsTheFirstEntryOfAColour) {
    box_->SetSelectedColor(kRed);
    EXPECT_EQ(box_->currentText(), QStringLiteral("赤"));
    box_->SetSelectedColor(0);
    EXPECT_EQ(box_->currentText(), QStringLiteral("標準")); // not "黒"
    box_->SetSelectedColor(clDefault);
    EXPECT_EQ(box_->currentIndex(), -1);

    // clDefault selects nothing even where an entry carries it.
    box_->SetDefaultColor(clDefault);
    box_->SetSelectedColor(clDefault);
    EXPECT_EQ(box_->currentIndex(), -1);
    EXPECT_EQ(box_->ItemColor(0), clDefault);
}

TEST_F(ColorComboTest, UnknownColourBecomesACustomEntryAboveOther) {
    QSignalSpy changes(box_.get(), &TColorLookupComboBox::Changed);
    box_->SetSelectedColor(0x0080FF); // red 255, green 128
    EXPECT_EQ(box_->currentText(), QStringLiteral("$0080FF"));
    EXPECT_EQ(box_->currentIndex(), box_->count() - 2);
    EXPECT_EQ(box_->SelectedColor(), 0x0080FF);
    EXPECT_EQ(box_->CustomCount(), 1);
    EXPECT_EQ(changes.count(), 0); // selecting by program is silent

    box_->SetSelectedColor(0x0080FF); // found now, not added again
    EXPECT_EQ(box_->CustomCount(), 1);
}

TEST_F(ColorComboTest, SystemAndCustomColoursRoundTrip) {
    for (std::int32_t color : {kWindowText, 0x123456, 0x00FFFFFF, -16777201}) {
        box_->SetSelectedColor(color);
        EXPECT_EQ(box_->SelectedColor(), color) << color;
    }
    // A system colour shows its name, not its raw value.
    EXPECT_EQ(box_->itemText(box_->count() - 4), QStringLiteral("ウィンドウの文字"));
    EXPECT_EQ(box_->itemText(box_->count() - 3), QStringLiteral("$123456"));
    EXPECT_EQ(box_->itemText(box_->count() - 2), QStringLiteral("ボタンの表面"));
    EXPECT_EQ(SystemColorName(25), QStringLiteral("システムカラー 25"));
    EXPECT_EQ(SystemColorName(200), QStringLiteral("システムカラー 200"));

    // Without "その他..." the colour has nowhere to go.
    box_->SetSelection(csSystemJ);
    box_->SetSelectedColor(kWindowText);
    EXPECT_EQ(box_->SelectedColor(), clDefault);
}

TEST_F(ColorComboTest, FourthCustomColourDropsTheOldest) {
    box_->SetSelectedColor(0x000001);
    box_->SetSelectedColor(0x000002);
    box_->SetSelectedColor(0x000003);
    box_->SetSelectedColor(0x000004);
    QStringList names = Names(*box_);
    ASSERT_EQ(names.size(), 21);
    EXPECT_EQ(names.mid(17, 3), (QStringList{QStringLiteral("$000002"), QStringLiteral("$000003"),
                                             QStringLiteral("$000004")}));
    EXPECT_EQ(names.back(), QStringLiteral("その他..."));
    EXPECT_EQ(names[16], QStringLiteral("白"));
    EXPECT_EQ(box_->CustomCount(), 3);
    EXPECT_EQ(box_->currentText(), QStringLiteral("$000004"));

    box_->SetMaxCustomCount(1); // a rebuild forgets the custom entries
    EXPECT_EQ(box_->CustomCount(), 0);
    EXPECT_EQ(box_->count(), 18);
}

TEST_F(ColorComboTest, NoRoomForCustomColoursLeavesTheListWhole) {
    box_->SetMaxCustomCount(0);
    EXPECT_EQ(box_->AddCustomColor(QString(), 0x000001), -1);
    box_->SetSelectedColor(0x000001);
    EXPECT_EQ(box_->currentIndex(), -1);
    EXPECT_EQ(box_->count(), 18);
    EXPECT_EQ(box_->itemText(17), QStringLiteral("その他..."));
}

TEST_F(ColorComboTest, CustomEntriesWithoutOtherStayAtTheEnd) {
    box_->SetSelection(csSystemJ);
    box_->SetMaxCustomCount(1);
    box_->AddCustomColor(QStringLiteral("a"), 1);
    box_->AddCustomColor(QStringLiteral("b"), 2);
    QStringList names = Names(*box_);
    ASSERT_EQ(names.size(), 17);
    EXPECT_EQ(names[15], QStringLiteral("白")); // no basic colour given up
    EXPECT_EQ(names[16], QStringLiteral("b"));
}

TEST_F(ColorComboTest, CancelledDialogSelectsTheEntryBeforeOther) {
    QSignalSpy changes(box_.get(), &TColorLookupComboBox::Changed);
    UserPicks(box_->count() - 1);
    EXPECT_EQ(dialogCalls_, 1);
    EXPECT_EQ(box_->currentText(), QStringLiteral("白"));
    EXPECT_EQ(box_->CustomCount(), 0);
    EXPECT_EQ(changes.count(), 1);

    box_->SetSelectedColor(0x000001);
    UserPicks(box_->count() - 1);
    EXPECT_EQ(box_->currentText(), QStringLiteral("$000001"));
}

TEST_F(ColorComboTest, ConfirmedDialogAddsAndSelectsTheColour) {
    dialogAnswer_ = QColor(255, 128, 0);
    QSignalSpy changes(box_.get(), &TColorLookupComboBox::Changed);
    UserPicks(box_->count() - 1);
    EXPECT_EQ(box_->currentText(), QStringLiteral("$0080FF"));
    EXPECT_EQ(box_->SelectedColor(), 0x0080FF);
    EXPECT_EQ(changes.count(), 1);

    UserPicks(2); // an ordinary entry: no dialog
    EXPECT_EQ(box_->currentText(), QStringLiteral("茶色"));
    EXPECT_EQ(dialogCalls_, 1);
    EXPECT_EQ(changes.count(), 2);
}

TEST_F(ColorComboTest, ExtendedColoursComeFromNameValueLines) {
    box_->SetSelection(csExtended);
    box_->SetExtendedColors({QStringLiteral("Orange=$0080FF"), QStringLiteral("=123"),
                             QStringLiteral("NoEquals"), QStringLiteral("Text=-16777208"),
                             QStringLiteral("Bad=12x"), QStringLiteral("orange=5")});
    QStringList names = Names(*box_);
    ASSERT_EQ(names, (QStringList{QStringLiteral("Orange"), QStringLiteral("Text"),
                                  QStringLiteral("Bad"), QStringLiteral("orange")}));
    EXPECT_EQ(box_->ItemColor(0), 0x0080FF);
    EXPECT_EQ(box_->ItemColor(1), kWindowText);
    EXPECT_EQ(box_->ItemColor(2), clDefault);
    EXPECT_EQ(box_->ItemColor(3), 0x0080FF); // a repeated name keeps its first value

    int loads = 0;
    box_->SetOnLoadExtendedColors([&](QStringList& lines) {
        ++loads;
        lines = {QStringLiteral("Sky=$F0CAA6")};
    });
    box_->RebuildItems();
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(Names(*box_), QStringList{QStringLiteral("Sky")});
    EXPECT_EQ(box_->ItemColor(0), 0xF0CAA6);
}

TEST_F(ColorComboTest, SwatchShowsSystemColoursAsTheDesktopHasThem) {
    EXPECT_EQ(box_->DisplayColor(kWindowText), QColor(0, 0, 0));
    box_->SetSystemColorResolver([](int index) { return index == 8 ? 0xFF0000u : 0u; });
    EXPECT_EQ(box_->DisplayColor(kWindowText), QColor(0, 0, 255));
    EXPECT_EQ(box_->DisplayColor(0x1FFFFFFE), QColor(254, 255, 255)); // top byte ignored
    EXPECT_FALSE(box_->DisplayColor(clDefault).isValid());

    box_->resize(120, 24);
    box_->SetSelectedColor(kWindowText);
    QImage image(box_->size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    box_->PaintEntry(painter, image.rect(), box_->currentIndex(), Qt::black);
    painter.end();
    EXPECT_EQ(QColor(image.pixel(14, 12)), QColor(0, 0, 255)); // inside the swatch
    EXPECT_EQ(QColor(image.pixel(1, 12)), QColor(Qt::white));  // left of it

    box_->SetShowName(false);
    image.fill(Qt::white);
    painter.begin(&image);
    box_->PaintEntry(painter, image.rect(), box_->currentIndex(), Qt::black);
    painter.end();
    EXPECT_EQ(QColor(image.pixel(1, 12)), QColor(0, 0, 255)); // the whole entry
}

} // namespace
