#include "common/ProgramPaths.h"

#include "common/FileSystem.h"
#include "common/PathNames.h"

#include <climits>
#include <cstdlib>
#include <unistd.h>

namespace varnoke {

namespace {
bool FolderIsWritable(const std::string& sjisFolder) {
    return ::access(NativePath(sjisFolder).c_str(), W_OK | X_OK) == 0;
}

// $XDG_<kind>_HOME, or its documented default under $HOME.
std::string XdgFolder(const char* variable, const char* fallbackUnderHome) {
    const char* value = std::getenv(variable);
    if (value != nullptr && value[0] == '/')
        return SjisPathFromNative(value);
    const char* home = std::getenv("HOME");
    return SjisPathFromNative(std::string(home != nullptr ? home : "/tmp") + fallbackUnderHome);
}
// The settings are saved later, at exit; their folder must exist by then.
// A folder that cannot be made shows up as the save's own error.
void EnsureFolder(const std::string& folder) {
    try {
        ForceDirectories(folder);
    } catch (const std::exception&) {
    }
}
} // namespace

std::string ExecutablePath() {
    char buffer[PATH_MAX];
    ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0)
        return "varnoke";
    return SjisPathFromNative(std::string(buffer, static_cast<size_t>(length)));
}

std::string ExecutableFolder() {
    return ExtractFilePath(ExecutablePath());
}

std::string SettingsIniPathFor(const std::string& executablePath) {
    return ChangeFileExt(executablePath, ".INI");
}

std::string SettingsIniPath() {
    return SettingsIniPathOfProgram(ExecutablePath());
}

std::string SettingsIniPathOfProgram(const std::string& executable) {
    if (FolderIsWritable(ExtractFilePath(executable)))
        return SettingsIniPathFor(executable);
    std::string folder =
        IncludeTrailingPathDelimiter(XdgFolder("XDG_CONFIG_HOME", "/.config")) + "varnoke/";
    EnsureFolder(folder);
    return folder + ChangeFileExt(ExtractFileName(executable), ".INI");
}

std::string TempFolder() {
    std::string folder = ExecutableFolder();
    if (FolderIsWritable(folder))
        return folder + "temp/";
    return IncludeTrailingPathDelimiter(XdgFolder("XDG_CACHE_HOME", "/.cache")) + "varnoke/temp/";
}

std::string RecoveryFolder() {
    std::string temp = TempFolder();
    temp.pop_back(); // the "/" after "temp"
    return ExtractFilePath(temp) + "recovery/";
}

} // namespace varnoke
