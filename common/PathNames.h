// File-name arithmetic on CP932 path strings, with "/" as the delimiter.
// Only the bytes "/" and "." matter here, and neither ever occurs as a trail
// byte of a double-byte character, so a byte-level search is safe.
#pragma once

#include <string>
#include <string_view>

namespace varnoke {

inline constexpr char PathDelimiter = '/';

// "a/b/text.html" -> "text.html"
std::string ExtractFileName(std::string_view path);
// "a/b/text.html" -> "a/b/"
std::string ExtractFilePath(std::string_view path);
// "a/b/text.html" -> ".html"; "" when the file name has no "."
std::string ExtractFileExt(std::string_view path);
// "a/b/text.html" -> "text"
std::string FileNameWithoutExt(std::string_view path);
// Replaces the extension of the file name, or appends one when it has none.
std::string ChangeFileExt(std::string_view path, std::string_view extension);
// Appends "/" unless the path already ends with one.
std::string IncludeTrailingPathDelimiter(std::string_view path);
// Joins a relative name onto a folder; an absolute name stays as it is.
std::string ResolveAgainst(std::string_view folder, std::string_view name);

} // namespace varnoke
