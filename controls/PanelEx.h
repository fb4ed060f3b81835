// A panel that passes a change of its enabled state on to the controls it
// holds and, when asked, to its parent. The window builds its areas from
// such panels and switches the style editor on and off through one.
#pragma once

#include <QFrame>

namespace varnoke {

class TPanelEx : public QFrame {
    Q_OBJECT

  public:
    explicit TPanelEx(QWidget* parent = nullptr);

    // When true, the parent takes the panel's enabled state as well.
    bool UpdateParent() const { return updateParent_; }
    void SetUpdateParent(bool value) { updateParent_ = value; }

    // Enables or disables the panel. Prefer it to setEnabled when
    // UpdateParent is on: Qt ignores enabling a child of a disabled parent,
    // so the parent has to be enabled first.
    void SetEnabled(bool enabled);

  protected:
    void changeEvent(QEvent* event) override;

  private:
    bool updateParent_ = false;
};

// Sets the enabled state of every direct child of `control`, in child order,
// and of the children of those that are plain containers (panels, group
// boxes, frames). Other controls (edits, combo boxes, page controls) take the
// state themselves, but their own children keep theirs.
void SetChildrenEnabled(QWidget& control, bool enabled);

} // namespace varnoke
