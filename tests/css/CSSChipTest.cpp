#include "css/CSSChip.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace varnoke {
namespace {

// Every field, so that a field that is neither saved nor loaded shows up.
void ExpectSameChip(const TCSSPropertyChip& a, const TCSSPropertyChip& b) {
    EXPECT_EQ(a.Weight, b.Weight);
    EXPECT_EQ(a.Style, b.Style);
    EXPECT_EQ(a.Size, b.Size);
    EXPECT_EQ(a.Family, b.Family);
    EXPECT_EQ(a.Color, b.Color);
    EXPECT_EQ(a.BackC, b.BackC);
    EXPECT_EQ(a.Line.LType, b.Line.LType);
    EXPECT_EQ(a.Line.Param, b.Line.Param);
    EXPECT_EQ(a.Space.LType, b.Space.LType);
    EXPECT_EQ(a.Space.Param, b.Space.Param);
    for (int i = 0; i < CSSSideCount; ++i) {
        SCOPED_TRACE(CSSSideKeys[static_cast<size_t>(i)]);
        const TCSSBorderSide& x = a.Border.Sides[static_cast<size_t>(i)];
        const TCSSBorderSide& y = b.Border.Sides[static_cast<size_t>(i)];
        EXPECT_EQ(x.Style, y.Style);
        EXPECT_EQ(x.WidthType, y.WidthType);
        EXPECT_EQ(x.WidthParam, y.WidthParam);
        EXPECT_EQ(x.Color, y.Color);
        EXPECT_EQ(a.Margin.Sides[static_cast<size_t>(i)].Style,
                  b.Margin.Sides[static_cast<size_t>(i)].Style);
        EXPECT_EQ(a.Margin.Sides[static_cast<size_t>(i)].Param,
                  b.Margin.Sides[static_cast<size_t>(i)].Param);
        EXPECT_EQ(a.Padding.Sides[static_cast<size_t>(i)].Style,
                  b.Padding.Sides[static_cast<size_t>(i)].Style);
        EXPECT_EQ(a.Padding.Sides[static_cast<size_t>(i)].Param,
                  b.Padding.Sides[static_cast<size_t>(i)].Param);
    }
}

// Distinct values in every field, none of them a reset value.
TCSSPropertyChip FilledChip() {
    TCSSPropertyChip chip;
    chip.Weight = 1;
    chip.Style = 1;
    chip.Size = 6;
    chip.Family = 4;
    chip.Color = 0x123456;
    chip.BackC = ColorWindowText;
    chip.Line = {1, 1.2f};
    chip.Space = {1, -0.25f};
    for (int i = 0; i < CSSSideCount; ++i) {
        const auto s = static_cast<size_t>(i);
        chip.Border.Sides[s] = {static_cast<std::uint8_t>(i + 5), static_cast<std::uint8_t>(i + 1),
                                0.1f * static_cast<float>(i + 1), 0x010203 * (i + 1)};
        chip.Margin.Sides[s] = {0, 3.3f + static_cast<float>(i)};
        chip.Padding.Sides[s] = {static_cast<std::uint8_t>(i % 2), 0.7f * static_cast<float>(i)};
    }
    return chip;
}

TEST(CSSPropertyChip, SavesAndLoadsEveryField) {
    const TCSSPropertyChip saved = FilledChip();
    TIniDocument ini;
    saved.SaveToIni("MY_P", ini);

    TCSSPropertyChip loaded;
    loaded.LoadFromIni("MY_P", ini);
    ExpectSameChip(loaded, saved);

    // The stored text of the values: signed colours, 15-digit floats.
    EXPECT_EQ(ini.ReadString("MY_P_LINE", "PARAM", ""), "1.20000004768372");
    EXPECT_EQ(ini.ReadString("MY_P_FONT", "BACKC", ""), "-16777208");
    EXPECT_EQ(ini.ReadString("MY_P_FONT", "SIZE", ""), "6");
    EXPECT_EQ(ini.ReadString("MY_P_BORDER", "BOTTOM_WIDTH_TYPE", ""), "4");
    EXPECT_EQ(ini.ReadString("MY_P_MARGIN", "TOP_PARAM", ""), "4.30000019073486");
    EXPECT_EQ(ini.ReadString("MY_P_PADDING", "LEFT_PARAM", ""), "0");
    EXPECT_EQ(ini.SectionNames(),
              (std::vector<std::string>{"MY_P_FONT", "MY_P_LINE", "MY_P_SPACE", "MY_P_BORDER",
                                        "MY_P_MARGIN", "MY_P_PADDING"}));
}

TEST(CSSPropertyChip, KeysAreWrittenInPlaceInTheirOrder) {
    TIniDocument ini;
    ini.LoadFromBytes("[S_BORDER]\r\nTOP_COLOR=7\r\nEXTRA=kept\r\n");
    TCSSBorderClass border;
    border.SaveToIni("S_BORDER", ini);
    EXPECT_EQ(ini.ToBytes(), "[S_BORDER]\r\n"
                             "TOP_COLOR=-16777208\r\n"
                             "EXTRA=kept\r\n"
                             "LEFT_STYLE=0\r\nLEFT_WIDTH_TYPE=1\r\nLEFT_WIDTH_PARAM=0\r\n"
                             "LEFT_COLOR=-16777208\r\n"
                             "TOP_STYLE=0\r\nTOP_WIDTH_TYPE=1\r\nTOP_WIDTH_PARAM=0\r\n"
                             "RIGHT_STYLE=0\r\nRIGHT_WIDTH_TYPE=1\r\nRIGHT_WIDTH_PARAM=0\r\n"
                             "RIGHT_COLOR=-16777208\r\n"
                             "BOTTOM_STYLE=0\r\nBOTTOM_WIDTH_TYPE=1\r\nBOTTOM_WIDTH_PARAM=0\r\n"
                             "BOTTOM_COLOR=-16777208\r\n\r\n");
}

TEST(CSSPropertyChip, MissingKeysKeepValuesButBoxParametersBecomeZero) {
    TCSSPropertyChip chip = FilledChip();
    chip.Margin.Sides[sdLeft] = {1, 2.0f};
    const TCSSPropertyChip before = chip;
    chip.LoadFromIni("NOWHERE", TIniDocument());

    TCSSPropertyChip expected = before;
    for (int i = 0; i < CSSSideCount; ++i) {
        expected.Margin.Sides[static_cast<size_t>(i)].Param = 0.0f;
        expected.Padding.Sides[static_cast<size_t>(i)].Param = 0.0f;
    }
    ExpectSameChip(chip, expected);
    EXPECT_EQ(chip.Margin.Sides[sdLeft].Style, 1); // the kind stays
}

TEST(CSSPropertyChip, KeepsTheLowByteOfIndicesAndRejectsBadNumbers) {
    TIniDocument ini;
    ini.LoadFromBytes("[X_FONT]\r\nSIZE=200\r\nFAMILY=-1\r\nWEIGHT=256\r\nCOLOR=abc\r\n"
                      "[X_LINE]\r\nLTYPE=1\r\nPARAM=nan\r\n"
                      "[X_SPACE]\r\nLTYPE=2\r\nPARAM=1e300\r\n"
                      "[X_BORDER]\r\nLEFT_STYLE=259\r\nLEFT_WIDTH_PARAM=3.5e38\r\n"
                      "TOP_WIDTH_PARAM=-1E39\r\nRIGHT_WIDTH_PARAM=3.4e38\r\n"
                      "[X_MARGIN]\r\nLEFT_PARAM=inf\r\nTOP_PARAM=1e-60\r\n"
                      "[X_PADDING]\r\nLEFT_PARAM=1E300\r\nTOP_STYLE=2\r\n");
    TCSSPropertyChip chip;
    chip.Line.Param = 1.5f;
    chip.Space.Param = 2.5f;
    chip.Border.Sides[sdLeft].WidthParam = 0.5f;
    chip.Border.Sides[sdTop].WidthParam = 0.75f;
    chip.LoadFromIni("X", ini);

    EXPECT_EQ(chip.Size, 200);
    EXPECT_EQ(chip.Family, 255);
    EXPECT_EQ(chip.Weight, 0);
    EXPECT_EQ(chip.Color, ColorBlack);
    EXPECT_EQ(chip.Line.LType, 1);
    EXPECT_EQ(chip.Line.Param, 1.5f);
    EXPECT_EQ(chip.Space.LType, 2);
    EXPECT_EQ(chip.Space.Param, 2.5f);
    EXPECT_EQ(chip.Border.Sides[sdLeft].Style, 3);
    EXPECT_EQ(chip.Border.Sides[sdLeft].WidthParam, 0.5f);
    EXPECT_EQ(chip.Border.Sides[sdTop].WidthParam, 0.75f);
    EXPECT_EQ(chip.Border.Sides[sdRight].WidthParam, 3.4e38f);
    EXPECT_EQ(chip.Margin.Sides[sdLeft].Param, 0.0f);
    EXPECT_EQ(chip.Margin.Sides[sdTop].Param, 0.0f);
    EXPECT_EQ(chip.Padding.Sides[sdLeft].Param, 0.0f);
    EXPECT_EQ(chip.Padding.Sides[sdTop].Style, 2);
}

TEST(CSSPropertyChip, TheLargestSingleSurvivesASaveAndALoad) {
    // Fifteen digits round the largest single up to 3.40282346638529E38,
    // just beyond the single range; it must not read back as 0.
    TCSSPropertyChip chip;
    chip.Margin.Sides[sdTop].Param = -std::numeric_limits<float>::max();
    chip.Line.Param = std::numeric_limits<float>::max();
    chip.Border.Sides[sdBottom].WidthParam = std::numeric_limits<float>::denorm_min();
    TIniDocument ini;
    chip.SaveToIni("X", ini);
    TCSSPropertyChip loaded;
    loaded.LoadFromIni("X", ini);
    ExpectSameChip(chip, loaded);
}

TEST(CSSPropertyChip, AssignCopiesValuesIntoItsOwnSides) {
    const TCSSPropertyChip source = FilledChip();
    TCSSPropertyChip target;
    target.Assign(source);
    ExpectSameChip(target, source);

    TCSSPropertyChip changed = FilledChip();
    target.Assign(changed);
    changed.Border.Sides[sdTop].Style = 0;
    changed.Margin.Sides[sdBottom].Param = 9.0f;
    changed.Padding.Sides[sdRight].Style = 0;
    changed.Size = 0;
    ExpectSameChip(target, source);
}

} // namespace
} // namespace varnoke
