// Small helpers the tests share: a scratch folder that cleans up after
// itself, whole-file reads and writes, and a line source over literal text.
#pragma once

#include "common/FileSystem.h"
#include "common/TextLines.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace varnoke::test {

class TScratchFolder {
  public:
    // In the temp folder, or below `base` (a memory file system for tests
    // that write hundreds of megabytes).
    explicit TScratchFolder(
        const std::filesystem::path& base = std::filesystem::temp_directory_path()) {
        std::string pattern = (base / "varnoke-test-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~TScratchFolder() {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TScratchFolder(const TScratchFolder&) = delete;
    TScratchFolder& operator=(const TScratchFolder&) = delete;

    // The folder with its trailing "/", as the build wants it.
    std::string Path() const { return path_ + "/"; }
    std::string File(const std::string& name) const { return Path() + name; }
    // The same as the file functions take it.
    TNativePath Native(const std::string& name = "") const { return TNativePath(File(name)); }

  private:
    std::string path_;
};

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

inline bool Exists(const std::string& path) {
    return std::filesystem::exists(path);
}

// The same for the names the file functions take.
inline std::string ReadFile(const TNativePath& path) {
    return ReadFile(path.Name());
}
inline void WriteFile(const TNativePath& path, const std::string& bytes) {
    WriteFile(path.Name(), bytes);
}
inline bool Exists(const TNativePath& path) {
    return Exists(path.Name());
}

// Every entry of a folder, hidden ones too, with a file's bytes (a
// folder's as "<folder>"): what a failed build must leave as it found it.
inline std::map<std::string, std::string> FolderSnapshot(const std::string& folder) {
    std::map<std::string, std::string> entries;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        entries[entry.path().filename().string()] =
            entry.is_directory() ? "<folder>" : ReadFile(entry.path().string());
    return entries;
}

// Joins lines with CR LF after each: the shape of every generated file.
inline std::string CrLfLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

// Splits a file at CR LF; a final CR LF does not start another line.
inline std::vector<std::string> SplitCrLf(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// Running as root, permission bits do not stop writes; tests that need a
// refused write skip there.
// The bytes of a UTF-16 text file with its byte-order mark, as Windows
// Notepad saves "Unicode".
inline std::string Utf16File(std::u16string_view text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t unit : text) {
        const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

inline bool RunningAsRoot() {
    return ::geteuid() == 0;
}

} // namespace varnoke::test
