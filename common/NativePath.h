// File names as the Linux file system spells them. The model keeps every
// name it stores in CP932 (a project's text and output folder, the recent
// projects); the system calls want UTF-8. A TNativePath is such a UTF-8
// name, and the file functions take nothing else, so a CP932 name reaches
// the system only through NativePath, at the point where the model's name
// becomes a file name. The program's own places (its path, settings, temp
// and recovery folders) and the command-line tool's names are native from
// the start and never need to fit CP932.
#pragma once

#include <string>
#include <string_view>

namespace varnoke {

class TNativePath {
  public:
    TNativePath() = default;
    explicit TNativePath(std::string utf8Name) : name_(std::move(utf8Name)) {}

    const std::string& Name() const { return name_; }
    const char* CStr() const { return name_.c_str(); }
    bool Empty() const { return name_.empty(); }

    // A name inside this folder, which ends with "/" ("temp/" + "text.html"),
    // or an ending appended to a name; `tail` is UTF-8 as well.
    TNativePath operator+(std::string_view tail) const {
        return TNativePath(name_ + std::string(tail));
    }
    bool operator==(const TNativePath& other) const { return name_ == other.name_; }
    bool operator!=(const TNativePath& other) const { return name_ != other.name_; }
    bool operator<(const TNativePath& other) const { return name_ < other.name_; }

  private:
    std::string name_;
};

// The file a name of the model stands for. Throws EConvertError naming the
// file when the bytes are not CP932 (a byte sequence without a character):
// such a name would otherwise reach the disk as some other file's name.
TNativePath NativePath(std::string_view sjisPath);
// The same where a name that names nothing is no error (looking whether a
// remembered file is still there): empty for such bytes.
TNativePath NativePathOrEmpty(std::string_view sjisPath);
// The name the model stores for a file; throws EConvertError, naming the
// file and the character, when a character has no CP932 form.
std::string SjisPathFromNative(const TNativePath& path);

// The folder part of a name, with its trailing "/" ("a/b/t.txt" -> "a/b/").
TNativePath FolderOf(const TNativePath& path);
// A name relative to a folder joined onto it; an absolute one stays.
TNativePath ResolveAgainst(const TNativePath& folder, const TNativePath& name);
// The name with "/" at its end, as a folder is named.
TNativePath AsFolder(const TNativePath& path);

} // namespace varnoke
