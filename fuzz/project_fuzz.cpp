// The project file (and the settings section beside the styles): any bytes
// load; a save keeps the file's other content and loads back to the same
// fields.
#include "FuzzSupport.h"
#include "common/IniDocument.h"
#include "projectdata/ProjectData.h"
#include "sysdata/SystemData.h"

using namespace varnoke;
using namespace varnoke::fuzz;

namespace {

bool SameProject(const TProjectData& a, const TProjectData& b) {
    return a.TextName == b.TextName && a.ContentsType == b.ContentsType &&
           a.FileDivideFlag == b.FileDivideFlag && a.TitleFrameFlag == b.TitleFrameFlag &&
           a.TitleName == b.TitleName && a.OutputPath == b.OutputPath &&
           a.StyleTitle == b.StyleTitle && a.StyleMenu == b.StyleMenu && a.StyleText == b.StyleText;
}

bool SameSettings(const TSystemData& a, const TSystemData& b) {
    return a.StyleTop == b.StyleTop && a.StyleIndex == b.StyleIndex &&
           a.PreviewTarget == b.PreviewTarget && a.ProjectFile == b.ProjectFile &&
           a.AutoSaveFlag == b.AutoSaveFlag && a.TabSpace == b.TabSpace;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string path = ScratchFile("fuzz.vkp");
    WriteBytes(path, bytes);

    TProjectData project;
    project.TitleName = "kept unless the file has a title";
    project.LoadFromFile(TNativePath(path));
    project.SaveToFile(TNativePath(path));
    TProjectData reloaded;
    reloaded.LoadFromFile(TNativePath(path));
    FUZZ_CHECK(SameProject(project, reloaded));

    // Sections other than "PROJECT" survive the save untouched.
    TIniDocument original;
    original.LoadFromBytes(bytes);
    const TIniDocument saved{TNativePath(path)};
    for (const std::string& section : original.SectionNames()) {
        FUZZ_CHECK(saved.SectionExists(section));
        FUZZ_CHECK(saved.KeyCount(section) >= original.KeyCount(section));
    }

    const std::string settingsPath = ScratchFile("fuzz.INI");
    WriteBytes(settingsPath, bytes);
    TSystemData settings{TNativePath(settingsPath)};
    settings.Load();
    settings.Save();
    TSystemData settingsAgain{TNativePath(settingsPath)};
    settingsAgain.Load();
    FUZZ_CHECK(SameSettings(settings, settingsAgain));
    return 0;
}
