// Where the program keeps its files: the settings file and the temp folder
// sit beside the executable; when that folder cannot be written (a system
// installation), they move to the user's XDG config and cache folders.
#pragma once

#include <string>

namespace varnoke {

// The running executable's full path (CP932).
std::string ExecutablePath();
// The executable's folder with its trailing "/".
std::string ExecutableFolder();

// The executable's path with its extension replaced by ".INI" (".INI"
// appended when it has none), or $XDG_CONFIG_HOME/varnoke/<name>.INI.
std::string SettingsIniPath();
// The same for another program, given its executable path: the
// command-line tool reads the window's settings this way.
std::string SettingsIniPathOfProgram(const std::string& executablePath);
// The settings path for a given executable path, beside it.
std::string SettingsIniPathFor(const std::string& executablePath);

// The executable's folder + "temp/", or $XDG_CACHE_HOME/varnoke/temp/.
std::string TempFolder();
// The recovery copies of unsaved texts, beside the temp folder: the
// executable's folder + "recovery/", or $XDG_CACHE_HOME/varnoke/recovery/.
std::string RecoveryFolder();

} // namespace varnoke
