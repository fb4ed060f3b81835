// Files that replace a folder's files all together or not at all. They are
// written into a hidden folder made inside the target folder (so on the
// same file system) and renamed into the target folder once every one of
// them is complete; until then the old files stay as they were. Leaving
// the scope without a commit, by an error or an interruption, removes
// everything written so far; what a killed process left is removed by the
// next stage made in the folder.
#pragma once

#include "common/NativePath.h"

#include <string>
#include <vector>

namespace varnoke {

class TStagedFolder {
  public:
    // Makes the hidden folder inside `folder` (ending in "/"). When
    // the folder cannot take it (missing, read-only, full), this raises the
    // EInOutError that writing `firstFile` there would have raised, as that
    // is the file the caller was about to write.
    TStagedFolder(TNativePath folder, const std::string& firstFile);
    ~TStagedFolder();
    TStagedFolder(const TStagedFolder&) = delete;
    TStagedFolder& operator=(const TStagedFolder&) = delete;

    // Where to write the files, ending in "/".
    const TNativePath& Path() const { return stage_; }
    // The name a file written at `stagedFile` gets in the target folder;
    // any other name stays as it is.
    TNativePath FinalName(const TNativePath& stagedFile) const;

    // The names (file names only) of the files written so far.
    std::vector<std::string> Names() const;

    // Moves the named files into the target folder, over any file of the
    // same name, in this order. Every target is checked first (a folder in
    // a file's place is refused before anything moves), so a failure
    // leaves the old files; only a rename that fails after the checks can
    // leave the files of two builds side by side. Raises EInOutError naming
    // the target.
    void Commit(const std::vector<std::string>& names);

  private:
    void RemoveStaged();

    TNativePath folder_;
    TNativePath stage_; // empty once committed or removed
};

} // namespace varnoke
