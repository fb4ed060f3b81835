#include "common/NativePath.h"

#include "common/Errors.h"
#include "common/PathNames.h"
#include "common/ShiftJis.h"

namespace varnoke {

namespace {
// What SjisToUtf8 puts where the bytes hold no CP932 character; CP932 itself
// has no such character, so finding it means the name was not CP932.
constexpr std::string_view ReplacementCharacter = "\xEF\xBF\xBD";
} // namespace

TNativePath NativePath(std::string_view sjisPath) {
    std::string utf8 = SjisToUtf8(sjisPath);
    if (utf8.find(ReplacementCharacter) != std::string::npos)
        throw EConvertError("ファイル \"" + utf8 + "\". Shift-JIS の文字でないバイトを含みます");
    return TNativePath(std::move(utf8));
}

TNativePath NativePathOrEmpty(std::string_view sjisPath) {
    try {
        return NativePath(sjisPath);
    } catch (const EConvertError&) {
        return TNativePath();
    }
}

std::string SjisPathFromNative(const TNativePath& path) {
    try {
        return Utf8ToSjis(path.Name(), TUnmappable::Fail);
    } catch (const EConvertError& error) {
        // The character alone would not tell the user which file it is.
        throw EConvertError("ファイル \"" + path.Name() + "\". " + error.what());
    }
}

TNativePath FolderOf(const TNativePath& path) {
    return TNativePath(ExtractFilePath(path.Name()));
}

TNativePath ResolveAgainst(const TNativePath& folder, const TNativePath& name) {
    return TNativePath(ResolveAgainst(folder.Name(), name.Name()));
}

TNativePath AsFolder(const TNativePath& path) {
    return TNativePath(IncludeTrailingPathDelimiter(path.Name()));
}

} // namespace varnoke
