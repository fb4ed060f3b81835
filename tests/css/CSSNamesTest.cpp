#include "css/CSSNames.h"

#include <gtest/gtest.h>

namespace varnoke {
namespace {

TEST(CSSNames, ColoursAreRedGreenBlueInLowerCase) {
    EXPECT_EQ(ColorToCSSHex(0x0000FF), "ff0000");
    EXPECT_EQ(ColorToCSSHex(0xFF0000), "0000ff");
    EXPECT_EQ(ColorToCSSHex(0xC08040), "4080c0"); // red 64, green 128, blue 192
    EXPECT_EQ(ColorToCSSHex(0), "000000");
    EXPECT_EQ(ColorToCSSHex(0xFFFFFF), "ffffff");
    EXPECT_EQ(ColorToCSSHex(0x000A0B), "0b0a00");
    // A top byte that does not make the value negative is no system colour.
    EXPECT_EQ(ColorToCSSHex(0x1FFFFFFF), "ffffff");
    EXPECT_EQ(ColorToCSSHex(0x7F123456), "563412");
}

TEST(CSSNames, SystemColoursAreResolvedByTheirLowestByte) {
    EXPECT_EQ(ColorToCSSHex(ColorWindowText), "000000");
    EXPECT_EQ(ColorWindowText, -16777208);
    EXPECT_EQ(ColorToCSSHex(static_cast<std::int32_t>(0xFF000005u)), "ffffff"); // window
    EXPECT_EQ(ColorToCSSHex(static_cast<std::int32_t>(0xFF00000Fu)), "c0c0c0"); // button face
    EXPECT_EQ(ColorToCSSHex(static_cast<std::int32_t>(0xFF000018u)), "ffffe1"); // tool tip
    EXPECT_EQ(ColorToCSSHex(static_cast<std::int32_t>(0xFF0000C8u)), "000000"); // no such index

    int asked = -1;
    const TSystemColorResolver dark = [&](int index) -> std::uint32_t {
        asked = index;
        return 0xAB336699; // top byte must not leak into the digits
    };
    EXPECT_EQ(ColorToCSSHex(static_cast<std::int32_t>(0xFF123408u), dark), "996633");
    EXPECT_EQ(asked, 8);
    EXPECT_EQ(ColorToCSSHex(ColorWindowText, TSystemColorResolver()), "000000");
}

TEST(CSSNames, KeywordLookupFallsBackOutsideTheTable) {
    EXPECT_EQ(CSSKeyword(FontSizeNames, 4, "medium"), "small");
    EXPECT_EQ(CSSKeyword(FontSizeNames, 6, "medium"), "xx-small");
    EXPECT_EQ(CSSKeyword(FontSizeNames, 7, "medium"), "medium");
    EXPECT_EQ(CSSKeyword(FontSizeNames, 200, "medium"), "medium");
    EXPECT_EQ(CSSKeyword(BorderStyleNames, -1, "none"), "none");
    EXPECT_EQ(CSSKeyword(BorderStyleNames, 8, "none"), "outset");
    EXPECT_EQ(FontFamilyNames[1], "sans-serif");
}

} // namespace
} // namespace varnoke
