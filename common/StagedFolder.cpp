#include "common/StagedFolder.h"

#include "common/Errors.h"
#include "common/FileSystem.h"
#include "common/PathNames.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace varnoke {

namespace {
// Hidden, and unlike any name a build writes.
constexpr const char* StageTemplate = ".varnoke-build-XXXXXX";

std::vector<std::string> EntriesOf(const std::string& nativeFolder) {
    std::vector<std::string> names;
    const std::unique_ptr<DIR, int (*)(DIR*)> folder(::opendir(nativeFolder.c_str()), ::closedir);
    if (!folder)
        return names;
    while (const dirent* entry = ::readdir(folder.get())) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    return names;
}
} // namespace

TStagedFolder::TStagedFolder(std::string folder, const std::string& firstFile)
    : folder_(std::move(folder)) {
    std::string native = NativePath(folder_) + StageTemplate;
    if (::mkdtemp(native.data()) == nullptr)
        throw EInOutError(InOutCodeFromErrno(errno), folder_ + firstFile);
    // The stage's name is ASCII past the folder's own: the same in CP932.
    stage_ = folder_ + ExtractFileName(native) + PathDelimiter;
}

TStagedFolder::~TStagedFolder() {
    RemoveStaged();
}

std::string TStagedFolder::FinalName(const std::string& stagedFile) const {
    if (stagedFile.compare(0, stage_.size(), stage_) != 0)
        return stagedFile;
    return folder_ + stagedFile.substr(stage_.size());
}

std::vector<std::string> TStagedFolder::Names() const {
    // Names the build writes are ASCII: the native name is the CP932 one.
    return EntriesOf(NativePath(stage_));
}

void TStagedFolder::Commit(const std::vector<std::string>& names) {
    for (const std::string& name : names) {
        struct stat target {};
        if (::stat(NativePath(folder_ + name).c_str(), &target) == 0 && S_ISDIR(target.st_mode))
            throw EInOutError(InOutCodeFromErrno(EISDIR), folder_ + name);
    }
    for (const std::string& name : names) {
        if (::rename(NativePath(stage_ + name).c_str(), NativePath(folder_ + name).c_str()) != 0)
            throw EInOutError(InOutCodeFromErrno(errno), folder_ + name);
    }
    RemoveStaged();
}

void TStagedFolder::RemoveStaged() {
    if (stage_.empty())
        return;
    // Nothing here may throw: it also runs while an error unwinds.
    try {
        const std::string native = NativePath(stage_);
        for (const std::string& name : EntriesOf(native))
            ::unlink((native + name).c_str());
        ::rmdir(native.c_str());
    } catch (...) {
    }
    stage_.clear();
}

} // namespace varnoke
