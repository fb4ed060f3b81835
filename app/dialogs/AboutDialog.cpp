#include "app/dialogs/AboutDialog.h"

#include <QApplication>
#include <QDate>
#include <QDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

namespace varnoke {

namespace {
constexpr int Margin = 8;
constexpr int ButtonWidth = 64;
constexpr int ButtonHeight = 24;
constexpr int ImageLeft = 16;
constexpr int ImageSize = 64;
constexpr int ImageRight = ImageLeft + ImageSize; // the labels centre right of it

// Where a box of the given outer size sits centred over a window; C++
// division truncates toward zero, as the layouts were designed with.
QPoint CentredOver(const QRect& frame, const QSize& box) {
    return QPoint(frame.left() + (frame.width() - box.width()) / 2,
                  frame.top() + (frame.height() - box.height()) / 2);
}

QLabel* AddLabel(QDialog& box, const char* name, const QString& text, int pointSize) {
    auto* label = new QLabel(text, &box);
    label->setObjectName(QString::fromLatin1(name));
    QFont font = box.font();
    font.setPointSize(pointSize);
    label->setFont(font);
    label->adjustSize();
    return label;
}

void CentreRightOfImage(QLabel& label, int clientWidth, int top) {
    label.move(ImageRight + (clientWidth - ImageRight - label.width() - Margin) / 2, top);
}
} // namespace

TAboutDialog::TAboutDialog(QObject* owner) : QObject(owner) {}

QWidget* TAboutDialog::OwnerWindow() const {
    for (QObject* object = parent(); object; object = object->parent()) {
        if (object->isWidgetType())
            return static_cast<QWidget*>(object)->window();
    }
    return nullptr;
}

QWidget* TAboutDialog::MainWindow() const {
    QWidget* owner = OwnerWindow();
    if (qobject_cast<QMainWindow*>(owner))
        return owner;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMainWindow*>(widget) && widget->isVisible())
            return widget;
    }
    return owner;
}

std::unique_ptr<QDialog> TAboutDialog::CreateDialog() const {
    auto box = std::make_unique<QDialog>(OwnerWindow(), Qt::Dialog | Qt::CustomizeWindowHint |
                                                            Qt::WindowTitleHint);
    box->setWindowTitle(caption_);
    box->setFont(font_);
    QLabel* name = AddLabel(*box, "AppName", appName_, 16);
    QLabel* version = AddLabel(*box, "Version", version_, 10);
    QLabel* memo = AddLabel(*box, "Memo", memo_, 10);
    const int lineHeight = QFontMetrics(memo->font()).height();

    // The designed size, grown where the labels need more: none may run
    // under the image or over another, whatever the font makes of them.
    const int widest = std::max({name->width(), version->width(), memo->width()});
    const int clientWidth = std::max(formWidth_, ImageRight + Margin + widest + Margin);
    const int versionTop = std::max(36, Margin + name->height());
    // The credit line ends 8 pixels above the close button.
    const int memoTop = std::max(formHeight_, versionTop + version->height() + 4 + lineHeight +
                                                  Margin + ButtonHeight + Margin) -
                        Margin - ButtonHeight - lineHeight - Margin;
    const int clientHeight = memoTop + lineHeight + Margin + ButtonHeight + Margin;
    box->setFixedSize(clientWidth, clientHeight);

    // The outer size: the frame is known only once a window manager has
    // decorated the box, so before that it is the client size.
    const QSize outer = box->frameGeometry().size();
    QPoint position(formLeft_, formTop_);
    switch (formPosition_) {
    case TFPosition::fpDesigned:
        break;
    case TFPosition::fpScreenCenter:
        if (QScreen* screen = QGuiApplication::primaryScreen())
            position = CentredOver(QRect(QPoint(0, 0), screen->geometry().size()), outer);
        break;
    case TFPosition::fpMainFormCenter:
        if (QWidget* main = MainWindow())
            position = CentredOver(main->frameGeometry(), outer);
        break;
    case TFPosition::fpOwnerFormCenter:
        if (QWidget* owner = OwnerWindow())
            position = CentredOver(owner->frameGeometry(), outer);
        break;
    }
    // An explicit move also keeps Qt from centring the box over its parent.
    box->move(position);

    auto* close = new QPushButton(closeButton_, box.get());
    close->setObjectName(QStringLiteral("CloseButton"));
    close->setGeometry((clientWidth - ButtonWidth) / 2, clientHeight - ButtonHeight - Margin,
                       ButtonWidth, ButtonHeight);
    QObject::connect(close, &QPushButton::clicked, box.get(), &QDialog::accept);

    auto* image = new QLabel(box.get());
    image->setObjectName(QStringLiteral("Image"));
    image->setGeometry(ImageLeft, Margin, ImageSize, ImageSize);
    image->setAlignment(Qt::AlignCenter);
    if (!icon_.isNull())
        image->setPixmap(icon_.pixmap(ImageSize, ImageSize));

    CentreRightOfImage(*name, clientWidth, Margin);
    CentreRightOfImage(*version, clientWidth, versionTop);
    CentreRightOfImage(*memo, clientWidth, memoTop);
    return box;
}

void TAboutDialog::Execute() {
    std::unique_ptr<QDialog> box = CreateDialog();
    box->exec();
}

QString AboutVersionLine(const QString& version, const QString& isoDate) {
    QString line = QStringLiteral("バージョン ") + version;
    const QDate date = QDate::fromString(isoDate, Qt::ISODate);
    if (!date.isValid())
        return line;
    // Qt counts the days of the week from Monday = 1.
    static const char16_t* const weekdays[] = {u"月", u"火", u"水", u"木", u"金", u"土", u"日"};
    return line + QStringLiteral(" 【%1年%2月%3日(%4)】")
                      .arg(date.year())
                      .arg(date.month())
                      .arg(date.day())
                      .arg(QString::fromUtf16(weekdays[date.dayOfWeek() - 1]));
}

} // namespace varnoke
