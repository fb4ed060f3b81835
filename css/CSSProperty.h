// One named style: a page background and three chips, one for each of the
// element kinds P, H1 and H2. The style stores itself in the style file
// under its name and writes itself as a complete style sheet; the style
// sheet writer is the only place where style data becomes CSS text.
#pragma once

#include "common/NativePath.h"

#include "common/IniDocument.h"
#include "css/CSSChip.h"
#include "css/CSSNames.h"

#include <array>
#include <cstdint>
#include <string>

namespace varnoke {

// Chip indices, in the order of TagNames.
inline constexpr int ChipP = 0;
inline constexpr int ChipH1 = 1;
inline constexpr int ChipH2 = 2;
inline constexpr int ChipCount = 3;

struct TCSSBG {
    std::int32_t Color = ColorWhite;
    bool CGFlag = false; // a background image is used
    std::string CGFile;  // the image file exactly as chosen, written without change
};

class TCSSProperty {
  public:
    // Keeps the name as given (the collection passes it upper-cased).
    explicit TCSSProperty(std::string name);

    // The starting look: white page, small body text with a 2.0em left
    // margin, large bold H1, medium bold H2 with a 1.0em left margin.
    void Reset();
    // Reads name + "_BG", then the chips with the prefixes name + "_P",
    // "_H1" and "_H2"; missing keys keep the current values.
    void LoadFromIni(const TIniDocument& ini);
    void SaveToIni(TIniDocument& ini) const;
    // Copies the background and the chips; the name stays.
    void Assign(const TCSSProperty& source);

    // Writes the whole style sheet, replacing the file; system colours are
    // resolved through `resolver`. Raises EInOutError.
    void WriteCSS(const TNativePath& fileName,
                  const TSystemColorResolver& resolver = ClassicSystemColors()) const;

    std::string Name;
    TCSSBG Background;
    std::array<TCSSPropertyChip, ChipCount> Chips;
};

} // namespace varnoke
