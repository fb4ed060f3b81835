// Key-by-key access to an INI file, each call straight in the file: read a
// key, write a key, erase a section. Used by the recent-project list, which
// writes its section at a moment when nobody holds the file in memory. The
// file content is the same as the in-memory document gives.
#pragma once

#include "common/NativePath.h"

#include <string>
#include <string_view>

namespace varnoke {

std::string ProfileReadString(const TNativePath& iniFile, std::string_view section,
                              std::string_view key, std::string_view defaultValue);
// Both raise EIniFileError ("%s に書き込めません") when the file cannot be written.
void ProfileWriteString(const TNativePath& iniFile, std::string_view section, std::string_view key,
                        std::string_view value);
void ProfileEraseSection(const TNativePath& iniFile, std::string_view section);

} // namespace varnoke
