#include "sysdata/SystemData.h"

#include "common/IniDocument.h"

#include <algorithm>

namespace varnoke {

namespace {
constexpr const char* Section = "SYSTEM";

void LoadPlacement(const TIniDocument& ini, TWindowPlacement& window) {
    window.Left = ini.ReadInteger(Section, "WINDOWLEFT", window.Left);
    window.Top = ini.ReadInteger(Section, "WINDOWTOP", window.Top);
    window.Width = ini.ReadInteger(Section, "WINDOWWIDTH", window.Width);
    window.Height = ini.ReadInteger(Section, "WINDOWHEIGHT", window.Height);
    window.Maximized = ini.ReadBool(Section, "WINDOWMAXIMIZED", window.Maximized);
    window.EditorWidth = ini.ReadInteger(Section, "EDITORWIDTH", window.EditorWidth);
    window.SettingsHeight = ini.ReadInteger(Section, "SETTINGSHEIGHT", window.SettingsHeight);
}

void SavePlacement(TIniDocument& ini, const TWindowPlacement& window) {
    ini.WriteInteger(Section, "WINDOWLEFT", window.Left);
    ini.WriteInteger(Section, "WINDOWTOP", window.Top);
    ini.WriteInteger(Section, "WINDOWWIDTH", window.Width);
    ini.WriteInteger(Section, "WINDOWHEIGHT", window.Height);
    ini.WriteBool(Section, "WINDOWMAXIMIZED", window.Maximized);
    ini.WriteInteger(Section, "EDITORWIDTH", window.EditorWidth);
    ini.WriteInteger(Section, "SETTINGSHEIGHT", window.SettingsHeight);
}
} // namespace

bool TWindowPlacement::operator==(const TWindowPlacement& other) const {
    return Left == other.Left && Top == other.Top && Width == other.Width &&
           Height == other.Height && Maximized == other.Maximized &&
           EditorWidth == other.EditorWidth && SettingsHeight == other.SettingsHeight;
}

int EffectiveTabSpace(int tabSpace) {
    return std::min(tabSpace, MaximumTabSpace);
}

TSystemData::TSystemData(TNativePath iniFile) : iniFile_(std::move(iniFile)) {
    Reset();
}

void TSystemData::Reset() {
    Styles.Clear();
    StyleTop = 0;
    StyleIndex = 0;
    PreviewTarget = 0;
    ProjectFile.clear();
    AutoSaveFlag = true;
    ProjectModified = false;
    TabSpace = 2;
    OutlineVisible = true;
    PreviewFollows = true;
    Window = TWindowPlacement();
}

void TSystemData::Load() {
    Reset();
    const TIniDocument ini(iniFile_);
    StyleTop = ini.ReadInteger(Section, "STYLETOP", StyleTop);
    StyleIndex = ini.ReadInteger(Section, "STYLEINDEX", StyleIndex);
    PreviewTarget =
        static_cast<std::uint8_t>(ini.ReadInteger(Section, "PREVIEWTARGET", PreviewTarget));
    ProjectFile = ini.ReadString(Section, "PROJECTFILE", ProjectFile);
    AutoSaveFlag = ini.ReadBool(Section, "AUTOSAVEFLAG", AutoSaveFlag);
    TabSpace = ini.ReadInteger(Section, "TABSPACE", TabSpace);
    OutlineVisible = ini.ReadBool(Section, "SHOWOUTLINE", OutlineVisible);
    PreviewFollows = ini.ReadBool(Section, "PREVIEWFOLLOW", PreviewFollows);
    LoadPlacement(ini, Window);
}

void TSystemData::Save() const {
    TIniDocument ini(iniFile_);
    ini.WriteInteger(Section, "STYLETOP", StyleTop);
    ini.WriteInteger(Section, "STYLEINDEX", StyleIndex);
    ini.WriteInteger(Section, "PREVIEWTARGET", PreviewTarget);
    ini.WriteString(Section, "PROJECTFILE", ProjectFile);
    ini.WriteBool(Section, "AUTOSAVEFLAG", AutoSaveFlag);
    ini.WriteInteger(Section, "TABSPACE", TabSpace);
    if (Window.Width > 0)
        SavePlacement(ini, Window);
    ini.WriteBool(Section, "SHOWOUTLINE", OutlineVisible);
    ini.WriteBool(Section, "PREVIEWFOLLOW", PreviewFollows);
    ini.UpdateFile();
}

} // namespace varnoke
