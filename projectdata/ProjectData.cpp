#include "projectdata/ProjectData.h"

#include "common/IniDocument.h"

namespace varnoke {

namespace {
constexpr const char* Section = "PROJECT";
}

void TProjectData::Reset() {
    TextName.clear();
    ContentsType = 0;
    FileDivideFlag = false;
    TitleFrameFlag = false;
    TitleName.clear();
    OutputPath.clear();
    StyleTitle = 0;
    StyleMenu = 0;
    StyleText = 0;
    SearchFlag = false;
}

void TProjectData::LoadFromFile(const TNativePath& fileName) {
    const TIniDocument ini(fileName);
    TextName = ini.ReadString(Section, "TEXTNAME", TextName);
    ContentsType =
        static_cast<std::uint8_t>(ini.ReadInteger(Section, "CONTENTSTYPE", ContentsType));
    FileDivideFlag = ini.ReadBool(Section, "FILEDEVIDEFLAG", FileDivideFlag);
    TitleFrameFlag = ini.ReadBool(Section, "TITLEFRAMEFLAG", TitleFrameFlag);
    TitleName = ini.ReadString(Section, "TITLENAME", TitleName);
    OutputPath = ini.ReadString(Section, "OUTPUTPATH", OutputPath);
    StyleTitle = ini.ReadInteger(Section, "STYLETITLE", StyleTitle);
    StyleMenu = ini.ReadInteger(Section, "STYLEMENU", StyleMenu);
    StyleText = ini.ReadInteger(Section, "STYLETEXT", StyleText);
    SearchFlag = ini.ReadBool(Section, "SEARCHFLAG", SearchFlag);
}

bool TProjectData::HoldsProject(const TNativePath& fileName) {
    return TIniDocument(fileName).SectionExists(Section);
}

void TProjectData::SaveToFile(const TNativePath& fileName) const {
    TIniDocument ini(fileName);
    ini.WriteString(Section, "TEXTNAME", TextName);
    ini.WriteInteger(Section, "CONTENTSTYPE", ContentsType);
    ini.WriteBool(Section, "FILEDEVIDEFLAG", FileDivideFlag);
    ini.WriteBool(Section, "TITLEFRAMEFLAG", TitleFrameFlag);
    ini.WriteString(Section, "TITLENAME", TitleName);
    ini.WriteString(Section, "OUTPUTPATH", OutputPath);
    ini.WriteInteger(Section, "STYLETITLE", StyleTitle);
    ini.WriteInteger(Section, "STYLEMENU", StyleMenu);
    ini.WriteInteger(Section, "STYLETEXT", StyleText);
    ini.WriteBool(Section, "SEARCHFLAG", SearchFlag);
    ini.UpdateFile();
}

} // namespace varnoke
