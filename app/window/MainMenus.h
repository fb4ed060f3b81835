// The window's menus and tool bars: the File, Edit, Style and Help menus,
// opened from flat buttons of a tool bar, and the view toggles with 実行.
// It makes the actions with their captions, names and shortcuts; the window
// connects them to its commands and enables them.
#pragma once

class QAction;
class QMainWindow;
class QMenu;

namespace varnoke {

struct TMainMenus {
    // Builds the menus and adds both tool bars to the window; every
    // shortcut works from anywhere in it.
    explicit TMainMenus(QMainWindow& window);

    QMenu* FileMenu;
    QMenu* EditMenu;
    QMenu* StyleMenu;
    QMenu* HelpMenu;
    QMenu* N15; // recent projects

    // File: new, open, open text, save text, save text as, save, save as,
    // quit.
    QAction *N1, *O1, *T1, *SaveText, *SaveTextAs, *S1, *N4, *X1;
    // Edit: undo, redo, copy, cut, paste, delete, select all; find, find
    // next and previous, replace, go to a heading.
    QAction *N6, *R1, *N8, *N9, *N10, *N11, *N5;
    QAction *Find1, *FindNext1, *FindPrevious1, *Replace1, *GoToHeading1;
    // Style: automatic saving, load, save, import. Help: the guide, about.
    QAction *A2, *L1, *S3, *ImportStyles1;
    QAction *Guide1, *A1;
    // The view bar: the editor, the preview and the outline shown or not,
    // and 実行 (also in the File menu).
    QAction *ToolButton3, *ToolButton4, *OutlineToggle, *ToolButton7;
};

} // namespace varnoke
