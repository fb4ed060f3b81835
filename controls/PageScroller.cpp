#include "controls/PageScroller.h"

namespace varnoke {

TPageScroller::TPageScroller(QWidget* page, const QString& name) {
    setObjectName(name);
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setWidget(page);
}

QSize TPageScroller::sizeHint() const {
    const int frame = 2 * frameWidth();
    return widget() != nullptr ? widget()->sizeHint() + QSize(frame, frame)
                               : QScrollArea::sizeHint();
}

} // namespace varnoke
