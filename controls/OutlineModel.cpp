#include "controls/OutlineModel.h"

#include "common/ShiftJis.h"
#include "controls/ChangedBlocks.h"
#include "controls/ShownText.h"

#include <QTextBlock>
#include <QTextDocument>

namespace varnoke {

namespace {

// A block as the outline needs it. Only the first two characters decide
// the kind of a line, and a tab or "#" is the same byte in Shift-JIS, so
// body lines and comments are handed over by those two alone: the long
// lines of body text are never converted.
std::string OutlineLine(const QTextBlock& block) {
    const QString text = block.text();
    if (text.startsWith(QLatin1String("\t\t")) || text.startsWith(QLatin1Char('#')))
        return text.left(2).toStdString();
    const QByteArray utf8 = text.toUtf8();
    return Utf8ToSjis(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
}

} // namespace

TOutlineModel::TOutlineModel(QTextDocument& document, QObject* parent)
    : QStandardItemModel(parent), document_(document) {
    ReadLines(0, 0, 0, document_.blockCount() - 1);
    connect(&document_, &QTextDocument::contentsChange, this, &TOutlineModel::ContentsChange);
}

void TOutlineModel::ContentsChange(int position, int /*charsRemoved*/, int charsAdded) {
    TChangedBlocks changed;
    if (!ChangedBlocks(document_, position, charsAdded, outline_.LineCount(), changed)) {
        // A change the report does not cover: read the whole text again.
        ReadLines(0, outline_.LineCount(), 0, document_.blockCount() - 1);
        return;
    }
    ReadLines(changed.First, changed.Removed, changed.First, changed.Last);
}

void TOutlineModel::ReadLines(int first, int removed, int firstBlock, int lastBlock) {
    std::vector<std::string> lines;
    lines.reserve(static_cast<size_t>(lastBlock - firstBlock + 1));
    for (QTextBlock block = document_.findBlockByNumber(firstBlock);
         block.isValid() && block.blockNumber() <= lastBlock; block = block.next())
        lines.push_back(OutlineLine(block));
    Apply(outline_.Replace(first, removed, lines));
}

void TOutlineModel::Apply(const std::vector<TOutlineEdit>& edits) {
    using TKind = TOutlineEdit::TKind;
    for (const TOutlineEdit& edit : edits) {
        QStandardItem* parent = Parent(edit.Parent);
        switch (edit.Kind) {
        case TKind::Insert:
            parent->insertRow(edit.Row, NewItem(edit.Heading));
            break;
        case TKind::Remove:
            parent->removeRow(edit.Row);
            break;
        case TKind::Move: {
            // Taken out whole and put back: one removal and one insertion
            // however many entries move.
            QList<QStandardItem*> moved;
            for (int i = 0; i < edit.Count; ++i)
                moved << parent->takeChild(edit.Row + i);
            parent->removeRows(edit.Row, edit.Count);
            Parent(edit.ToParent)->insertRows(edit.ToRow, moved);
            break;
        }
        case TKind::Retext:
            parent->child(edit.Row)->setText(ShownText(outline_.Headings()[edit.Heading].Text));
            break;
        }
    }
    if (!edits.empty())
        emit OutlineChanged();
}

QStandardItem* TOutlineModel::Parent(int top) const {
    return top < 0 ? invisibleRootItem() : item(top);
}

QStandardItem* TOutlineModel::NewItem(int heading) const {
    const THeading& entry = outline_.Headings()[static_cast<size_t>(heading)];
    auto* item = new QStandardItem(ShownText(entry.Text));
    item->setEditable(false);
    if (entry.Main) {
        QFont font = item->font();
        font.setBold(true);
        item->setFont(font);
    }
    return item;
}

int TOutlineModel::LineOf(const QModelIndex& index) const {
    if (!index.isValid())
        return -1;
    const TOutlinePlace place = index.parent().isValid()
                                    ? TOutlinePlace{index.parent().row(), index.row()}
                                    : TOutlinePlace{index.row(), -1};
    const int heading = outline_.HeadingAt(place);
    return heading < 0 ? -1 : outline_.Headings()[static_cast<size_t>(heading)].Line;
}

QModelIndex TOutlineModel::IndexAtLine(int line) const {
    const TOutlinePlace place = outline_.PlaceOf(outline_.HeadingAtLine(line));
    if (place.Top < 0)
        return {};
    const QModelIndex top = index(place.Top, 0);
    return place.Child < 0 ? top : index(place.Child, 0, top);
}

} // namespace varnoke
