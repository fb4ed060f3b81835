#include "common/ProgramPaths.h"

#include "common/Errors.h"
#include "common/FileSystem.h"
#include "common/PathNames.h"

#include <climits>
#include <cstdlib>
#include <optional>
#include <unistd.h>

namespace varnoke {

namespace {
// The program's own folder when it may keep its files there (CP932).
std::optional<std::string> BesideProgram(const std::string& nativeExecutable) {
    const std::string folder = ExtractFilePath(nativeExecutable);
    if (InSystemFolder(nativeExecutable) || ::access(folder.c_str(), W_OK | X_OK) != 0)
        return std::nullopt;
    try {
        return SjisPathFromNative(folder);
    } catch (const EConvertError&) {
        return std::nullopt; // a folder such as "~/ツール/dé/": the user's folders serve
    }
}

// $XDG_<kind>_HOME/varnoke/, or the documented default under $HOME (CP932).
std::string XdgFolder(const char* variable, const char* fallbackUnderHome) {
    const char* value = std::getenv(variable);
    std::string native;
    if (value != nullptr && value[0] == '/') {
        native = value;
    } else {
        const char* home = std::getenv("HOME");
        native = std::string(home != nullptr && home[0] == '/' ? home : "/tmp") + fallbackUnderHome;
    }
    return SjisPathFromNative(IncludeTrailingPathDelimiter(native) + "varnoke/");
}

// The settings are saved later, at exit; their folder must exist by then.
// A folder that cannot be made shows up as the save's own error.
void EnsureFolder(const std::string& folder) {
    try {
        ForceDirectories(folder);
    } catch (const std::exception&) {
    }
}

// The folder that holds the temp and recovery folders (CP932).
std::string CacheFolder() {
    if (std::optional<std::string> beside = BesideProgram(ExecutablePath()))
        return *beside;
    return XdgFolder("XDG_CACHE_HOME", "/.cache");
}
} // namespace

std::string ExecutablePath() {
    char buffer[PATH_MAX];
    ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0)
        return "varnoke";
    return std::string(buffer, static_cast<size_t>(length));
}

std::string ExecutableFolder() {
    return ExtractFilePath(ExecutablePath());
}

bool InSystemFolder(std::string_view nativeExecutable) {
    for (std::string_view system : {"/usr/", "/opt/"}) {
        if (nativeExecutable.substr(0, system.size()) == system)
            return true;
    }
    return false;
}

std::string SettingsIniPathFor(const std::string& executablePath) {
    return ChangeFileExt(executablePath, ".INI");
}

std::string SettingsIniPath() {
    return SettingsIniPathOfProgram(ExecutablePath());
}

std::string SettingsIniPathOfProgram(const std::string& nativeExecutable) {
    if (std::optional<std::string> beside = BesideProgram(nativeExecutable))
        return SettingsIniPathFor(*beside + SjisPathFromNative(ExtractFileName(nativeExecutable)));
    const std::string folder = XdgFolder("XDG_CONFIG_HOME", "/.config");
    EnsureFolder(folder);
    return folder + ChangeFileExt(SjisPathFromNative(ExtractFileName(nativeExecutable)), ".INI");
}

std::string TempFolder() {
    return CacheFolder() + "temp/";
}

std::string RecoveryFolder() {
    return CacheFolder() + "recovery/";
}

} // namespace varnoke
