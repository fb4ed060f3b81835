// The style thumbnail strip: a narrow image of cells, one per style, each a
// surround that marks the current style, a label bar with the style's name
// and a picture frame holding a rendered thumbnail of the sample page. The
// strip only draws; the style page decides which style goes where.
#pragma once

#include "css/CSSNames.h"

#include <QColor>
#include <QImage>
#include <QString>
#include <QWidget>

#include <cstdint>

namespace varnoke {

// Colours of the strip.
inline const QColor StripCurrentColor{255, 0, 0};
inline const QColor StripOtherColor{192, 192, 192};
inline const QColor StripGrey{128, 128, 128};
inline const QColor StripOutline{0, 0, 0};
inline const QColor StripLabelText{255, 255, 255};
// What the gaps of the hatch show after a whole repaint.
inline const QColor StripGapColor{255, 255, 255};

// Cell height for a strip `width` pixels wide: (3 x W) div 4.
int StripCellHeight(int width);
// Cells that fit, the last one possibly cut off: H / h rounded up.
int StripSlotCount(int width, int height);
// The scroll maximum for `styleCount` styles. It counts whole pages of
// (4 x W) div 3 pixels, not cells, so that at 80 x 254 the last style can be
// scrolled into the fourth cell, the last whole one.
int StripScrollMaximum(int width, int height, int styleCount);
// Size of the bitmap the sample page is rendered into: three times the
// picture area each way, so that the cell shows its top-left ninth.
QSize StripThumbnailSize(int width);

class TStyleStrip : public QWidget {
    Q_OBJECT

  public:
    explicit TStyleStrip(QWidget* parent = nullptr);

    const QImage& Bitmap() const { return bitmap_; }

    // Sizes the bitmap to the widget and covers it with the grey hatch.
    void ResetBitmap();
    // Surround, label bar with the name, and the picture frame filled with
    // `background`. Nothing is drawn for a slot outside the strip.
    void DrawCellFrame(int slot, bool current, const QString& name, const QColor& background);
    // Copies the top-left part of `thumbnail` into the slot's picture frame.
    void DrawCellPicture(int slot, const QImage& thumbnail);

    int CellHeight() const { return StripCellHeight(width()); }
    int SlotCount() const { return StripSlotCount(width(), height()); }

  signals:
    void Pressed(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void Released(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    // Whole wheel steps turned over the strip, up positive: one style each.
    void Wheeled(int steps);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    // Cells are drawn at the widget's present size; a bitmap of another size
    // (the window was resized since the last repaint) is grown or shrunk,
    // keeping what it shows.
    void FitBitmap();
    bool SlotVisible(int slot) const { return slot >= 0 && slot < SlotCount(); }

    QImage bitmap_;
    // Eighths of a degree of a fine-grained wheel not yet worth a step.
    int wheelRemainder_ = 0;
};

} // namespace varnoke
