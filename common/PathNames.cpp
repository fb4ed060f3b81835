#include "common/PathNames.h"

#include <vector>

namespace varnoke {

namespace {
size_t FileNameStart(std::string_view path) {
    size_t slash = path.find_last_of(PathDelimiter);
    return slash == std::string_view::npos ? 0 : slash + 1;
}

std::vector<std::string_view> PathParts(std::string_view path) {
    std::vector<std::string_view> parts;
    while (!path.empty()) {
        const size_t slash = path.find(PathDelimiter);
        const std::string_view part = path.substr(0, slash);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        if (slash == std::string_view::npos)
            break;
        path.remove_prefix(slash + 1);
    }
    return parts;
}

bool IsAbsolute(std::string_view path) {
    return !path.empty() && path.front() == PathDelimiter;
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

std::string NormalizedPath(std::string_view absolutePath) {
    std::string result;
    for (std::string_view part : PathParts(absolutePath)) {
        result += PathDelimiter;
        result += part;
    }
    return result.empty() ? std::string(1, PathDelimiter) : result;
}

std::string RelativePath(std::string_view folder, std::string_view target) {
    const std::vector<std::string_view> from = PathParts(folder);
    const std::vector<std::string_view> to = PathParts(target);
    size_t common = 0;
    while (common < from.size() && common < to.size() && from[common] == to[common])
        ++common;
    std::string result;
    for (size_t i = common; i < from.size(); ++i)
        result += "../";
    for (size_t i = common; i < to.size(); ++i) {
        result += to[i];
        result += PathDelimiter;
    }
    if (result.empty())
        return ".";
    result.pop_back();
    return result;
}

std::string RebaseRelativeName(std::string_view name, std::string_view oldFolder,
                               std::string_view newFolder) {
    if (name.empty() || IsAbsolute(name) || !IsAbsolute(oldFolder) || !IsAbsolute(newFolder))
        return std::string(name);
    return RelativePath(newFolder, NormalizedPath(ResolveAgainst(oldFolder, name)));
}

} // namespace varnoke
