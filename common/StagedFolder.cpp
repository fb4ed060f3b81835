#include "common/StagedFolder.h"

#include "common/Errors.h"
#include "common/FileSystem.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <memory>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace varnoke {

namespace {
// Hidden, and unlike any name a build writes; then the process that writes
// it and "-XXXXXX".
constexpr std::string_view StagePrefix = ".varnoke-build-";

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

void RemoveFolderAndFiles(const std::string& nativeFolder) {
    for (const std::string& name : EntriesOf(nativeFolder))
        ::unlink((nativeFolder + "/" + name).c_str());
    ::rmdir(nativeFolder.c_str());
}

// A process killed while it wrote (SIGKILL, a power cut) cannot remove its
// stage: the next build into the folder does, once that process is gone.
// A stage of a build still running is left alone.
void RemoveStagesOfEndedBuilds(const std::string& nativeFolder) {
    for (const std::string& name : EntriesOf(nativeFolder)) {
        if (name.compare(0, StagePrefix.size(), StagePrefix) != 0)
            continue;
        const char* pidText = name.c_str() + StagePrefix.size();
        char* end = nullptr;
        const long pid = std::strtol(pidText, &end, 10);
        if (end == pidText || *end != '-' || pid <= 0)
            continue;
        if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
            RemoveFolderAndFiles(nativeFolder + name);
    }
}
} // namespace

TStagedFolder::TStagedFolder(TNativePath folder, const std::string& firstFile)
    : folder_(std::move(folder)) {
    RemoveStagesOfEndedBuilds(folder_.Name());
    std::string native =
        folder_.Name() + std::string(StagePrefix) + std::to_string(::getpid()) + "-XXXXXX";
    if (::mkdtemp(native.data()) == nullptr)
        throw EInOutError(InOutCodeFromErrno(errno), folder_ + firstFile);
    stage_ = AsFolder(TNativePath(native));
}

TStagedFolder::~TStagedFolder() {
    RemoveStaged();
}

TNativePath TStagedFolder::FinalName(const TNativePath& stagedFile) const {
    const std::string& staged = stagedFile.Name();
    if (stage_.Empty() || staged.compare(0, stage_.Name().size(), stage_.Name()) != 0)
        return stagedFile;
    return folder_ + std::string_view(staged).substr(stage_.Name().size());
}

std::vector<std::string> TStagedFolder::Names() const {
    return EntriesOf(stage_.Name());
}

void TStagedFolder::Commit(const std::vector<std::string>& names) {
    for (const std::string& name : names) {
        struct stat target {};
        if (::stat((folder_ + name).CStr(), &target) == 0 && S_ISDIR(target.st_mode))
            throw EInOutError(InOutCodeFromErrno(EISDIR), folder_ + name);
    }
    for (const std::string& name : names) {
        if (::rename((stage_ + name).CStr(), (folder_ + name).CStr()) != 0)
            throw EInOutError(InOutCodeFromErrno(errno), folder_ + name);
    }
    RemoveStaged();
}

void TStagedFolder::RemoveStaged() {
    if (stage_.Empty())
        return;
    // Nothing here may throw: it also runs while an error unwinds.
    try {
        std::string native = stage_.Name();
        native.pop_back(); // the "/"
        RemoveFolderAndFiles(native);
    } catch (...) {
    }
    stage_ = TNativePath();
}

} // namespace varnoke
