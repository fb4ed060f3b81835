// Tells which of a few files changed, through Linux's inotify. A file is
// watched through its folder, not by itself, so that every way an editor
// saves is seen: writing in place, writing a new file and renaming it over
// the old one, deleting and creating anew. A file that is missing, even
// with its folder, is watched for its return.
#pragma once

#include <string>
#include <vector>

namespace varnoke {

class TFileWatcher {
  public:
    // Throws std::system_error when the system refuses a watcher.
    TFileWatcher();
    ~TFileWatcher();
    TFileWatcher(const TFileWatcher&) = delete;
    TFileWatcher& operator=(const TFileWatcher&) = delete;

    // Watches these files from now on, and no others (file-system names).
    void Watch(const std::vector<std::string>& files);

    // Readable when changes are waiting (for poll).
    int Descriptor() const { return descriptor_; }

    // The watched files touched by the events waiting now, each once, in
    // the order of Watch; empty when nothing is waiting or none of them was
    // touched. Folders that appeared or vanished are watched anew.
    std::vector<std::string> TakeChanges();

  private:
    // Where a change of one file shows: the deepest folder on its path that
    // exists, and the name in it that leads to the file (the file itself,
    // or a missing folder on its way).
    // A file behind a symbolic link has a second anchor at its target.
    struct TAnchor {
        std::string File; // as given to Watch
        int Folder;       // the inotify watch of the folder
        std::string Name; // the name within it
    };

    void Arm();

    int descriptor_ = -1;
    std::vector<std::string> files_;
    std::vector<TAnchor> anchors_;
    std::vector<int> folders_;
};

} // namespace varnoke
