// A group box titled by a selector: the combo box sits over the blank end
// of the group's caption, so that the caption's words (if any) and the
// selector read as the group's title, and the contents start below it. The
// selector keeps the size it needs whatever the font and style make of it.
#pragma once

#include <QGroupBox>

class QComboBox;

namespace varnoke {

class TSelectorGroup : public QGroupBox {
    Q_OBJECT

  public:
    // Takes the selector as its child. The contents are a layout set on the
    // group as usual; its top margin is the group's to keep.
    TSelectorGroup(const QString& caption, QComboBox* selector, QWidget* parent = nullptr);

    QSize minimumSizeHint() const override;

  protected:
    bool event(QEvent* event) override;

  private:
    int SelectorLeft() const;
    QSize SelectorSize() const;
    void Place();

    QComboBox* selector_;
};

} // namespace varnoke
