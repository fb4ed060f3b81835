// What belongs to the installation rather than to one manual: the thumbnail
// strip's position, the current style, what the preview shows, the current
// project file, automatic style saving, the editor's tab width, whether the
// heading outline is shown; and the style collection. Stored as the section
// "SYSTEM" of the settings file.
#pragma once

#include "css/CSSPropertyClass.h"

#include <cstdint>
#include <string>

namespace varnoke {

// Where the window was left: its normal size and place (the one it returns
// to from maximised), whether it was maximised, the editor's width and the
// height of the settings pages below the preview. A width of 0 means none
// was stored: the window then opens as at its first start.
struct TWindowPlacement {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    bool Maximized = false;
    int EditorWidth = 0;
    int SettingsHeight = 0;

    bool operator==(const TWindowPlacement& other) const;
};

// The widest tab a build writes, in "&nbsp;" per leading tab: what
// varnoke-build's --tab accepts. TABSPACE stays stored as it was read, so
// that the settings file round-trips, but a width beyond this is used as
// this: a hand-edited 2147483647 would make every tab gigabytes of spaces.
inline constexpr int MaximumTabSpace = 64;

// The tab width that the build writes and the window shows and offers for
// a stored TabSpace. A negative width stays as it is: the editor refuses
// it, and the pages write no space for it.
int EffectiveTabSpace(int tabSpace);

class TSystemData {
  public:
    // iniFile is the settings file (SettingsIniPath() in the programs).
    explicit TSystemData(TNativePath iniFile);

    // Empties the style collection and sets every other field to its default.
    void Reset();
    // Reset, then reads "SYSTEM". Styles are loaded separately. An unreadable
    // file raises EFOpenError after the reset.
    void Load();
    // Writes only "SYSTEM", keeping every other section; atomically. The
    // window's placement follows the six keys once a window has set it.
    void Save() const;

    const TNativePath& IniFile() const { return iniFile_; }

    TCSSPropertyClass Styles;
    int StyleTop = 0;
    int StyleIndex = 0;
    std::uint8_t PreviewTarget = 0; // 0 the manual, 1 the style sample
    std::string ProjectFile;
    bool AutoSaveFlag = true;
    bool ProjectModified = false; // never stored
    int TabSpace = 2;
    bool OutlineVisible = true; // the heading outline beside the editor
    bool PreviewFollows = true; // the preview keeps the caret's block in view
    TWindowPlacement Window;

  private:
    TNativePath iniFile_;
};

} // namespace varnoke
