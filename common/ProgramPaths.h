// Where the program keeps its files: the settings file and the temp and
// recovery folders. A program installed into the system (under /usr/ or
// /opt/) keeps them in the user's XDG config and cache folders, for every
// user, root included, so that nothing appears beside it that the package
// manager does not know. Any other copy keeps them beside itself when its
// folder is writable; else the XDG folders again.
//
// All of these are native names, whatever characters the folders hold: the
// model never stores them, so they never need to fit Shift-JIS.
#pragma once

#include "common/NativePath.h"

#include <string_view>

namespace varnoke {

// The running executable's full path, as the file system names it.
TNativePath ExecutablePath();
// The executable's folder with its trailing "/".
TNativePath ExecutableFolder();

// Whether a program at this path is installed into the system.
bool InSystemFolder(const TNativePath& executable);

// The executable's path with its extension replaced by ".INI" (".INI"
// appended when it has none), or $XDG_CONFIG_HOME/varnoke/<name>.INI.
TNativePath SettingsIniPath();
// The same for another program, given its executable path: the
// command-line tool reads the window's settings this way.
TNativePath SettingsIniPathOfProgram(const TNativePath& executable);
// The settings path for a given executable path, beside it.
TNativePath SettingsIniPathFor(const TNativePath& executable);

// The executable's folder + "temp/", or $XDG_CACHE_HOME/varnoke/temp/.
TNativePath TempFolder();
// The recovery copies of unsaved texts, beside the temp folder: the
// executable's folder + "recovery/", or $XDG_CACHE_HOME/varnoke/recovery/.
TNativePath RecoveryFolder();

} // namespace varnoke
