#include "controls/PanelEx.h"

#include <QEvent>
#include <QGroupBox>

namespace varnoke {

namespace {

// The containers whose children follow a panel: group boxes, panels and the
// bare QFrame / QWidget that layouts group controls in. Widgets derived from
// QFrame for their border (edits, lists, labels) are controls, not
// containers.
bool IsContainer(const QWidget& widget) {
    const QMetaObject* type = widget.metaObject();
    return qobject_cast<const QGroupBox*>(&widget) != nullptr ||
           qobject_cast<const TPanelEx*>(&widget) != nullptr || type == &QFrame::staticMetaObject ||
           type == &QWidget::staticMetaObject;
}

} // namespace

TPanelEx::TPanelEx(QWidget* parent) : QFrame(parent) {}

void TPanelEx::SetEnabled(bool enabled) {
    if (enabled && updateParent_ && parentWidget() != nullptr)
        parentWidget()->setEnabled(true);
    setEnabled(enabled);
}

void TPanelEx::changeEvent(QEvent* event) {
    QFrame::changeEvent(event);
    if (event->type() != QEvent::EnabledChange)
        return;
    const bool enabled = isEnabled();
    // Qt repaints a widget whose enabled state changes, so a group box
    // redraws its caption without being asked.
    if (updateParent_ && parentWidget() != nullptr)
        parentWidget()->setEnabled(enabled);
    SetChildrenEnabled(*this, enabled);
}

void SetChildrenEnabled(QWidget& control, bool enabled) {
    const QObjectList children = control.children();
    for (QObject* child : children) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget == nullptr || widget->isWindow())
            continue;
        widget->setEnabled(enabled);
        if (IsContainer(*widget))
            SetChildrenEnabled(*widget, enabled);
    }
}

} // namespace varnoke
