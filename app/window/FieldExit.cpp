#include "app/window/FieldExit.h"

#include <QApplication>
#include <QFocusEvent>
#include <QWidget>

namespace varnoke {

bool LeavesForAnotherControl(const QWidget& field, const QEvent& event) {
    if (event.type() != QEvent::FocusOut)
        return false;
    switch (static_cast<const QFocusEvent&>(event).reason()) {
    case Qt::ActiveWindowFocusReason: // another program, or a dialog
    case Qt::PopupFocusReason:        // a menu or a drop-down list
    case Qt::MenuBarFocusReason:
        return false;
    default:
        break;
    }
    // The focus has already moved when the field hears of it.
    const QWidget* next = QApplication::focusWidget();
    return next != nullptr && next != &field && next->window() == field.window();
}

} // namespace varnoke
