#include "common/PathNames.h"

namespace varnoke {

namespace {
size_t FileNameStart(std::string_view path) {
    size_t slash = path.find_last_of(PathDelimiter);
    return slash == std::string_view::npos ? 0 : slash + 1;
}

size_t ExtensionStart(std::string_view path) {
    size_t nameStart = FileNameStart(path);
    size_t dot = path.find_last_of('.');
    return dot == std::string_view::npos || dot < nameStart ? path.size() : dot;
}
} // namespace

std::string ExtractFileName(std::string_view path) {
    return std::string(path.substr(FileNameStart(path)));
}

std::string ExtractFilePath(std::string_view path) {
    return std::string(path.substr(0, FileNameStart(path)));
}

std::string ExtractFileExt(std::string_view path) {
    return std::string(path.substr(ExtensionStart(path)));
}

std::string FileNameWithoutExt(std::string_view path) {
    size_t start = FileNameStart(path);
    return std::string(path.substr(start, ExtensionStart(path) - start));
}

std::string ChangeFileExt(std::string_view path, std::string_view extension) {
    return std::string(path.substr(0, ExtensionStart(path))) + std::string(extension);
}

std::string IncludeTrailingPathDelimiter(std::string_view path) {
    std::string result(path);
    if (result.empty() || result.back() != PathDelimiter)
        result += PathDelimiter;
    return result;
}

std::string ResolveAgainst(std::string_view folder, std::string_view name) {
    if (name.empty() || name.front() == PathDelimiter || folder.empty())
        return std::string(name);
    return IncludeTrailingPathDelimiter(folder) + std::string(name);
}

} // namespace varnoke
