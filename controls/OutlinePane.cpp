#include "controls/OutlinePane.h"

#include "controls/OutlineModel.h"

#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTreeView>
#include <QVBoxLayout>

namespace varnoke {

TOutlinePane::TOutlinePane(QPlainTextEdit& editor, QWidget* parent)
    : QWidget(parent), editor_(editor), model_(new TOutlineModel(*editor.document(), this)),
      tree_(new QTreeView) {
    setObjectName(QStringLiteral("OutlinePane"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    auto* title = new QLabel(QStringLiteral("見出し"));
    layout->addWidget(title);

    tree_->setObjectName(QStringLiteral("OutlineTree"));
    tree_->setModel(model_);
    tree_->setHeaderHidden(true);
    tree_->setUniformRowHeights(true); // keeps a long outline quick to lay out
    tree_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree_->setSelectionMode(QAbstractItemView::SingleSelection);
    tree_->setIndentation(12);
    tree_->setTextElideMode(Qt::ElideRight);
    tree_->expandAll();
    title->setBuddy(tree_);
    layout->addWidget(tree_, 1);

    connect(tree_, &QTreeView::clicked, this, &TOutlinePane::GoToEntry);
    connect(tree_, &QTreeView::activated, this, &TOutlinePane::GoToEntry);
    // A new main heading shows its headings; what the user folded stays so.
    connect(model_, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex& under, int first, int last) {
                if (under.isValid())
                    return;
                for (int row = first; row <= last; ++row)
                    tree_->expand(model_->index(row, 0));
            });
    connect(model_, &TOutlineModel::OutlineChanged, this, &TOutlinePane::ShowCaretHeading);
    connect(&editor_, &QPlainTextEdit::cursorPositionChanged, this,
            &TOutlinePane::ShowCaretHeading);
    ShowCaretHeading();
}

void TOutlinePane::GoToEntry(const QModelIndex& index) {
    const int line = model_->LineOf(index);
    if (line >= 0)
        ShowLineAtTop(editor_, line);
}

void TOutlinePane::ShowCaretHeading() {
    QModelIndex index = model_->IndexAtLine(editor_.textCursor().blockNumber());
    // Inside a folded main heading, the main heading stands for it: the
    // outline does not unfold itself as the caret moves.
    if (index.parent().isValid() && !tree_->isExpanded(index.parent()))
        index = index.parent();
    if (index == tree_->currentIndex())
        return;
    if (!index.isValid()) {
        tree_->selectionModel()->clear();
        return;
    }
    tree_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    tree_->scrollTo(index);
}

void ShowLineAtTop(QPlainTextEdit& editor, int line) {
    const QTextBlock block = editor.document()->findBlockByNumber(line);
    if (!block.isValid())
        return;
    QTextCursor cursor(block);
    // Scrolled to the end first, the caret's line is brought into view from
    // below, which leaves it at the top.
    editor.verticalScrollBar()->setValue(editor.verticalScrollBar()->maximum());
    editor.setTextCursor(cursor);
    editor.ensureCursorVisible();
    editor.setFocus(Qt::OtherFocusReason);
}

} // namespace varnoke
