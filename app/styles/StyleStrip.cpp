#include "app/styles/StyleStrip.h"

#include "controls/PlatformColor.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPolygon>
#include <QWheelEvent>

#include <algorithm>

namespace varnoke {

namespace {

void Hatch(QPainter& painter, const QRect& rect) {
    // The pattern leaves its gaps untouched, like a hatch brush on a canvas.
    painter.fillRect(rect, QBrush(StripGrey, Qt::DiagCrossPattern));
}

QPolygon Box(int left, int top, int right, int bottom) {
    return QPolygon(
        {QPoint(left, top), QPoint(right, top), QPoint(right, bottom), QPoint(left, bottom)});
}

} // namespace

int StripCellHeight(int width) {
    return std::max(0, width) * 3 / 4;
}

int StripSlotCount(int width, int height) {
    const int h = StripCellHeight(width);
    if (h <= 0 || height <= 0)
        return 0;
    return (height + h - 1) / h;
}

int StripScrollMaximum(int width, int height, int styleCount) {
    const int c = std::max(0, width) * 4 / 3;
    if (c <= 0)
        return std::max(0, styleCount - 1);
    const int v = (std::max(0, height) + c - 1) / c;
    return v < styleCount ? styleCount - v - 1 : 0;
}

QSize StripThumbnailSize(int width) {
    return QSize((width - 4) * 3, (StripCellHeight(width) - 20) * 3);
}

TStyleStrip::TStyleStrip(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TStyleStrip::ResetBitmap() {
    bitmap_ = QImage(std::max(1, width()), std::max(1, height()), QImage::Format_RGB32);
    bitmap_.fill(StripGapColor);
    QPainter painter(&bitmap_);
    Hatch(painter, bitmap_.rect());
    painter.end();
    update();
}

void TStyleStrip::FitBitmap() {
    if (!bitmap_.isNull() && bitmap_.size() == size())
        return;
    QImage old = bitmap_;
    ResetBitmap();
    if (!old.isNull()) {
        QPainter painter(&bitmap_);
        painter.drawImage(0, 0, old);
    }
}

void TStyleStrip::DrawCellFrame(int slot, bool current, const QString& name,
                                const QColor& background) {
    if (!SlotVisible(slot))
        return;
    FitBitmap();
    const int w = width();
    const int h = CellHeight();
    const int y0 = slot * h;
    QPainter painter(&bitmap_);
    painter.setRenderHint(QPainter::Antialiasing, false);
    // Only a one-pixel surround of this fill stays visible: the selection mark.
    painter.fillRect(QRect(0, y0, w, h), current ? StripCurrentColor : StripOtherColor);

    painter.setPen(QPen(StripOutline, 0));
    painter.setBrush(StripGrey);
    painter.drawPolygon(Box(1, y0 + 1, w - 2, y0 + 16));

    QFont font = painter.font();
    font.setBold(true);
    painter.setFont(font);
    // The name is drawn whole on its own grey ground; a long one runs over
    // the bar and is cut only by the bitmap's edge.
    const QFontMetrics metrics(font);
    const QRect label(2, y0 + 2, metrics.horizontalAdvance(name), metrics.height());
    painter.fillRect(label, StripGrey);
    painter.setPen(StripLabelText);
    painter.drawText(label, Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, name);

    painter.setPen(QPen(StripOutline, 0));
    painter.setBrush(background);
    painter.drawPolygon(Box(1, y0 + 16, w - 2, y0 + h - 2));
    painter.end();
    update(QRect(0, y0, w, h));
}

void TStyleStrip::DrawCellPicture(int slot, const QImage& thumbnail) {
    if (!SlotVisible(slot) || thumbnail.isNull())
        return;
    FitBitmap();
    const int w = width();
    const int h = CellHeight();
    const int y0 = slot * h;
    const QRect source(0, 0, w - 4, h - 20);
    // The inside of the picture frame, one row taller than the source.
    const QRect target(2, y0 + 17, w - 4, h - 19);
    if (source.isEmpty() || target.isEmpty())
        return;
    QPainter painter(&bitmap_);
    painter.drawImage(target, thumbnail, source);
    painter.end();
    update(target);
}

void TStyleStrip::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect outside = QRegion(event->rect()).subtracted(QRegion(bitmap_.rect())).boundingRect();
    if (!outside.isEmpty()) {
        painter.fillRect(outside, StripGapColor);
        Hatch(painter, outside);
    }
    painter.drawImage(event->rect().topLeft(), bitmap_, event->rect());
}

void TStyleStrip::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    emit Pressed(event->button(), event->modifiers(), p.x(), p.y());
    event->accept();
}

void TStyleStrip::wheelEvent(QWheelEvent* event) {
    wheelRemainder_ += event->angleDelta().y();
    const int steps = wheelRemainder_ / 120;
    wheelRemainder_ -= steps * 120;
    if (steps != 0)
        emit Wheeled(steps);
    event->accept();
}

void TStyleStrip::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    emit Released(event->button(), event->modifiers(), p.x(), p.y());
    event->accept();
}

} // namespace varnoke
