// A page of a page control that keeps at least its minimum size and
// scrolls when the window leaves it less, rather than squeezing its rows.
#pragma once

#include <QScrollArea>

namespace varnoke {

class TPageScroller : public QScrollArea {
  public:
    // Holds the page, frameless, under the given object name.
    TPageScroller(QWidget* page, const QString& name);

    // The whole page (Qt's scroll area caps its wish at a few dozen lines),
    // so that a window with room to spare shows the page unscrolled.
    QSize sizeHint() const override;
};

} // namespace varnoke
