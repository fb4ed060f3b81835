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
// An absolute path with "." and empty parts dropped and ".." folded into
// the part before it; symbolic links are not followed.
std::string NormalizedPath(std::string_view absolutePath);
// How the absolute `target` is named relative to the absolute `folder`:
// "t.txt", "sub/t.txt", "../other/t.txt", or "." for the folder itself.
std::string RelativePath(std::string_view folder, std::string_view target);
// A name stored in a file that moves from `oldFolder` to `newFolder`: an
// empty or absolute name stays; a relative one is rewritten so that it names
// the same file from the new folder. Without two absolute folders to compare,
// the name stays as it is.
std::string RebaseRelativeName(std::string_view name, std::string_view oldFolder,
                               std::string_view newFolder);

} // namespace varnoke
