#include "controls/FindBar.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QToolButton>
#include <QVBoxLayout>

namespace varnoke {

namespace {

const QString NotFound = QStringLiteral("見つかりません");

QTextCursor Selection(QTextDocument& document, int position, int length) {
    QTextCursor cursor(&document);
    cursor.setPosition(position);
    cursor.setPosition(position + length, QTextCursor::KeepAnchor);
    return cursor;
}

QPushButton* Button(const QString& caption, const QString& name, const QString& tip = {}) {
    auto* button = new QPushButton(caption);
    button->setObjectName(name);
    button->setToolTip(tip);
    button->setAutoDefault(false);
    return button;
}

QWidget* Row(std::initializer_list<QWidget*> widgets, QWidget* stretch) {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    for (QWidget* widget : widgets)
        layout->addWidget(widget, widget == stretch ? 1 : 0);
    return row;
}

} // namespace

QTextCursor FindInDocument(QTextDocument& document, const QString& what, int from, bool backward,
                           Qt::CaseSensitivity sensitivity) {
    if (what.isEmpty())
        return {};
    from = std::clamp(from, 0, document.characterCount() - 1);
    QTextBlock block = document.findBlock(from);
    if (!backward) {
        for (int offset = from - block.position(); block.isValid();
             block = block.next(), offset = 0) {
            const int at = static_cast<int>(block.text().indexOf(what, offset, sensitivity));
            if (at >= 0)
                return Selection(document, block.position() + at, static_cast<int>(what.size()));
        }
        return {};
    }
    for (int before = from - block.position(); block.isValid(); block = block.previous()) {
        const QString text = block.text();
        // A match must start before `from`; in earlier lines anywhere.
        const int last = before >= 0 ? before - 1 : static_cast<int>(text.size());
        before = -1;
        if (last < 0)
            continue;
        const int at = static_cast<int>(text.lastIndexOf(what, last, sensitivity));
        if (at >= 0)
            return Selection(document, block.position() + at, static_cast<int>(what.size()));
    }
    return {};
}

TFindBar::TFindBar(QPlainTextEdit& editor, QWidget* parent)
    : QWidget(parent), editor_(editor), findEdit_(new QLineEdit), replaceEdit_(new QLineEdit),
      nextButton_(Button(QStringLiteral("次を検索"), "FindNext", QStringLiteral("F3"))),
      previousButton_(
          Button(QStringLiteral("前を検索"), "FindPrevious", QStringLiteral("Shift+F3"))),
      replaceButton_(Button(QStringLiteral("置換"), "ReplaceOne")),
      replaceAllButton_(Button(QStringLiteral("すべて置換"), "ReplaceAll")),
      matchCase_(new QCheckBox(QStringLiteral("大文字と小文字を区別する"))),
      wrap_(new QCheckBox(QStringLiteral("折り返して検索"))), message_(new QLabel) {
    setObjectName(QStringLiteral("FindBar"));
    findEdit_->setObjectName(QStringLiteral("FindText"));
    replaceEdit_->setObjectName(QStringLiteral("ReplaceText"));
    matchCase_->setObjectName(QStringLiteral("MatchCase"));
    wrap_->setObjectName(QStringLiteral("WrapAround"));
    wrap_->setChecked(true);
    findEdit_->setClearButtonEnabled(true);
    findEdit_->setMinimumWidth(110);
    replaceEdit_->setMinimumWidth(110);

    auto* close = new QToolButton;
    close->setText(QStringLiteral("×"));
    close->setToolTip(QStringLiteral("閉じる (Esc)"));
    close->setAutoRaise(true);
    auto* findLabel = new QLabel(QStringLiteral("検索"));
    auto* replaceLabel = new QLabel(QStringLiteral("置換"));
    findLabel->setBuddy(findEdit_);
    replaceLabel->setBuddy(replaceEdit_);
    replaceLabel->setMinimumWidth(findLabel->sizeHint().width());

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    layout->addWidget(Row({findLabel, findEdit_, previousButton_, nextButton_, close}, findEdit_));
    replaceRow_ =
        Row({replaceLabel, replaceEdit_, replaceButton_, replaceAllButton_}, replaceEdit_);
    layout->addWidget(replaceRow_);
    layout->addWidget(Row({matchCase_, wrap_, message_}, message_));

    connect(close, &QToolButton::clicked, this, &TFindBar::Close);
    connect(nextButton_, &QPushButton::clicked, this, &TFindBar::FindNext);
    connect(previousButton_, &QPushButton::clicked, this, &TFindBar::FindPrevious);
    connect(replaceButton_, &QPushButton::clicked, this, &TFindBar::ReplaceOne);
    connect(replaceAllButton_, &QPushButton::clicked, this, &TFindBar::ReplaceAll);
    connect(findEdit_, &QLineEdit::textEdited, this, &TFindBar::SearchAsTyped);
    connect(findEdit_, &QLineEdit::returnPressed, this, [this] {
        if (QApplication::keyboardModifiers() & Qt::ShiftModifier)
            FindPrevious();
        else
            FindNext();
    });
    connect(replaceEdit_, &QLineEdit::returnPressed, this, &TFindBar::ReplaceOne);
    connect(matchCase_, &QCheckBox::toggled, this, &TFindBar::UpdateHighlights);

    // Only the lines in view are marked, so these follow the view.
    connect(editor_.verticalScrollBar(), &QScrollBar::valueChanged, this,
            &TFindBar::UpdateHighlights);
    // After the change, once the editor has laid the text out again.
    connect(editor_.document(), &QTextDocument::contentsChanged, this, &TFindBar::UpdateHighlights);
    connect(editor_.document(), &QTextDocument::contentsChanged, this, [this] {
        if (countShown_ && !replacing_)
            ShowMessage({});
    });
    editor_.viewport()->installEventFilter(this);
    hide();
}

bool TFindBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == editor_.viewport() && event->type() == QEvent::Resize)
        UpdateHighlights();
    return QWidget::eventFilter(watched, event);
}

void TFindBar::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        Close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TFindBar::OpenFind() {
    Open(false);
}

void TFindBar::OpenReplace() {
    Open(true);
}

void TFindBar::Open(bool replace) {
    const QString selected = editor_.textCursor().selectedText();
    // A paragraph separator marks a selection over more than one line.
    if (!selected.isEmpty() && !selected.contains(QChar::ParagraphSeparator))
        findEdit_->setText(selected);
    replaceRow_->setVisible(replace);
    show();
    ShowMessage({});
    findEdit_->setFocus(Qt::ShortcutFocusReason);
    findEdit_->selectAll();
    UpdateHighlights();
}

void TFindBar::Close() {
    hide();
    UpdateHighlights();
    editor_.setFocus(Qt::OtherFocusReason);
}

bool TFindBar::FindNext() {
    return Find(false, editor_.textCursor().selectionEnd());
}

bool TFindBar::FindPrevious() {
    return Find(true, editor_.textCursor().selectionStart());
}

bool TFindBar::Find(bool backward, int from) {
    const QString what = findEdit_->text();
    if (what.isEmpty()) {
        ShowMessage({});
        return false;
    }
    // F3 with the bar closed shows it: the answer appears there.
    if (isHidden()) {
        show();
        UpdateHighlights();
    }
    QTextDocument& document = *editor_.document();
    QTextCursor found = FindInDocument(document, what, from, backward, Sensitivity());
    QString note;
    if (found.isNull() && wrap_->isChecked()) {
        found = FindInDocument(document, what, backward ? document.characterCount() : 0, backward,
                               Sensitivity());
        note = backward ? QStringLiteral("末尾から検索しました")
                        : QStringLiteral("先頭から検索しました");
    }
    if (found.isNull()) {
        ShowMessage(NotFound, true);
        return false;
    }
    editor_.setTextCursor(found);
    ShowMessage(note);
    return true;
}

void TFindBar::ReplaceOne() {
    if (SelectionIsMatch()) {
        QTextCursor cursor = editor_.textCursor();
        cursor.insertText(replaceEdit_->text());
        editor_.setTextCursor(cursor);
    }
    FindNext();
}

int TFindBar::ReplaceAll() {
    const QString what = findEdit_->text();
    if (what.isEmpty())
        return 0;
    const QString with = replaceEdit_->text();
    QTextDocument& document = *editor_.document();
    QTextCursor block(&document);
    replacing_ = true;
    block.beginEditBlock();
    int count = 0;
    // Each search starts after the text just put in, so a replacement that
    // holds the searched text is never replaced again.
    for (int from = 0;;) {
        QTextCursor found = FindInDocument(document, what, from, false, Sensitivity());
        if (found.isNull())
            break;
        found.insertText(with);
        from = found.position();
        ++count;
    }
    block.endEditBlock();
    replacing_ = false;
    ShowMessage(count > 0 ? QStringLiteral("%1 件置換しました").arg(count) : NotFound, count == 0);
    countShown_ = count > 0;
    return count;
}

Qt::CaseSensitivity TFindBar::Sensitivity() const {
    return matchCase_->isChecked() ? Qt::CaseSensitive : Qt::CaseInsensitive;
}

bool TFindBar::SelectionIsMatch() const {
    const QString selected = editor_.textCursor().selectedText();
    return !selected.isEmpty() && selected.compare(findEdit_->text(), Sensitivity()) == 0;
}

QString TFindBar::Message() const {
    return message_->text();
}

void TFindBar::ShowMessage(const QString& text, bool problem) {
    countShown_ = false;
    message_->setText(text);
    message_->setStyleSheet(problem ? QStringLiteral("color: #c00000;") : QString());
}

void TFindBar::SearchAsTyped() {
    // From the start of the selection, so that the match being typed grows
    // in place instead of jumping to the next one.
    if (!findEdit_->text().isEmpty())
        Find(false, editor_.textCursor().selectionStart());
    else
        ShowMessage({});
    UpdateHighlights();
}

void TFindBar::UpdateHighlights() {
    const QString what = findEdit_->text();
    // Typing with the bar closed costs nothing here.
    if (isHidden() && !marked_)
        return;
    QList<QTextEdit::ExtraSelection> marks;
    if (!isHidden() && !what.isEmpty()) {
        QTextDocument& document = *editor_.document();
        QTextBlock block = editor_.cursorForPosition(QPoint(0, 0)).block();
        const int lastShown =
            editor_.cursorForPosition(QPoint(0, editor_.viewport()->height())).blockNumber();
        QTextCharFormat format;
        format.setBackground(QColor(0x8a, 0x6d, 0x00));
        format.setForeground(Qt::white);
        for (; block.isValid() && block.blockNumber() <= lastShown; block = block.next()) {
            const QString text = block.text();
            for (qsizetype at = text.indexOf(what, 0, Sensitivity()); at >= 0;
                 at = text.indexOf(what, at + what.size(), Sensitivity())) {
                QTextEdit::ExtraSelection mark;
                mark.cursor = Selection(document, block.position() + static_cast<int>(at),
                                        static_cast<int>(what.size()));
                mark.format = format;
                marks << mark;
            }
        }
    }
    editor_.setExtraSelections(marks);
    marked_ = !marks.isEmpty();
}

} // namespace varnoke
