#include "app/window/StatusLine.h"

#include <QFileInfo>
#include <QLabel>
#include <QToolButton>

#include <algorithm>

namespace varnoke {

TStatusLine::TStatusLine(TOpenUrl openUrl, QWidget* parent)
    : QStatusBar(parent), openUrl_(std::move(openUrl)), message_(new QLabel(this)),
      openButton_(new QToolButton(this)), previewFailure_(new QLabel(this)) {
    setObjectName(QStringLiteral("StatusLine"));
    message_->setObjectName(QStringLiteral("StatusMessage"));
    message_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    openButton_->setObjectName(QStringLiteral("OpenManual"));
    openButton_->setAutoRaise(true);
    openButton_->hide();
    previewFailure_->setObjectName(QStringLiteral("PreviewFailure"));
    previewFailure_->setStyleSheet(QStringLiteral("color: #b00000;"));
    previewFailure_->hide();
    addWidget(message_);
    addWidget(openButton_);
    addWidget(previewFailure_, 1);
    connect(openButton_, &QToolButton::clicked, this, &TStatusLine::OpenEntryPage);
}

void TStatusLine::ShowBuildFinished(const QString& folder, int fileCount, qint64 microseconds,
                                    const QString& entryPage) {
    // Never "0.000": a build that took under a millisecond says so.
    const qint64 shown = std::max<qint64>(microseconds, 1000);
    message_->setText(QStringLiteral("出力しました: %1 (%2 ファイル, %3%4 秒)")
                          .arg(folder)
                          .arg(fileCount)
                          .arg(microseconds < 1000 ? QStringLiteral("< ") : QString())
                          .arg(QString::number(static_cast<double>(shown) / 1e6, 'f', 3)));
    entryPage_ = QUrl::fromLocalFile(entryPage);
    openButton_->setText(QStringLiteral("%1 を開く").arg(QFileInfo(entryPage).fileName()));
    openButton_->setToolTip(entryPage);
    openButton_->show();
}

void TStatusLine::ShowNote(const QString& message) {
    message_->setText(message);
    openButton_->hide();
}

void TStatusLine::ShowPreviewFailure(const QString& message) {
    previewFailing_ = true;
    previewFailure_->setText(QStringLiteral("プレビューを作成できません: %1").arg(message));
    previewFailure_->show();
}

void TStatusLine::ClearPreviewFailure() {
    previewFailing_ = false;
    previewFailure_->clear();
    previewFailure_->hide();
}

QString TStatusLine::MessageText() const {
    return message_->text();
}

QString TStatusLine::PreviewFailureText() const {
    return previewFailing_ ? previewFailure_->text() : QString();
}

void TStatusLine::OpenEntryPage() {
    if (!openUrl_ || !entryPage_.isValid())
        return;
    if (!openUrl_(entryPage_))
        message_->setText(QStringLiteral("ブラウザで開けません: %1").arg(entryPage_.toLocalFile()));
}

} // namespace varnoke
