#include "app/styles/SelectorGroup.h"

#include <QComboBox>
#include <QEvent>
#include <QLayout>

#include <algorithm>

namespace varnoke {

namespace {
constexpr int MinimumSelectorWidth = 96;
constexpr int Gap = 4;
} // namespace

TSelectorGroup::TSelectorGroup(const QString& caption, QComboBox* selector, QWidget* parent)
    : QGroupBox(caption, parent), selector_(selector) {
    selector_->setParent(this);
    Place();
}

int TSelectorGroup::SelectorLeft() const {
    QString words = title();
    while (!words.isEmpty() && words.back().isSpace())
        words.chop(1);
    return words.isEmpty() ? 8 : 12 + fontMetrics().horizontalAdvance(words);
}

QSize TSelectorGroup::SelectorSize() const {
    const QSize hint = selector_->sizeHint();
    return QSize(std::max(hint.width(), MinimumSelectorWidth), hint.height());
}

QSize TSelectorGroup::minimumSizeHint() const {
    const QSize selector = SelectorSize();
    return QGroupBox::minimumSizeHint().expandedTo(
        QSize(SelectorLeft() + selector.width() + 8, selector.height() + Gap));
}

bool TSelectorGroup::event(QEvent* event) {
    const bool handled = QGroupBox::event(event);
    switch (event->type()) {
    case QEvent::Polish:
    case QEvent::Resize:
    case QEvent::FontChange:
    case QEvent::StyleChange:
    case QEvent::LayoutRequest:
        Place();
        break;
    default:
        break;
    }
    return handled;
}

void TSelectorGroup::Place() {
    const QSize size = SelectorSize();
    const QRect place(QPoint(SelectorLeft(), 0), size);
    if (selector_->geometry() != place)
        selector_->setGeometry(place);
    selector_->raise();
    if (QLayout* contents = layout()) {
        // The group's own contents begin below its caption already.
        const int top = std::max(Gap, size.height() + Gap - contentsRect().top());
        QMargins margins = contents->contentsMargins();
        if (margins.top() != top) {
            margins.setTop(top);
            contents->setContentsMargins(margins);
        }
    }
}

} // namespace varnoke
