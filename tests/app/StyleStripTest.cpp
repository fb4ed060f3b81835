#include "StyleTestHost.h"

#include "app/HtmlThumbnail.h"
#include "app/StylePage.h"
#include "app/StyleStrip.h"
#include "common/Errors.h"
#include "controls/CLCBox.h"
#include "controls/DragEdit.h"
#include "controls/PageScrollBar.h"
#include "controls/PlatformColor.h"

#include <QComboBox>
#include <QImage>

#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

using namespace varnoke;
using namespace varnoke::test;

namespace {

constexpr int W = 80;
constexpr int H = 254;
constexpr int CellH = 60;

bool Near(QRgb pixel, const QColor& color, int tolerance = 0) {
    return std::abs(qRed(pixel) - color.red()) <= tolerance &&
           std::abs(qGreen(pixel) - color.green()) <= tolerance &&
           std::abs(qBlue(pixel) - color.blue()) <= tolerance;
}

bool AnyPixel(const QImage& image, const QRect& rect, const std::function<bool(QRgb)>& test) {
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            if (test(image.pixel(x, y)))
                return true;
    return false;
}

bool OnlyHatch(const QImage& image, const QRect& rect) {
    return !AnyPixel(image, rect,
                     [](QRgb p) { return !Near(p, StripGrey) && !Near(p, StripGapColor); });
}

TEST(StyleStripGeometryTest, CellsAndScrollRangeAtDesignSize) {
    EXPECT_EQ(StripCellHeight(W), CellH);
    EXPECT_EQ(StripSlotCount(W, H), 5);
    EXPECT_EQ(StripSlotCount(W, 240), 4);
    EXPECT_EQ(StripThumbnailSize(W), QSize(228, 120));
    // Pages of (4 x 80) div 3 = 106 pixels: three of them, so the last
    // style can reach the fourth cell.
    EXPECT_EQ(StripScrollMaximum(W, H, 10), 6);
    EXPECT_EQ(StripScrollMaximum(W, H, 4), 0);
    EXPECT_EQ(StripScrollMaximum(W, H, 3), 0);
    EXPECT_EQ(StripScrollMaximum(W, H, 0), 0);
    EXPECT_EQ(StripSlotCount(0, H), 0);
    EXPECT_EQ(StripSlotCount(W, 0), 0);
}

TEST(StyleStripGeometryTest, PlatformColoursTakeRedFromTheLowestByte) {
    EXPECT_EQ(QColorOf(0x0000FF, ClassicSystemColors()), QColor(255, 0, 0));
    EXPECT_EQ(QColorOf(0x1FFF0000, ClassicSystemColors()), QColor(0, 0, 255));
    EXPECT_EQ(QColorOf(ColorWindowText, ClassicSystemColors()), QColor(0, 0, 0));
    EXPECT_EQ(QColorOf(static_cast<std::int32_t>(0xFF00000F), ClassicSystemColors()),
              QColor(192, 192, 192));
}

class StyleStripTest : public ::testing::Test {
  protected:
    void Open(int count) {
        for (int i = 0; i < count; ++i)
            Data().Styles.Add("S" + std::to_string(i));
        page_ = std::make_unique<TStylePage>(host_);
        host_.Attach(page_.get());
        host_.SetRefreshPending();
        host_.RefreshAll();
    }

    TSystemData& Data() { return host_.SystemData(); }
    TStylePage& Page() { return *page_; }
    const QImage& Bitmap() { return Page().Image1()->Bitmap(); }
    void Click(int y, Qt::MouseButton button = Qt::LeftButton) {
        Page().Image1MouseDown(button, Qt::NoModifier, 10, y);
    }
    void Release() { Page().Image1MouseUp(Qt::LeftButton, Qt::NoModifier, 10, 0); }
    QRect Slot(int k) { return QRect(0, k * CellH, W, std::min(CellH, H - k * CellH)); }

    TStyleTestHost host_;
    std::unique_ptr<TStylePage> page_;
};

TEST_F(StyleStripTest, StripHasTheDesignSize) {
    Open(1);
    EXPECT_EQ(Page().Image1()->size(), QSize(W, H));
    EXPECT_EQ(Bitmap().size(), QSize(W, H));
}

TEST_F(StyleStripTest, CellsShowSurroundLabelAndRenderedPage) {
    Data().Styles.Add("PLAIN");
    TCSSProperty& blue = Data().Styles.Items(Data().Styles.Add("BLUE"));
    blue.Background.Color = 0xFF0000;    // blue page
    blue.Chips[ChipH1].Color = 0x00FFFF; // yellow heading
    blue.Chips[ChipH1].BackC = 0xFF0000; // on the page's blue
    Data().StyleIndex = 1;
    Open(0);
    const QImage& strip = Bitmap();

    // Surround: red for the current style, silver for the other.
    EXPECT_TRUE(Near(strip.pixel(0, CellH + 30), StripCurrentColor));
    EXPECT_TRUE(Near(strip.pixel(W - 1, CellH + 30), StripCurrentColor));
    EXPECT_TRUE(Near(strip.pixel(40, 2 * CellH - 1), StripCurrentColor));
    EXPECT_TRUE(Near(strip.pixel(0, 30), StripOtherColor));
    EXPECT_TRUE(Near(strip.pixel(40, 0), StripOtherColor));
    // Label bar: black outline, grey fill beside the short name.
    EXPECT_TRUE(Near(strip.pixel(1, CellH + 8), StripOutline));
    EXPECT_TRUE(Near(strip.pixel(W - 5, CellH + 10), StripGrey));
    EXPECT_TRUE(AnyPixel(strip, QRect(2, CellH + 2, 30, 13),
                         [](QRgb p) { return Near(p, StripLabelText, 40); }));
    // Picture: the page's blue, and the yellow heading in the top-left part.
    const QRect picture(2, CellH + 17, W - 4, CellH - 19);
    EXPECT_TRUE(Near(strip.pixel(3, CellH + 56), QColor(0, 0, 255), 8));
    EXPECT_TRUE(AnyPixel(strip, picture,
                         [](QRgb p) { return qRed(p) > 200 && qGreen(p) > 200 && qBlue(p) < 80; }));
    // The plain style's page is white with black text.
    const QRect plain(2, 17, W - 4, CellH - 19);
    EXPECT_TRUE(Near(strip.pixel(3, 56), QColor(255, 255, 255)));
    EXPECT_FALSE(AnyPixel(strip, plain, [](QRgb p) { return Near(p, QColor(0, 0, 255), 60); }));
    // Below the last style the slots keep the hatch.
    EXPECT_TRUE(OnlyHatch(strip, Slot(2)));
    EXPECT_TRUE(AnyPixel(strip, Slot(2), [](QRgb p) { return Near(p, StripGrey); }));
}

TEST_F(StyleStripTest, NoStylesShowOnlyHatchAndIgnoreClicks) {
    Open(0);
    EXPECT_TRUE(OnlyHatch(Bitmap(), Bitmap().rect()));
    const int previews = host_.Previews;
    Click(10);
    Click(200, Qt::RightButton);
    EXPECT_EQ(Data().StyleIndex, 0);
    EXPECT_EQ(host_.Previews, previews);
    EXPECT_FALSE(Page().StripPressed());
}

TEST_F(StyleStripTest, ClickSelectsTheStyleOfItsCell) {
    Open(3);
    Data().Styles.Items(2).Chips[ChipP].Size = 6;
    const int previews = host_.Previews;
    Click(2 * CellH + 5, Qt::MiddleButton);
    EXPECT_EQ(Data().StyleIndex, 2);
    EXPECT_EQ(host_.Previews, previews + 1);
    EXPECT_EQ(Page().ComboBox(4)->currentIndex(), 6);
    EXPECT_TRUE(Near(Bitmap().pixel(0, 2 * CellH + 30), StripCurrentColor));
    EXPECT_TRUE(Near(Bitmap().pixel(0, 30), StripOtherColor));
    EXPECT_TRUE(Page().StripPressed());

    // Held: another press is ignored until a release.
    Click(CellH + 5, Qt::RightButton);
    EXPECT_EQ(Data().StyleIndex, 2);
    Release();
    EXPECT_FALSE(Page().StripPressed());
    Click(CellH + 5, Qt::RightButton);
    EXPECT_EQ(Data().StyleIndex, 1);
    Release();

    // Below the last style nothing happens.
    Click(3 * CellH + 5);
    EXPECT_EQ(Data().StyleIndex, 1);
    EXPECT_FALSE(Page().StripPressed());
}

TEST_F(StyleStripTest, TenStylesScrollToTheFourthCell) {
    Open(10);
    EXPECT_EQ(Page().ScrollBar1()->maximum(), 6);
    EXPECT_EQ(Page().ScrollBar1()->PageSize(), 1u);

    Page().ScrollBar1()->setValue(6);
    EXPECT_EQ(Data().StyleTop, 6);
    EXPECT_FALSE(host_.Pending);
    // Styles 6 to 9 fill the four whole cells; the cut-off fifth keeps the hatch.
    EXPECT_TRUE(OnlyHatch(Bitmap(), Slot(4)));
    EXPECT_FALSE(OnlyHatch(Bitmap(), Slot(3)));
    EXPECT_TRUE(Near(Bitmap().pixel(0, 30), StripOtherColor));
    Click(3 * CellH + 5);
    EXPECT_EQ(Data().StyleIndex, 9);
    Release();

    // The current style scrolled out of view: a click draws only the new cell.
    Data().StyleIndex = 0;
    Click(5);
    EXPECT_EQ(Data().StyleIndex, 6);
    Release();
}

TEST_F(StyleStripTest, TopIndexFollowsAShorterList) {
    Open(10);
    Page().ScrollBar1()->setValue(6);
    Data().StyleIndex = 9;
    host_.Shown.Answers = {TAnswer::Yes, TAnswer::Yes, TAnswer::Yes, TAnswer::Yes};
    for (int i = 0; i < 4; ++i)
        Page().Button5Click();
    ASSERT_EQ(Data().Styles.Count(), 6);
    EXPECT_EQ(Data().StyleIndex, 5);
    EXPECT_EQ(Page().ScrollBar1()->maximum(), 2);
    EXPECT_EQ(Data().StyleTop, 2);
}

TEST_F(StyleStripTest, NegativeTopIndexLeavesTheFirstSlotsHatched) {
    Data().StyleTop = -2;
    Open(3);
    EXPECT_TRUE(OnlyHatch(Bitmap(), Slot(0)));
    EXPECT_TRUE(OnlyHatch(Bitmap(), Slot(1)));
    EXPECT_TRUE(Near(Bitmap().pixel(0, 2 * CellH + 30), StripCurrentColor));
    Click(5);
    EXPECT_EQ(Data().StyleIndex, 0);
    EXPECT_FALSE(Page().StripPressed());
}

TEST_F(StyleStripTest, EachEditRedrawsTheCurrentThumbnail) {
    Open(2);
    Page().ColorLookupComboBox(3)->SetSelectedColor(0x00FF00);
    emit Page().ColorLookupComboBox(3)->Changed();
    EXPECT_TRUE(Near(Bitmap().pixel(3, 56), QColor(0, 255, 0), 8));
    EXPECT_TRUE(Near(Bitmap().pixel(3, CellH + 56), QColor(255, 255, 255)));
}

TEST(StyleThumbnailTest, RendersThePageBackgroundAtTheImageSize) {
    TScratchFolder folder;
    const std::string page = folder.File("page.html");
    WriteFile(page, "<html><head><link href=\"s.css\" rel=\"stylesheet\" type=\"text/css\">"
                    "</head><body><p>x</p></body></html>");
    WriteFile(folder.File("s.css"), "body {\r\n\tbackground-color: #00ff00;\r\n}\r\n");
    QImage image(228, 120, QImage::Format_RGB32);
    EXPECT_TRUE(ExtractHtmlThumbnail(page, image, 0x206));
    EXPECT_EQ(image.size(), QSize(228, 120));
    EXPECT_TRUE(Near(image.pixel(200, 110), QColor(0, 255, 0)));

    // Without its sheet the page is white.
    std::filesystem::remove(folder.File("s.css"));
    ExtractHtmlThumbnail(page, image, 0x206);
    EXPECT_TRUE(Near(image.pixel(200, 110), QColor(255, 255, 255)));

    EXPECT_THROW(ExtractHtmlThumbnail(folder.File("missing.html"), image, 0x206), EFOpenError);
}

} // namespace

namespace {

TEST_F(StyleStripTest, StripFollowsThePageHeight) {
    Open(10);
    Page().show();
    Page().resize(520, 560);
    // A shown window learns its new size from the window system.
    QTRY_COMPARE_WITH_TIMEOUT(Page().height(), 560, 2000);
    const int h = 560 - 184 - 2;
    EXPECT_EQ(Page().Image1()->height(), h);
    EXPECT_EQ(Bitmap().size(), QSize(W, h));
    // Seven slots now, six of them filled with styles 0 to 5 whole.
    EXPECT_FALSE(OnlyHatch(Bitmap(), QRect(0, 6 * CellH, W, h - 6 * CellH)));
    EXPECT_EQ(Page().ScrollBar1()->maximum(), 5);
}

} // namespace
