#include "StyleWindowTest.h"

#include "app/preview/HtmlThumbnail.h"
#include "app/styles/StylePage.h"
#include "app/styles/StyleStrip.h"
#include "app/window/StatusLine.h"
#include "common/Errors.h"
#include "controls/CLCBox.h"
#include "controls/DragEdit.h"
#include "controls/PageScrollBar.h"
#include "controls/PlatformColor.h"

#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSplitter>
#include <QTabWidget>

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
constexpr int CellH = 60;
constexpr int DesignH = 254; // the strip at design size

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
    EXPECT_EQ(StripSlotCount(W, DesignH), 5);
    EXPECT_EQ(StripSlotCount(W, 240), 4);
    EXPECT_EQ(StripThumbnailSize(W), QSize(228, 120));
    // Pages of (4 x 80) div 3 = 106 pixels: three of them, so the last
    // style can reach the fourth cell.
    EXPECT_EQ(StripScrollMaximum(W, DesignH, 10), 6);
    EXPECT_EQ(StripScrollMaximum(W, DesignH, 4), 0);
    EXPECT_EQ(StripScrollMaximum(W, DesignH, 3), 0);
    EXPECT_EQ(StripScrollMaximum(W, DesignH, 0), 0);
    EXPECT_EQ(StripSlotCount(0, DesignH), 0);
    EXPECT_EQ(StripSlotCount(W, 0), 0);
}

TEST(StyleStripGeometryTest, PlatformColoursTakeRedFromTheLowestByte) {
    EXPECT_EQ(QColorOf(0x0000FF, ClassicSystemColors()), QColor(255, 0, 0));
    EXPECT_EQ(QColorOf(0x1FFF0000, ClassicSystemColors()), QColor(0, 0, 255));
    EXPECT_EQ(QColorOf(ColorWindowText, ClassicSystemColors()), QColor(0, 0, 0));
    EXPECT_EQ(QColorOf(static_cast<std::int32_t>(0xFF00000F), ClassicSystemColors()),
              QColor(192, 192, 192));
}

// The strip in the window, shown at its default size: its height is what
// the window's layout gives it, so the expectations follow the strip's size.
class StyleStripTest : public TStyleWindowTest {
  protected:
    void Open(int count, const std::string& more = "") {
        std::string ini = count > 0 ? "[STYLE]\r\nCOUNT=" + std::to_string(count) + "\r\n" : "";
        for (int i = 0; i < count; ++i)
            ini += "STYLE" + std::to_string(i) + "=S" + std::to_string(i) + "\r\n";
        ini += more;
        // Always a settings file: a first start would bring the ready styles.
        TWindowTest::Open(ini.empty() ? "[SYSTEM]\r\n" : ini);
        Find<QTabWidget>("PageControl1")->setCurrentIndex(1);
        ShowActive();
        QApplication::processEvents();
    }

    const QImage& Bitmap() { return Page().Image1()->Bitmap(); }
    int H() { return Page().Image1()->height(); }
    int Slots() { return StripSlotCount(W, H()); }
    void Press(int y, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mousePress(Page().Image1(), button, Qt::NoModifier, QPoint(10, y));
    }
    void Release() { QTest::mouseRelease(Page().Image1(), Qt::LeftButton, Qt::NoModifier); }
    void Click(int y, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(Page().Image1(), button, Qt::NoModifier, QPoint(10, y));
    }
    QRect Slot(int k) { return QRect(0, k * CellH, W, std::min(CellH, H() - k * CellH)); }
};

TEST_F(StyleStripTest, StripIsEightyPixelsWideAndFollowsThePageHeight) {
    Open(1);
    EXPECT_EQ(Page().Image1()->width(), W);
    EXPECT_GE(H(), 2 * CellH);
    EXPECT_EQ(Bitmap().size(), Page().Image1()->size());
}

TEST_F(StyleStripTest, CellsShowSurroundLabelAndRenderedPage) {
    // A plain style, and a blue page with a yellow heading on the page's
    // blue; the second one is current.
    Open(0, "[STYLE]\r\nCOUNT=2\r\nSTYLE0=PLAIN\r\nSTYLE1=BLUE\r\n"
            "[BLUE_BG]\r\nCOLOR=16711680\r\n[BLUE_H1_FONT]\r\nCOLOR=65535\r\n"
            "BACKC=16711680\r\n[SYSTEM]\r\nSTYLEINDEX=1\r\n");
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
    const size_t previews = preview.Pages.size();
    Click(10);
    Click(H() - 5, Qt::RightButton);
    EXPECT_EQ(Data().StyleIndex, 0);
    EXPECT_EQ(preview.Pages.size(), previews);
    EXPECT_FALSE(Page().StripPressed());
}

TEST_F(StyleStripTest, ClickSelectsTheStyleOfItsCell) {
    Open(3, "[S2_P_FONT]\r\nSIZE=6\r\n");
    const size_t previews = preview.Pages.size();
    Press(2 * CellH + 5, Qt::MiddleButton);
    EXPECT_EQ(Data().StyleIndex, 2);
    EXPECT_EQ(preview.Pages.size(), previews + 1);
    EXPECT_EQ(Page().ComboBox(4)->currentIndex(), 6);
    EXPECT_TRUE(Near(Bitmap().pixel(0, 2 * CellH + 30), StripCurrentColor));
    EXPECT_TRUE(Near(Bitmap().pixel(0, 30), StripOtherColor));
    EXPECT_TRUE(Page().StripPressed());

    // Held: another press is ignored until a release.
    Press(CellH + 5, Qt::RightButton);
    EXPECT_EQ(Data().StyleIndex, 2);
    Release();
    EXPECT_FALSE(Page().StripPressed());
    Click(CellH + 5, Qt::RightButton);
    EXPECT_EQ(Data().StyleIndex, 1);

    // Below the last style nothing happens.
    Click(3 * CellH + 5);
    EXPECT_EQ(Data().StyleIndex, 1);
    EXPECT_FALSE(Page().StripPressed());
}

TEST_F(StyleStripTest, TheLastStyleScrollsIntoTheLastWholeCell) {
    Open(20);
    const int maximum = StripScrollMaximum(W, H(), 20);
    EXPECT_EQ(Page().ScrollBar1()->maximum(), maximum);
    EXPECT_EQ(Page().ScrollBar1()->PageSize(), 1u);

    QTest::keyClick(Page().ScrollBar1(), Qt::Key_End);
    EXPECT_EQ(Data().StyleTop, maximum);
    EXPECT_FALSE(window->RefreshPending());
    // Style 19 stands in a whole cell; the slots after it keep the hatch.
    const int last = 19 - maximum;
    ASSERT_LT(last, Slots());
    EXPECT_LE((last + 1) * CellH, H());
    EXPECT_FALSE(OnlyHatch(Bitmap(), Slot(last)));
    for (int k = last + 1; k < Slots(); ++k)
        EXPECT_TRUE(OnlyHatch(Bitmap(), Slot(k))) << k;
    Click(last * CellH + 5);
    EXPECT_EQ(Data().StyleIndex, 19);

    // The current style scrolled out of view: a click draws only the new cell.
    ClickSlot(0);
    EXPECT_EQ(Data().StyleIndex, maximum);
}

TEST_F(StyleStripTest, TopIndexFollowsAShorterList) {
    Open(20);
    QTest::keyClick(Page().ScrollBar1(), Qt::Key_End);
    const int last = 19 - Data().StyleTop;
    Click(last * CellH + 5);
    ASSERT_EQ(Data().StyleIndex, 19);
    dialogs->Answers = std::deque<TAnswer>(14, TAnswer::Yes);
    for (int i = 0; i < 14; ++i)
        Page().Button(5)->click();
    ASSERT_EQ(Styles().Count(), 6);
    EXPECT_EQ(Data().StyleIndex, 5);
    EXPECT_EQ(Page().ScrollBar1()->maximum(), StripScrollMaximum(W, H(), 6));
    EXPECT_EQ(Data().StyleTop, Page().ScrollBar1()->maximum());
}

TEST_F(StyleStripTest, NegativeTopIndexLeavesTheFirstSlotsHatched) {
    Open(3, "[SYSTEM]\r\nSTYLETOP=-2\r\n");
    EXPECT_TRUE(OnlyHatch(Bitmap(), Slot(0)));
    EXPECT_TRUE(OnlyHatch(Bitmap(), Slot(1)));
    EXPECT_TRUE(Near(Bitmap().pixel(0, 2 * CellH + 30), StripCurrentColor));
    Click(5);
    EXPECT_EQ(Data().StyleIndex, 0);
    EXPECT_FALSE(Page().StripPressed());
}

TEST_F(StyleStripTest, EachEditRedrawsTheCurrentThumbnail) {
    Open(2);
    PickColor(3, 0x00FF00);
    EXPECT_TRUE(Near(Bitmap().pixel(3, 56), QColor(0, 255, 0), 8));
    EXPECT_TRUE(Near(Bitmap().pixel(3, CellH + 56), QColor(255, 255, 255)));
}

TEST_F(StyleStripTest, AFailedRepaintStopsTheRefreshThatAskedForIt) {
    Open(2);
    // Without the sample page no thumbnail can be rendered.
    std::filesystem::remove(Temp("sample.html"));
    Find<QGroupBox>("RadioGroup1")->findChildren<QRadioButton*>()[1]->click();
    EXPECT_EQ(window->ProjectData().ContentsType, 1);
    ASSERT_EQ(Errors().size(), 1);
    EXPECT_TRUE(Errors()[0].contains("sample.html"));
    // The refresh stopped at the strip: the page does not show the frame
    // options enabled yet, and the refresh is still pending.
    EXPECT_FALSE(Find<QGroupBox>("GroupBox2")->isEnabled());
    EXPECT_TRUE(window->RefreshPending());
}

TEST_F(StyleStripTest, AFailingStripIsNotToldAgainAtEveryResize) {
    Open(2);
    std::filesystem::remove(Temp("sample.html"));
    window->MarkModified(); // anything that leaves a refresh to do
    window->SetRefreshPending();
    for (int step = 1; step <= 5; ++step) {
        window->resize(window->width() + 10, window->height() + 10);
        QApplication::processEvents();
    }
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join("\n").toStdString();
    EXPECT_TRUE(window->StatusLine().MessageText().contains("sample.html"));
}

TEST_F(StyleStripTest, StripFollowsTheSettingsHeight) {
    Open(20);
    const int before = H();
    // A taller window, and the splitter pulled up so that the settings get
    // the height.
    const int startHeight = window->height();
    window->resize(window->width(), startHeight + 4 * CellH);
    ASSERT_TRUE(Eventually([&] { return window->height() == startHeight + 4 * CellH; }));
    auto* previewSplit = Find<QSplitter>("Splitter2");
    const QList<int> sizes = previewSplit->sizes();
    previewSplit->setSizes({200, sizes[0] + sizes[1] - 200});
    ASSERT_TRUE(Eventually([&] { return H() > before + 2 * CellH; }));
    QApplication::processEvents();
    EXPECT_EQ(Bitmap().size(), Page().Image1()->size());
    EXPECT_EQ(Page().ScrollBar1()->maximum(), StripScrollMaximum(W, H(), 20));
    // Every whole slot holds its style.
    for (int k = 0; k < H() / CellH; ++k)
        EXPECT_FALSE(OnlyHatch(Bitmap(), Slot(k))) << k;
}

TEST(StyleThumbnailTest, RendersThePageBackgroundAtTheImageSize) {
    TScratchFolder folder;
    const TNativePath page = folder.Native("page.html");
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

    EXPECT_THROW(ExtractHtmlThumbnail(folder.Native("missing.html"), image, 0x206), EFOpenError);
}

} // namespace
