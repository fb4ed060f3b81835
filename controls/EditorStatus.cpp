#include "controls/EditorStatus.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTextBlock>

namespace varnoke {

namespace {

QLabel* Field(QHBoxLayout* layout, const QString& name) {
    auto* label = new QLabel;
    label->setObjectName(name);
    label->setContentsMargins(6, 0, 6, 0);
    if (layout->count() > 0) {
        auto* bar = new QFrame;
        bar->setFrameShape(QFrame::VLine);
        bar->setFrameShadow(QFrame::Sunken);
        layout->addWidget(bar);
    }
    layout->addWidget(label);
    return label;
}

} // namespace

TEditorStatus::TEditorStatus(QPlainTextEdit& editor, QWidget* parent)
    : QWidget(parent), editor_(editor) {
    setObjectName(QStringLiteral("EditorStatus"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    caret_ = Field(layout, QStringLiteral("CaretPosition"));
    encoding_ = Field(layout, QStringLiteral("TextEncoding"));
    lineEnds_ = Field(layout, QStringLiteral("TextLineEnds"));
    build_ = Field(layout, QStringLiteral("BuildResult"));
    // A new text is written as the pages are: Shift-JIS with CR LF.
    SetEncoding(QStringLiteral("Shift-JIS"));
    SetLineEnds(QStringLiteral("CR LF"));
    build_->hide();
    connect(&editor_, &QPlainTextEdit::cursorPositionChanged, this, &TEditorStatus::ShowCaret);
    ShowCaret();
}

void TEditorStatus::SetEncoding(const QString& encoding) {
    encoding_->setText(encoding);
}

void TEditorStatus::SetLineEnds(const QString& lineEnds) {
    lineEnds_->setText(lineEnds);
}

void TEditorStatus::SetBuildResult(int headings, int pages) {
    build_->setText(QStringLiteral("見出し %1 ・ %2 ページ").arg(headings).arg(pages));
    build_->show();
}

QString TEditorStatus::Text() const {
    QStringList parts{caret_->text(), encoding_->text(), lineEnds_->text()};
    if (!build_->isHidden())
        parts << build_->text();
    return parts.join(QStringLiteral(" | "));
}

void TEditorStatus::ShowCaret() {
    const QTextCursor cursor = editor_.textCursor();
    caret_->setText(QStringLiteral("%1 行, %2 列")
                        .arg(cursor.blockNumber() + 1)
                        .arg(cursor.positionInBlock() + 1));
}

} // namespace varnoke
