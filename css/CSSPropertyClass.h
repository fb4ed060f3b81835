// The ordered list of all named styles of the installation, addressed by a
// zero-based style index (which is also how a project names its styles).
// The list owns its styles; names are stored upper-cased and are meant to be
// unique, which the style editor checks with IndexOf before it adds.
//
// The style file is the settings INI file: section "STYLE" holds "COUNT"
// and the names "STYLE0", "STYLE1", ...; each style has nineteen sections
// named after it. Saving rewrites only those keys and sections: every
// other section of the file, and whatever stale style keys and sections an
// older save left, stay where they are.
#pragma once

#include "common/NativePath.h"

#include "css/CSSNames.h"
#include "css/CSSProperty.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace varnoke {

class TIniDocument;

class TCSSPropertyClass {
  public:
    int Count() const { return static_cast<int>(items_.size()); }
    // Raise std::out_of_range for an index outside 0 .. Count() - 1.
    TCSSProperty& Items(int index);
    const TCSSProperty& Items(int index) const;

    void Clear();
    // Appends a style with the upper-cased name and the starting look;
    // returns its index.
    int Add(std::string_view name);
    // Appends a copy of the style at `sourceIndex` under the new name.
    int Copy(int sourceIndex, std::string_view newName);
    // Removes the style; later styles move one place forward.
    void Delete(int index);
    // The first style whose name equals the upper-cased name, or -1.
    int IndexOf(std::string_view name) const;

    // Replaces the list by the styles of the file. A missing or incomplete
    // file loads what it has: "COUNT" styles, those without a "STYLEn" key
    // under an empty name (at most 4096 styles, unless the file names more);
    // a file that exists but cannot be read raises EFOpenError and leaves the
    // list as it was.
    void LoadFromFile(const TNativePath& fileName);
    // The same from a document already in memory (a style file built into
    // the program, for one).
    void LoadFromIni(const TIniDocument& ini);
    // Writes every style into the file, replacing it atomically; raises
    // EFCreateError naming the file, which then keeps its old content.
    void SaveToFile(const TNativePath& fileName) const;
    // Writes the style at the index as a style sheet; raises EInOutError.
    void WriteCSS(int index, const TNativePath& fileName,
                  const TSystemColorResolver& resolver = ClassicSystemColors()) const;

  private:
    // Owned one by one, so that a reference to a style survives Add.
    std::vector<std::unique_ptr<TCSSProperty>> items_;
};

// Whether a new style may take this name: true only for a name that comes
// back unchanged (upper-cased) after a save and a load, in this program and
// in the INI readers of the platform. Refuses an empty name, blanks or
// control characters at either end, control characters anywhere (CR and LF
// above all), "[", "]" and "=" outside double-byte characters, and bytes
// that are not well-formed Shift-JIS.
bool IsValidStyleName(std::string_view name);

} // namespace varnoke
