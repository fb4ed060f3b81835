// The recent-project list: at most 16 file names, the most recent first,
// kept in the section "KeepFileNames" of the settings file. This is the
// list's logic; the window binds it to its "プロジェクト履歴" menu, one menu
// item per filled slot.
#pragma once

#include "common/NativePath.h"

#include <array>
#include <functional>
#include <string>

namespace varnoke {

class TFileNameKeep {
  public:
    static constexpr int KeepCount = 16;
    // The names are the model's (CP932); the settings file is native.
    using TFileExists = std::function<bool(const std::string& fileName)>;

    // fileExists decides which stored names survive LoadList.
    explicit TFileNameKeep(TNativePath iniFile, TFileExists fileExists = nullptr);

    // Reads FileName16 down to FileName1 and adds each whose file exists, so
    // the list ends in the stored order without the vanished files.
    void LoadList();
    // Erases the section, then writes FileName1 to FileName16 (empty for a
    // free slot), key by key. Raises EIniFileError.
    void SaveList() const;

    // Puts the name on top; an existing entry moves up, a new one pushes the
    // oldest out when all 16 slots are taken. An empty name changes nothing.
    void Add(const std::string& fileName);

    // Number of menu items: grows with each distinct name, up to 16, and
    // never shrinks while the program runs.
    int ItemCount() const { return itemCount_; }
    // slot is 1 .. KeepCount; an empty name marks a free slot.
    const std::string& Name(int slot) const { return names_[static_cast<size_t>(slot - 1)]; }
    // "&" + slot in lower-case hex + " " + name: "&1 a.vkp", "&a j.vkp", "&10 p.vkp".
    std::string Caption(int slot) const;
    // The file name back from a caption: without its first three characters
    // ("&", a digit, a space) and without the spaces that then lead it.
    static std::string NameFromCaption(const std::string& caption);

    const TNativePath& IniFile() const { return iniFile_; }

  private:
    bool MoveToFront(const std::string& fileName);

    TNativePath iniFile_;
    TFileExists fileExists_;
    std::array<std::string, KeepCount> names_;
    int itemCount_ = 0;
};

} // namespace varnoke
