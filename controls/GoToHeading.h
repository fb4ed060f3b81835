// "Go to heading": a small field over the top of the editor that lists the
// headings whose text holds what has been typed so far. Up and Down choose,
// Enter (or a click) jumps to the heading's line, Esc closes and leaves the
// caret where it was.
#pragma once

#include <QFrame>

class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;

namespace varnoke {

class THeadingOutline;

class TGoToHeading : public QFrame {
    Q_OBJECT

  public:
    // Lies over the editor; the outline must outlive it.
    TGoToHeading(QPlainTextEdit& editor, const THeadingOutline& outline);

    void Open();
    void Close();

    QLineEdit& Field() { return *field_; }
    QListWidget& List() { return *list_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Filter();
    void Jump(QListWidgetItem* item);
    void Place();

    QPlainTextEdit& editor_;
    const THeadingOutline& outline_;
    QLineEdit* field_;
    QListWidget* list_;
};

} // namespace varnoke
