// The headings of an editor's text as an item model for a tree view, kept in
// step with every change of the document: a change reads only the lines it
// touched and moves only the entries whose place changed, so a key press in
// a large text costs next to nothing and the view keeps what the user
// expanded and selected.
#pragma once

#include "convert/HeadingOutline.h"

#include <QStandardItemModel>

class QTextDocument;

namespace varnoke {

class TOutlineModel : public QStandardItemModel {
    Q_OBJECT

  public:
    // Follows the document from now on; it must outlive the model.
    explicit TOutlineModel(QTextDocument& document, QObject* parent = nullptr);

    const THeadingOutline& Outline() const { return outline_; }
    // The line of the heading an index shows, or -1.
    int LineOf(const QModelIndex& index) const;
    // The entry of the heading whose part of the text holds the line.
    QModelIndex IndexAtLine(int line) const;

  signals:
    // After the entries have followed a change of the text.
    void OutlineChanged();

  private:
    void ContentsChange(int position, int charsRemoved, int charsAdded);
    void ReadLines(int first, int removed, int firstBlock, int lastBlock);
    void Apply(const std::vector<TOutlineEdit>& edits);
    QStandardItem* Parent(int top) const;
    QStandardItem* NewItem(int heading) const;

    QTextDocument& document_;
    THeadingOutline outline_;
};

} // namespace varnoke
