#include "controls/PageScrollBar.h"

#include <algorithm>
#include <limits>

namespace varnoke {

TPageScrollBar::TPageScrollBar(Qt::Orientation orientation, QWidget* parent)
    : QScrollBar(orientation, parent) {
    connect(this, &QAbstractSlider::actionTriggered, this, &TPageScrollBar::KeepLastPageFull);
}

void TPageScrollBar::SetPageSize(std::uint32_t value) {
    if (value == pageSize_)
        return;
    pageSize_ = value;
    // Qt draws the thumb from the page step; a page of 0 still pages by one.
    const auto step =
        std::min<std::uint32_t>(std::max<std::uint32_t>(value, 1), std::numeric_limits<int>::max());
    setPageStep(static_cast<int>(step));
}

void TPageScrollBar::KeepLastPageFull() {
    if (pageSize_ == 0)
        return;
    // 64-bit, so that a page larger than the range cannot wrap around.
    const long long lastFullPage = static_cast<long long>(maximum()) - pageSize_ + 1;
    if (sliderPosition() > lastFullPage)
        setSliderPosition(static_cast<int>(std::max<long long>(lastFullPage, minimum())));
}

} // namespace varnoke
