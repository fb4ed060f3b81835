#include "controls/GoToHeading.h"

#include "common/ShiftJis.h"
#include "controls/OutlinePane.h"
#include "controls/ShownText.h"
#include "convert/HeadingOutline.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace varnoke {

namespace {
// More would only slow typing in a long manual; the field narrows them.
constexpr int MaxListed = 500;
constexpr int RowsShown = 12;
} // namespace

TGoToHeading::TGoToHeading(QPlainTextEdit& editor, const THeadingOutline& outline)
    : QFrame(&editor), editor_(editor), outline_(outline), field_(new QLineEdit),
      list_(new QListWidget) {
    setObjectName(QStringLiteral("GoToHeading"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    // The window's colours, not the editor's white on black it lies over: set
    // role by role, as a palette taken whole would still give way to the
    // editor's.
    QPalette colours;
    const QPalette& standard = QApplication::palette();
    for (int role = 0; role < QPalette::NColorRoles; ++role) {
        const auto colourRole = static_cast<QPalette::ColorRole>(role);
        for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            colours.setBrush(group, colourRole, standard.brush(group, colourRole));
    }
    setPalette(colours);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(3, 3, 3, 3);
    layout->setSpacing(2);
    field_->setObjectName(QStringLiteral("GoToHeadingText"));
    field_->setPlaceholderText(QStringLiteral("見出しへ移動"));
    list_->setObjectName(QStringLiteral("GoToHeadingList"));
    // The field keeps the focus while the list is clicked.
    list_->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(field_);
    layout->addWidget(list_);
    field_->installEventFilter(this);
    connect(field_, &QLineEdit::textChanged, this, &TGoToHeading::Filter);
    connect(list_, &QListWidget::itemClicked, this, &TGoToHeading::Jump);
    hide();
}

void TGoToHeading::Open() {
    field_->clear();
    Filter();
    Place();
    show();
    raise();
    field_->setFocus(Qt::ShortcutFocusReason);
}

void TGoToHeading::Close() {
    if (isHidden())
        return;
    hide();
    editor_.setFocus(Qt::OtherFocusReason);
}

void TGoToHeading::Filter() {
    const QString wanted = field_->text().trimmed();
    list_->clear();
    for (const THeading& heading : outline_.Headings()) {
        const QString text = ShownText(heading.Text);
        if (!wanted.isEmpty() && !text.contains(wanted, Qt::CaseInsensitive))
            continue;
        auto* item = new QListWidgetItem(heading.Main ? text : QStringLiteral("　") + text);
        item->setData(Qt::UserRole, heading.Line);
        if (heading.Main) {
            QFont font = item->font();
            font.setBold(true);
            item->setFont(font);
        }
        list_->addItem(item);
        if (list_->count() == MaxListed)
            break;
    }
    list_->setCurrentRow(list_->count() > 0 ? 0 : -1);
}

void TGoToHeading::Jump(QListWidgetItem* item) {
    if (item == nullptr)
        return;
    const int line = item->data(Qt::UserRole).toInt();
    hide();
    ShowLineAtTop(editor_, line);
}

void TGoToHeading::Place() {
    const int width = std::min(editor_.width() - 16, 420);
    const int rowHeight = std::max(list_->sizeHintForRow(0), fontMetrics().height());
    const int height = field_->sizeHint().height() + rowHeight * RowsShown + 12;
    setGeometry((editor_.width() - width) / 2, 4, width, std::min(height, editor_.height() - 8));
}

bool TGoToHeading::eventFilter(QObject* watched, QEvent* event) {
    if (watched != field_)
        return QFrame::eventFilter(watched, event);
    if (event->type() == QEvent::FocusOut) {
        Close();
    } else if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const int row = list_->currentRow();
        const int last = list_->count() - 1;
        switch (key->key()) {
        case Qt::Key_Escape:
            Close();
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            Jump(list_->currentItem());
            return true;
        case Qt::Key_Down:
            list_->setCurrentRow(std::min(row + 1, last));
            return true;
        case Qt::Key_Up:
            list_->setCurrentRow(std::max(row - 1, 0));
            return true;
        case Qt::Key_PageDown:
            list_->setCurrentRow(std::min(row + RowsShown, last));
            return true;
        case Qt::Key_PageUp:
            list_->setCurrentRow(std::max(row - RowsShown, 0));
            return true;
        default:
            break;
        }
    }
    return QFrame::eventFilter(watched, event);
}

} // namespace varnoke
