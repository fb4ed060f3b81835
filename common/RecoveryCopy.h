// Recovery copies. While the editor holds changes that are not saved, the
// window writes its text into a folder of its own every few seconds of
// idle time, so that a crash or a killed process does not take the
// author's work with it. There is one copy per text file, named from a hash
// of the file's full path, and one for the text that has no file yet. A copy
// carries the file's path and the time it was written, and a checksum, so
// that a damaged copy is recognised and never taken for the author's text.
#pragma once

#include "common/NativePath.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varnoke {

struct TRecoveryCopy {
    std::string TextFile;       // CP932 full path of the text's file; empty when it has none
    std::int64_t SavedAtMs = 0; // when the copy was written, milliseconds since the epoch
    std::string Text;           // the editor's characters, UTF-8 with "\n" line breaks
    std::int64_t WriterPid = 0; // the process of the window that wrote it
};

std::string EncodeRecoveryCopy(const TRecoveryCopy& copy);
// Empty for anything that is not a whole, undamaged copy.
std::optional<TRecoveryCopy> DecodeRecoveryCopy(std::string_view bytes);

// Whether the copy holds work that its file lacks: it was written after the
// file was last written, or the file is gone (or cannot be named), or the
// text never had one.
bool HoldsUnsavedWork(const TRecoveryCopy& copy);

// Whether the window that wrote the copy is still running (a process of this
// same program): its text is not left over, it is being worked on.
bool WrittenByAnotherRunningWindow(const TRecoveryCopy& copy);

// The milliseconds since the epoch, now.
std::int64_t NowMs();

// The folder of the copies. An empty folder name turns recovery off: every
// operation then does nothing and nothing is found.
class TRecoveryFolder {
  public:
    explicit TRecoveryFolder(TNativePath folder = {}); // with its trailing "/"

    bool Enabled() const { return !folder_.Empty(); }
    const TNativePath& Folder() const { return folder_; }
    // The copy's file for a text file ("" for the text without a file).
    TNativePath CopyFileOf(const std::string& textFile) const;

    // Atomically, readable by the owner only, creating the folder (for the
    // owner only) when needed; throws EFCreateError.
    void Write(const TRecoveryCopy& copy) const;
    // Does nothing when there is no copy.
    void Remove(const std::string& textFile) const;

    // A copy that cannot be read or is damaged is set aside (renamed to end
    // in ".damaged", so that it is not offered again but not lost either),
    // and its file name is added to `damaged`.
    std::optional<TRecoveryCopy> Find(const std::string& textFile,
                                      std::vector<TNativePath>& damaged) const;
    // Every copy in the folder, the newest first.
    std::vector<TRecoveryCopy> FindAll(std::vector<TNativePath>& damaged) const;

  private:
    std::optional<TRecoveryCopy> Read(const TNativePath& copyFile,
                                      std::vector<TNativePath>& damaged) const;

    TNativePath folder_;
};

} // namespace varnoke
