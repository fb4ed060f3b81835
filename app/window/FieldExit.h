// When a field counts as left: the user moved on to another control of the
// same window. Opening a menu or switching to another program takes the
// focus too, but the work in the field is not finished then, so handlers
// that act on leaving a field (rebuild, store, report a bad number) wait.
#pragma once

class QEvent;
class QWidget;

namespace varnoke {

// Whether `event`, sent to `field`, is a focus-out to another control of
// the field's window.
bool LeavesForAnotherControl(const QWidget& field, const QEvent& event);

} // namespace varnoke
