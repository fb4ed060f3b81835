// Where the program keeps its files: the settings file and the temp and
// recovery folders. A program installed into the system (under /usr/ or
// /opt/) keeps them in the user's XDG config and cache folders, for every
// user, root included, so that nothing appears beside it that the package
// manager does not know. Any other copy keeps them beside itself, when its
// folder is writable and the model's Shift-JIS file names can name it; else
// the XDG folders again.
//
// The program's own path is a native (UTF-8) name and never needs to fit
// Shift-JIS; only the places handed to the model are converted, and one
// that cannot be gives EConvertError naming it.
#pragma once

#include <string>
#include <string_view>

namespace varnoke {

// The running executable's full path, as the file system names it (UTF-8).
std::string ExecutablePath();
// The executable's folder with its trailing "/" (UTF-8).
std::string ExecutableFolder();

// Whether a program at this native path is installed into the system.
bool InSystemFolder(std::string_view nativeExecutable);

// The executable's path with its extension replaced by ".INI" (".INI"
// appended when it has none), or $XDG_CONFIG_HOME/varnoke/<name>.INI (CP932).
std::string SettingsIniPath();
// The same for another program, given its native executable path: the
// command-line tool reads the window's settings this way.
std::string SettingsIniPathOfProgram(const std::string& nativeExecutable);
// The settings path for a given executable path, beside it.
std::string SettingsIniPathFor(const std::string& executablePath);

// The executable's folder + "temp/", or $XDG_CACHE_HOME/varnoke/temp/ (CP932).
std::string TempFolder();
// The recovery copies of unsaved texts, beside the temp folder: the
// executable's folder + "recovery/", or $XDG_CACHE_HOME/varnoke/recovery/.
std::string RecoveryFolder();

} // namespace varnoke
