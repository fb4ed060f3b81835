// The "見出し" list beside the editor: the main headings and headings of the
// text as a tree. A click on an entry puts the caret on the heading's line
// and scrolls the editor there; the entry of the heading under the caret is
// highlighted as the caret moves.
#pragma once

#include <QWidget>

class QPlainTextEdit;
class QTreeView;

namespace varnoke {

class TOutlineModel;

class TOutlinePane : public QWidget {
    Q_OBJECT

  public:
    explicit TOutlinePane(QPlainTextEdit& editor, QWidget* parent = nullptr);

    TOutlineModel& Model() { return *model_; }
    QTreeView& Tree() { return *tree_; }

  private:
    void GoToEntry(const QModelIndex& index);
    void ShowCaretHeading();

    QPlainTextEdit& editor_;
    TOutlineModel* model_;
    QTreeView* tree_;
};

// Puts the caret at the start of the line and scrolls the editor so that
// the line is its first visible one (or as near the top as the text allows),
// then gives the editor the focus.
void ShowLineAtTop(QPlainTextEdit& editor, int line);

} // namespace varnoke
