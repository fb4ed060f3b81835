// One manual's settings: its text file, output folder, menu type, split and
// title-frame options, title, and the styles of its three kinds of page.
// Stored as the section "PROJECT" of a ".vkp" file.
#pragma once

#include "common/NativePath.h"

#include <cstdint>
#include <string>

namespace varnoke {

class TProjectData {
  public:
    TProjectData() { Reset(); }

    void Reset();
    // Reads over the present values: a key missing from the file keeps the
    // value the field held. A missing file changes nothing; an unreadable one
    // raises EFOpenError before any field changes.
    void LoadFromFile(const TNativePath& fileName);
    // Writes the ten keys, keeping the file's other sections; the file is
    // replaced whole or not at all (EFCreateError).
    void SaveToFile(const TNativePath& fileName) const;

    // Whether an existing file holds a project, that is a section
    // "PROJECT"; raises EFOpenError when it cannot be read. (Opening a file
    // that does not exist changes nothing; it is not refused.)
    static bool HoldsProject(const TNativePath& fileName);

    // Names as the model stores them (CP932), relative to the project's
    // folder or absolute; NativePath makes them file names.
    std::string TextName;
    std::uint8_t ContentsType = 0; // 0 none, 1 frame set with a menu page
    bool FileDivideFlag = false;
    bool TitleFrameFlag = false;
    std::string TitleName;
    std::string OutputPath;
    int StyleTitle = 0;
    int StyleMenu = 0;
    int StyleText = 0;
    bool SearchFlag = false; // search.html and search.js, and links to them
};

} // namespace varnoke
