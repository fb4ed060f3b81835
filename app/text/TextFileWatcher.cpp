#include "app/text/TextFileWatcher.h"

#include "common/FileSystem.h"

#include <QFileInfo>
#include <sys/stat.h>

namespace varnoke {

namespace {
// Long enough for a save by rename (write, rename, fix permissions) to be
// over; short enough that the window follows at once to the eye.
constexpr int SettleMs = 200;
} // namespace

bool TTextFileWatcher::TStamp::operator==(const TStamp& other) const {
    return Exists == other.Exists && Device == other.Device && Inode == other.Inode &&
           Size == other.Size && ModifiedNs == other.ModifiedNs && ChangedNs == other.ChangedNs;
}

TTextFileWatcher::TTextFileWatcher(QObject* parent) : QObject(parent) {
    settle_.setSingleShot(true);
    settle_.setInterval(SettleMs);
    connect(&settle_, &QTimer::timeout, this, &TTextFileWatcher::Check);
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, [this] { settle_.start(); });
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, [this] { settle_.start(); });
}

void TTextFileWatcher::Watch(const std::string& sjisPath) {
    if (!watcher_.files().isEmpty())
        watcher_.removePaths(watcher_.files());
    if (!watcher_.directories().isEmpty())
        watcher_.removePaths(watcher_.directories());
    settle_.stop();
    native_ = NativePathOrEmpty(sjisPath).Name();
    WatchPaths();
    Acknowledge();
}

void TTextFileWatcher::Acknowledge() {
    known_ = CurrentStamp();
}

// The folder tells of a file renamed over the text or created anew; the
// file itself of writes in place. A file replaced or deleted drops out of
// the watch, so it is added again whenever it exists.
void TTextFileWatcher::WatchPaths() {
    if (native_.empty())
        return;
    const QFileInfo file(QString::fromStdString(native_));
    const QString folder = file.absolutePath();
    if (!watcher_.directories().contains(folder) && QFileInfo(folder).isDir())
        watcher_.addPath(folder);
    if (!watcher_.files().contains(file.absoluteFilePath()) && file.exists())
        watcher_.addPath(file.absoluteFilePath());
}

TTextFileWatcher::TStamp TTextFileWatcher::CurrentStamp() const {
    TStamp stamp;
    struct stat info {};
    if (native_.empty() || ::stat(native_.c_str(), &info) != 0)
        return stamp;
    const auto ns = [](const timespec& t) {
        return static_cast<std::int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
    };
    stamp.Exists = true;
    stamp.Device = info.st_dev;
    stamp.Inode = info.st_ino;
    stamp.Size = info.st_size;
    stamp.ModifiedNs = ns(info.st_mtim);
    stamp.ChangedNs = ns(info.st_ctim);
    return stamp;
}

void TTextFileWatcher::Check() {
    WatchPaths();
    const TStamp now = CurrentStamp();
    if (now == known_)
        return;
    const bool wasThere = known_.Exists;
    // Reported once: the receiver acknowledges what it takes, and a change
    // it declines is not reported again until the file changes once more.
    known_ = now;
    if (now.Exists)
        emit Changed();
    else if (wasThere)
        emit Removed();
}

} // namespace varnoke
