// The style of one element kind (P, H1 or H2) inside a named style: font,
// line height, letter spacing, and border, margin and padding on four sides.
// Each class resets itself, reads and writes its own keys in an INI document
// and copies itself from another instance. The chips know nothing of style
// names or files: the owning style hands them the prefix of their sections.
//
// Reading takes every key with the field's current value as the default,
// so a missing or unparsable key leaves the field alone; the one exception
// is the "_PARAM" keys of margins and paddings, which default to 0.0 as
// stored files have always been read.
#pragma once

#include "common/IniDocument.h"
#include "css/CSSNames.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace varnoke {

// Side order wherever sides are enumerated, stored or written.
enum TCSSSide : int { sdLeft = 0, sdTop = 1, sdRight = 2, sdBottom = 3 };
inline constexpr int CSSSideCount = 4;
// The key prefix of each side in the border, margin and padding sections.
inline constexpr std::array<std::string_view, CSSSideCount> CSSSideKeys = {"LEFT", "TOP", "RIGHT",
                                                                           "BOTTOM"};

// Border width kinds (`TCSSBorderSide::WidthType`).
inline constexpr std::uint8_t BorderWidthThin = 0;
inline constexpr std::uint8_t BorderWidthMedium = 1;
inline constexpr std::uint8_t BorderWidthThick = 2;
inline constexpr std::uint8_t BorderWidthPixels = 3;
inline constexpr std::uint8_t BorderWidthFontRelative = 4;

// Length kinds of margins, paddings (`Style`), line height and letter
// spacing (`LType`); any other kind writes no line at all.
inline constexpr std::uint8_t LengthKeyword = 0; // "auto" or "normal"
inline constexpr std::uint8_t LengthFontRelative = 1;

struct TCSSBorderSide {
    std::uint8_t Style = 0;                     // BorderStyleNames
    std::uint8_t WidthType = BorderWidthMedium; // see above
    float WidthParam = 0.0f;                    // for the kinds 3 (px) and 4 (em)
    std::int32_t Color = ColorWindowText;
};

class TCSSBorderClass {
  public:
    TCSSBorderClass() { Reset(); }

    void Reset();
    // `section` is the complete section name.
    void LoadFromIni(std::string_view section, const TIniDocument& ini);
    void SaveToIni(std::string_view section, TIniDocument& ini) const;
    void Assign(const TCSSBorderClass& source);

    std::array<TCSSBorderSide, CSSSideCount> Sides;
};

struct TCSSBoxSide {
    std::uint8_t Style = LengthFontRelative; // 0 auto, 1 em
    float Param = 0.0f;                      // em, for kind 1
};

// Margins and paddings share layout and behaviour but stay distinct types,
// so that one is never assigned from the other by mistake.
class TCSSBoxClass {
  public:
    void Reset();
    // `section` is the complete section name.
    void LoadFromIni(std::string_view section, const TIniDocument& ini);
    void SaveToIni(std::string_view section, TIniDocument& ini) const;

    std::array<TCSSBoxSide, CSSSideCount> Sides;

  protected:
    TCSSBoxClass() { Reset(); }
    void AssignSides(const TCSSBoxClass& source) { Sides = source.Sides; }
};

class TCSSMarginClass : public TCSSBoxClass {
  public:
    void Assign(const TCSSMarginClass& source) { AssignSides(source); }
};

class TCSSPaddingClass : public TCSSBoxClass {
  public:
    void Assign(const TCSSPaddingClass& source) { AssignSides(source); }
};

struct TCSSLength {
    std::uint8_t LType = LengthKeyword; // 0 normal, 1 em
    float Param = 0.0f;
};

class TCSSPropertyChip {
  public:
    TCSSPropertyChip() { Reset(); }

    // Resets the font fields and the three side objects.
    void Reset();
    // `prefix` is the style name, "_" and the tag (MYSTYLE_P); the chip
    // reads prefix + "_FONT", "_LINE", "_SPACE", "_BORDER", "_MARGIN" and
    // "_PADDING" in that order.
    void LoadFromIni(std::string_view prefix, const TIniDocument& ini);
    void SaveToIni(std::string_view prefix, TIniDocument& ini) const;
    void Assign(const TCSSPropertyChip& source);

    std::uint8_t Weight = 0; // FontWeightNames
    std::uint8_t Style = 0;  // FontStyleNames
    std::uint8_t Size = 3;   // FontSizeNames
    std::uint8_t Family = 0; // FontFamilyNames
    std::int32_t Color = ColorBlack;
    std::int32_t BackC = ColorWhite;
    TCSSLength Line;
    TCSSLength Space;
    TCSSBorderClass Border;
    TCSSMarginClass Margin;
    TCSSPaddingClass Padding;
};

} // namespace varnoke
