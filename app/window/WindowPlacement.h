// The window comes back as it was left: its size and place, maximised or
// not, and where the two splitters stood. The settings hold the numbers
// (TWindowPlacement); this unit reads them off the widgets and puts them
// back.
#pragma once

#include "sysdata/SystemData.h"

class QSize;
class QSplitter;
class QTreeView;
class QWidget;

namespace varnoke {

// The window's normal geometry (also while maximised) and its state, the
// editor's width in the editor splitter (first pane) and the settings'
// height in the preview splitter (second pane). A pane that is hidden keeps
// the stored size it had.
TWindowPlacement CapturePlacement(const QWidget& window, const QSplitter& editorSplit,
                                  const QSplitter& previewSplit, const TWindowPlacement& before);

// Gives the window its stored normal geometry and maximised state, before it
// is shown. Nothing is done without a stored size; a place that lies on no
// screen any more keeps the size but leaves the place to the desktop.
void RestoreWindow(QWidget& window, const TWindowPlacement& placement);

// Sets the splitters to the stored sizes, as far as the window's present
// size allows; the preview and the right-hand side take the rest. Nothing
// is done for a size that was not stored.
void RestoreSplitters(QSplitter& editorSplit, QSplitter& previewSplit,
                      const TWindowPlacement& placement);

// The preview area a window of the smallest size gives before its user has
// set the splitters: the body frame of a frame-set manual, beside its menu
// frame (200 px) and below its title frame (80 px), shows 300 px each way;
// `around` is what the area adds around its page (header, margins).
QSize DefaultPreviewArea(QSize around);
// Puts the splitters so that the preview area gets `previewArea` as far as
// the window's size and the other panes' minimum sizes allow; the editor
// and the settings (which scroll) take the rest.
void SetDefaultSplitters(QSplitter& editorSplit, QSplitter& previewSplit, QSize previewArea);

// The width of an outline that shows `characters` full-width characters of
// a heading one level down, in the outline's font.
int OutlineWidthFor(const QTreeView& outline, int characters);

} // namespace varnoke
