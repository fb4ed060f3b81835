// A scroll bar whose thumb covers a page of positions, so that the position
// stops at the last full page: with Max 6 and a page of 3 the last position
// is 4. The style thumbnail strip scrolls with one.
#pragma once

#include <QScrollBar>

#include <cstdint>

namespace varnoke {

class TPageScrollBar : public QScrollBar {
    Q_OBJECT

  public:
    explicit TPageScrollBar(Qt::Orientation orientation = Qt::Vertical, QWidget* parent = nullptr);

    // Positions per page; 0 means no page (the position can reach the
    // maximum). Shown as the thumb's size and used as the page step.
    std::uint32_t PageSize() const { return pageSize_; }
    void SetPageSize(std::uint32_t value);

  private:
    // Runs for every scroll action before the position is stored and
    // valueChanged is raised.
    void KeepLastPageFull();

    std::uint32_t pageSize_ = 0;
};

} // namespace varnoke
