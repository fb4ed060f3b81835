#include "cli/FileWatcher.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <sys/inotify.h>
#include <system_error>
#include <unistd.h>

namespace varnoke {

namespace fs = std::filesystem;

namespace {

// Everything that can change what a name in the folder holds, and the
// folder's own end.
constexpr std::uint32_t FolderEvents = IN_CLOSE_WRITE | IN_MODIFY | IN_ATTRIB | IN_CREATE |
                                       IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF |
                                       IN_MOVE_SELF | IN_ONLYDIR;

// The deepest folder on the way to `path` that exists, and the name in it
// that leads on towards `path`.
std::pair<fs::path, std::string> NearestExistingFolder(const fs::path& path) {
    fs::path name = path.filename();
    fs::path folder = path.parent_path();
    std::error_code ignored;
    while (!fs::is_directory(folder, ignored) && folder != folder.root_path()) {
        name = folder.filename();
        folder = folder.parent_path();
    }
    return {folder, name.string()};
}

template <class T> bool Contains(const std::vector<T>& items, const T& item) {
    return std::find(items.begin(), items.end(), item) != items.end();
}

} // namespace

TFileWatcher::TFileWatcher() : descriptor_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
    if (descriptor_ < 0)
        throw std::system_error(errno, std::generic_category(), "inotify");
}

TFileWatcher::~TFileWatcher() {
    ::close(descriptor_);
}

void TFileWatcher::Watch(const std::vector<std::string>& files) {
    files_ = files;
    Arm();
}

void TFileWatcher::Arm() {
    std::vector<TAnchor> anchors;
    std::vector<int> folders;
    const auto anchor = [&](const std::string& file, const fs::path& path) {
        const auto [folder, name] = NearestExistingFolder(path);
        // The same folder twice gives the same watch.
        const int handle = ::inotify_add_watch(descriptor_, folder.c_str(), FolderEvents);
        if (handle < 0)
            throw std::system_error(errno, std::generic_category(), folder.string());
        if (!Contains(folders, handle))
            folders.push_back(handle);
        anchors.push_back({file, handle, name});
    };
    for (const std::string& file : files_) {
        const fs::path path = fs::absolute(file).lexically_normal();
        anchor(file, path);
        std::error_code error;
        if (fs::is_symlink(path, error)) {
            const fs::path target = fs::weakly_canonical(path, error);
            if (!error)
                anchor(file, target);
        }
    }
    for (int old : folders_) {
        if (!Contains(folders, old))
            ::inotify_rm_watch(descriptor_, old); // fails harmlessly for a vanished folder
    }
    anchors_ = std::move(anchors);
    folders_ = std::move(folders);
}

std::vector<std::string> TFileWatcher::TakeChanges() {
    std::vector<std::string> touched;
    bool anyEvent = false;
    alignas(inotify_event) char buffer[16 * 1024];
    for (;;) {
        const ssize_t length = ::read(descriptor_, buffer, sizeof buffer);
        if (length < 0 && errno == EINTR)
            continue;
        if (length <= 0)
            break; // EAGAIN: nothing more waiting
        anyEvent = true;
        for (ssize_t offset = 0; offset < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + offset);
            offset += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            const std::string name = event->len > 0 ? std::string(event->name) : std::string();
            for (const TAnchor& anchor : anchors_) {
                // Lost events, or the folder itself gone: anything may have
                // changed.
                const bool whole = (event->mask & IN_Q_OVERFLOW) ||
                                   (anchor.Folder == event->wd &&
                                    (event->mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED)));
                if (whole || (anchor.Folder == event->wd && anchor.Name == name))
                    touched.push_back(anchor.File);
            }
        }
    }
    if (anyEvent)
        Arm(); // folders may have come or gone
    std::vector<std::string> changes;
    for (const std::string& file : files_) {
        if (Contains(touched, file) && !Contains(changes, file))
            changes.push_back(file);
    }
    return changes;
}

} // namespace varnoke
