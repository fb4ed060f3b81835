#include "common/ProgramPaths.h"

#include "common/FileSystem.h"
#include "common/PathNames.h"

#include <climits>
#include <cstdlib>
#include <optional>
#include <unistd.h>

namespace varnoke {

namespace {
// The program's own folder when it may keep its files there.
std::optional<TNativePath> BesideProgram(const TNativePath& executable) {
    const TNativePath folder = FolderOf(executable);
    if (InSystemFolder(executable) || ::access(folder.CStr(), W_OK | X_OK) != 0)
        return std::nullopt;
    return folder;
}

// $XDG_<kind>_HOME/varnoke/, or the documented default under $HOME.
TNativePath XdgFolder(const char* variable, const char* fallbackUnderHome) {
    const char* value = std::getenv(variable);
    std::string folder;
    if (value != nullptr && value[0] == '/') {
        folder = value;
    } else {
        const char* home = std::getenv("HOME");
        folder = std::string(home != nullptr && home[0] == '/' ? home : "/tmp") + fallbackUnderHome;
    }
    return AsFolder(TNativePath(folder)) + "varnoke/";
}

// The settings are saved later, at exit; their folder must exist by then.
// A folder that cannot be made shows up as the save's own error.
void EnsureFolder(const TNativePath& folder) {
    try {
        ForceDirectories(folder);
    } catch (const std::exception&) {
    }
}

// The folder that holds the temp and recovery folders.
TNativePath CacheFolder() {
    if (std::optional<TNativePath> beside = BesideProgram(ExecutablePath()))
        return *beside;
    return XdgFolder("XDG_CACHE_HOME", "/.cache");
}
} // namespace

TNativePath ExecutablePath() {
    char buffer[PATH_MAX];
    ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0)
        return TNativePath("varnoke");
    return TNativePath(std::string(buffer, static_cast<size_t>(length)));
}

TNativePath ExecutableFolder() {
    return FolderOf(ExecutablePath());
}

bool InSystemFolder(const TNativePath& executable) {
    for (std::string_view system : {"/usr/", "/opt/"}) {
        if (executable.Name().compare(0, system.size(), system) == 0)
            return true;
    }
    return false;
}

TNativePath SettingsIniPathFor(const TNativePath& executable) {
    return TNativePath(ChangeFileExt(executable.Name(), ".INI"));
}

TNativePath SettingsIniPath() {
    return SettingsIniPathOfProgram(ExecutablePath());
}

TNativePath SettingsIniPathOfProgram(const TNativePath& executable) {
    if (BesideProgram(executable))
        return SettingsIniPathFor(executable);
    const TNativePath folder = XdgFolder("XDG_CONFIG_HOME", "/.config");
    EnsureFolder(folder);
    return SettingsIniPathFor(folder + ExtractFileName(executable.Name()));
}

TNativePath TempFolder() {
    return CacheFolder() + "temp/";
}

TNativePath RecoveryFolder() {
    return CacheFolder() + "recovery/";
}

} // namespace varnoke
