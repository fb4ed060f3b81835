// Notices when another program changes the text's file: written in place,
// replaced by a file renamed over it (as most editors save), or deleted.
// Each change is reported a moment after its last file-system event, so
// that a save made of several steps counts as one. A change is a difference
// from the state the window last acknowledged, so the window's own saves,
// acknowledged right after they are written, are never reported.
#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

#include <cstdint>
#include <string>

namespace varnoke {

class TTextFileWatcher : public QObject {
    Q_OBJECT

  public:
    explicit TTextFileWatcher(QObject* parent = nullptr);

    // Watches the file (CP932 path) and acknowledges its present state; an
    // empty name stops watching.
    void Watch(const std::string& sjisPath);
    // The file as it is now is what the window holds.
    void Acknowledge();

  signals:
    // The file exists and differs from the acknowledged state.
    void Changed();
    // The file was there when acknowledged and is gone now.
    void Removed();

  private:
    // What tells one version of a file from another without reading it.
    struct TStamp {
        bool Exists = false;
        std::uint64_t Device = 0, Inode = 0;
        std::int64_t Size = 0, ModifiedNs = 0, ChangedNs = 0;
        bool operator==(const TStamp& other) const;
    };
    TStamp CurrentStamp() const;
    void Check();
    void WatchPaths();

    QFileSystemWatcher watcher_;
    QTimer settle_;
    std::string native_; // the file's UTF-8 name; empty while nothing is watched
    TStamp known_;
};

} // namespace varnoke
