#include "sysdata/SystemData.h"

#include "common/IniDocument.h"

namespace varnoke {

namespace {
constexpr const char* Section = "SYSTEM";
}

TSystemData::TSystemData(std::string iniFile) : iniFile_(std::move(iniFile)) {
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
}

void TSystemData::Save() const {
    TIniDocument ini(iniFile_);
    ini.WriteInteger(Section, "STYLETOP", StyleTop);
    ini.WriteInteger(Section, "STYLEINDEX", StyleIndex);
    ini.WriteInteger(Section, "PREVIEWTARGET", PreviewTarget);
    ini.WriteString(Section, "PROJECTFILE", ProjectFile);
    ini.WriteBool(Section, "AUTOSAVEFLAG", AutoSaveFlag);
    ini.WriteInteger(Section, "TABSPACE", TabSpace);
    ini.WriteBool(Section, "SHOWOUTLINE", OutlineVisible);
    ini.UpdateFile();
}

} // namespace varnoke
