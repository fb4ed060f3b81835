#include "controls/PageScrollBar.h"

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>

#include <gtest/gtest.h>

using namespace varnoke;

namespace {

class TThumbBar : public TPageScrollBar {
  public:
    TThumbBar() : TPageScrollBar(Qt::Vertical) {}
    QRect Thumb() const {
        QStyleOptionSlider option;
        initStyleOption(&option);
        return style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider,
                                       this);
    }
};

class PageScrollBarTest : public ::testing::Test {
  protected:
    // Drags the thumb of a strip-sized bar past its lower end; returns the
    // positions the change event reported.
    static std::vector<int> DragToEnd(int maximum, std::uint32_t pageSize) {
        TThumbBar bar;
        bar.setRange(0, maximum);
        bar.SetPageSize(pageSize);
        bar.resize(16, 256);
        bar.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&bar));
        std::vector<int> reported;
        QObject::connect(&bar, &QAbstractSlider::valueChanged,
                         [&](int value) { reported.push_back(value); });
        const QPoint start = bar.Thumb().center();
        QTest::mousePress(&bar, Qt::LeftButton, {}, start);
        for (int y = start.y(); y <= 300; y += 20) {
            QMouseEvent move(QEvent::MouseMove, QPointF(start.x(), y),
                             bar.mapToGlobal(QPointF(start.x(), y)), Qt::NoButton, Qt::LeftButton,
                             Qt::NoModifier);
            QCoreApplication::sendEvent(&bar, &move);
        }
        QTest::mouseRelease(&bar, Qt::LeftButton, {}, QPoint(start.x(), 300));
        EXPECT_FALSE(reported.empty());
        EXPECT_EQ(bar.value(), reported.empty() ? -1 : reported.back());
        return reported;
    }
};

TEST_F(PageScrollBarTest, DraggingStopsAtTheLastFullPage) {
    EXPECT_EQ(DragToEnd(6, 1).back(), 6);
    EXPECT_EQ(DragToEnd(6, 0).back(), 6);
    const std::vector<int> paged = DragToEnd(6, 3);
    EXPECT_EQ(paged.back(), 4);
    // The position is lowered before it is stored: no change event ever
    // reports a position past the last full page.
    for (int value : paged)
        EXPECT_LE(value, 4);
}

TEST_F(PageScrollBarTest, EveryScrollActionIsLimited) {
    TPageScrollBar bar;
    bar.setRange(0, 6);
    bar.SetPageSize(3);
    QSignalSpy changes(&bar, &QAbstractSlider::valueChanged);
    bar.triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(bar.value(), 4);
    bar.triggerAction(QAbstractSlider::SliderSingleStepAdd);
    bar.triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(bar.value(), 4);
    EXPECT_EQ(changes.count(), 1);
    bar.triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(bar.value(), 1);

    // A page larger than the range keeps the bar at its minimum.
    bar.setRange(2, 4);
    bar.SetPageSize(10);
    bar.triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(bar.value(), 2);
    bar.SetPageSize(0xFFFFFFFFu);
    bar.triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(bar.value(), 2);
}

TEST_F(PageScrollBarTest, PageSizeReachesTheBarOnlyWhenItChanges) {
    TPageScrollBar bar;
    EXPECT_EQ(bar.PageSize(), 0u);
    bar.SetPageSize(3);
    EXPECT_EQ(bar.pageStep(), 3);
    bar.setPageStep(5); // changed behind the property's back
    bar.SetPageSize(3);
    EXPECT_EQ(bar.pageStep(), 5);
    bar.SetPageSize(0);
    EXPECT_EQ(bar.PageSize(), 0u);
    EXPECT_EQ(bar.pageStep(), 1);
}

} // namespace
