// The vocabulary of the style sheets. A style never stores CSS text: every
// choice that has a keyword is stored as an index into one of the tables
// below, and the style editor lists its combo box items in table order, so
// the item the user picks is the value stored. Colours are platform colour
// values (0x00BBGGRR, or a negative value naming a desktop system colour).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace varnoke {

// Selectors, and the fixed order of the three element styles of a style.
inline constexpr std::array<std::string_view, 3> TagNames = {"P", "H1", "H2"};
inline constexpr std::array<std::string_view, 2> FontWeightNames = {"normal", "bold"};
inline constexpr std::array<std::string_view, 2> FontStyleNames = {"normal", "italic"};
// From the largest size to the smallest; index 3 is the neutral size.
inline constexpr std::array<std::string_view, 7> FontSizeNames = {
    "xx-large", "x-large", "large", "medium", "small", "x-small", "xx-small"};
// Index 1 was once written "san-serif", which no browser knows; stored
// files keep the index, only the keyword is corrected.
inline constexpr std::array<std::string_view, 5> FontFamilyNames = {
    "serif", "sans-serif", "cursive", "fantasy", "monospace"};
inline constexpr std::array<std::string_view, 9> BorderStyleNames = {
    "none", "dotted", "dashed", "solid", "double", "groove", "ridge", "inset", "outset"};
// Entries 0 to 2 are keywords; 3 and 4 name the unit of the two numeric
// width kinds, whose number the writer formats itself.
inline constexpr std::array<std::string_view, 5> BorderWidthNames = {"thin", "medium", "thick",
                                                                     "px", "em"};

// The keyword at `index`, or `fallback` when the index lies outside the
// table. Only a hand-edited style file holds such an index; the writer then
// uses the keyword of the field's reset value.
template <std::size_t N>
std::string_view CSSKeyword(const std::array<std::string_view, N>& table, int index,
                            std::string_view fallback) {
    if (index < 0 || static_cast<std::size_t>(index) >= N)
        return fallback;
    return table[static_cast<std::size_t>(index)];
}

// Colour values the styles use.
inline constexpr std::int32_t ColorBlack = 0x000000;
inline constexpr std::int32_t ColorWhite = 0xFFFFFF;
// The desktop's window-text colour, stored as -16777208.
inline constexpr std::int32_t ColorWindowText = static_cast<std::int32_t>(0xFF000008u);

// Tells the current value (0x00BBGGRR) of a desktop system colour by its
// index. The window passes the desktop palette; the core has no desktop.
using TSystemColorResolver = std::function<std::uint32_t(int index)>;

// The classic Windows default scheme for the indices 0 to 30 (window text
// black, window white, button face 0xC0C0C0, ...); other indices give black.
const TSystemColorResolver& ClassicSystemColors();

// Six lower-case hexadecimal digits, red first. A negative value is resolved
// through `resolver` by its lowest byte; the top byte never counts, so
// 0x1FFFFFFF gives "ffffff".
std::string ColorToCSSHex(std::int32_t color,
                          const TSystemColorResolver& resolver = ClassicSystemColors());

} // namespace varnoke
