#include "app/window/WindowPlacement.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QSplitter>
#include <QStyle>
#include <QTreeView>
#include <QWidget>

#include <algorithm>

namespace varnoke {

namespace {

// Whether enough of the rectangle lies on a screen to be grabbed there.
bool OnAScreen(const QRect& rect) {
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect shared = screen->availableGeometry().intersected(rect);
        if (shared.width() >= 64 && shared.height() >= 32)
            return true;
    }
    return false;
}

// Sizes for a two-pane splitter whose pane `fixed` (0 or 1) is to be `size`.
void SetPane(QSplitter& splitter, int fixed, int size) {
    const QList<int> sizes = splitter.sizes();
    if (size <= 0 || sizes.size() != 2)
        return;
    const int total = sizes[0] + sizes[1];
    if (total <= 0)
        return;
    const int pane = std::min(size, total);
    splitter.setSizes(fixed == 0 ? QList<int>{pane, total - pane} : QList<int>{total - pane, pane});
}

int PaneSize(const QSplitter& splitter, int pane, int before) {
    const QList<int> sizes = splitter.sizes();
    if (sizes.size() != 2 || splitter.widget(pane) == nullptr ||
        splitter.widget(pane)->isHidden() || sizes[pane] <= 0)
        return before;
    return sizes[pane];
}

} // namespace

TWindowPlacement CapturePlacement(const QWidget& window, const QSplitter& editorSplit,
                                  const QSplitter& previewSplit, const TWindowPlacement& before) {
    TWindowPlacement placement;
    const QRect normal =
        window.isMaximized() || window.isFullScreen() ? window.normalGeometry() : window.geometry();
    placement.Left = normal.x();
    placement.Top = normal.y();
    placement.Width = normal.width();
    placement.Height = normal.height();
    placement.Maximized = window.isMaximized();
    placement.EditorWidth = PaneSize(editorSplit, 0, before.EditorWidth);
    placement.SettingsHeight = PaneSize(previewSplit, 1, before.SettingsHeight);
    return placement;
}

void RestoreWindow(QWidget& window, const TWindowPlacement& placement) {
    if (placement.Width <= 0 || placement.Height <= 0)
        return;
    const QSize size = QSize(placement.Width, placement.Height).expandedTo(window.minimumSize());
    const QRect rect(QPoint(placement.Left, placement.Top), size);
    if (OnAScreen(rect))
        window.setGeometry(rect);
    else
        window.resize(size);
    if (placement.Maximized)
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
}

void RestoreSplitters(QSplitter& editorSplit, QSplitter& previewSplit,
                      const TWindowPlacement& placement) {
    SetPane(editorSplit, 0, placement.EditorWidth);
    SetPane(previewSplit, 1, placement.SettingsHeight);
}

QSize DefaultPreviewArea(QSize around) {
    // The frames' borders and a vertical scroll bar of the body.
    constexpr int frames = 16;
    return QSize(200 + 300 + frames, 80 + 300 + frames) + around;
}

void SetDefaultSplitters(QSplitter& editorSplit, QSplitter& previewSplit, QSize previewArea) {
    const QList<int> across = editorSplit.sizes();
    if (across.size() == 2) {
        const int total = across[0] + across[1];
        const int editor =
            std::max(editorSplit.widget(0)->minimumSizeHint().width(),
                     std::max(editorSplit.widget(0)->minimumWidth(), total - previewArea.width()));
        editorSplit.setSizes({editor, std::max(0, total - editor)});
    }
    const QList<int> down = previewSplit.sizes();
    if (down.size() == 2) {
        const int total = down[0] + down[1];
        const int settings = std::max(previewSplit.widget(1)->minimumSizeHint().height(),
                                      total - previewArea.height());
        previewSplit.setSizes({std::max(0, total - settings), settings});
    }
}

int OutlineWidthFor(const QTreeView& outline, int characters) {
    const int text = outline.fontMetrics().horizontalAdvance(QString(characters, QChar(0x3042)));
    // Two indentation steps (the branch of the main heading and the
    // heading's own), the item's margins, the frame and a scroll bar.
    const int frame = 2 * outline.frameWidth();
    return text + 2 * outline.indentation() + 8 + frame +
           outline.style()->pixelMetric(QStyle::PM_ScrollBarExtent);
}

} // namespace varnoke
