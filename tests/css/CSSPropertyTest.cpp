#include "css/CSSProperty.h"

#include "TestSupport.h"
#include "common/Errors.h"
#include "common/FileSystem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <clocale>

namespace varnoke {
namespace {

using test::ReadFile;
using test::SplitCrLf;
using test::TScratchFolder;

// A fresh style, line for line.
const char* const FreshStyleSheet = "body {\r\n"
                                    "\tbackground-color: #ffffff;\r\n"
                                    "}\r\n"
                                    "\r\n"
                                    "P {\r\n"
                                    "\tcolor: #000000;\r\n"
                                    "\tbackground-color: #ffffff;\r\n"
                                    "\tfont-size: small;\r\n"
                                    "\tfont-family: serif;\r\n"
                                    "\tfont-weight: normal;\r\n"
                                    "\tfont-style: normal;\r\n"
                                    "\tline-height: normal;\r\n"
                                    "\tletter-spacing : normal;\r\n"
                                    "\tmargin-left  : 2.0em;\r\n"
                                    "\tmargin-Top   : 0.0em;\r\n"
                                    "\tmargin-Right : 0.0em;\r\n"
                                    "\tmargin-Bottom: 0.0em;\r\n"
                                    "\tBorder-left-width  : medium;\r\n"
                                    "\tBorder-left-style  : none;\r\n"
                                    "\tBorder-left-color  : #000000;\r\n"
                                    "\tBorder-Top-width   : medium;\r\n"
                                    "\tBorder-Top-style  : none;\r\n"
                                    "\tBorder-Top-color  : #000000;\r\n"
                                    "\tBorder-Right-width : medium;\r\n"
                                    "\tBorder-Right-style  : none;\r\n"
                                    "\tBorder-Right-color  : #000000;\r\n"
                                    "\tBorder-Bottom-width: medium;\r\n"
                                    "\tBorder-Bottom-style  : none;\r\n"
                                    "\tBorder-Bottom-color  : #000000;\r\n"
                                    "\tPadding-left  : 0.0em;\r\n"
                                    "\tPadding-Top   : 0.0em;\r\n"
                                    "\tPadding-Right : 0.0em;\r\n"
                                    "\tPadding-Bottom: 0.0em;\r\n"
                                    "}\r\n"
                                    "\r\n"
                                    "H1 {\r\n"
                                    "\tcolor: #000000;\r\n"
                                    "\tbackground-color: #ffffff;\r\n"
                                    "\tfont-size: large;\r\n"
                                    "\tfont-family: serif;\r\n"
                                    "\tfont-weight: bold;\r\n"
                                    "\tfont-style: normal;\r\n"
                                    "\tline-height: normal;\r\n"
                                    "\tletter-spacing : normal;\r\n"
                                    "\tmargin-left  : 0.0em;\r\n"
                                    "\tmargin-Top   : 0.0em;\r\n"
                                    "\tmargin-Right : 0.0em;\r\n"
                                    "\tmargin-Bottom: 0.0em;\r\n"
                                    "\tBorder-left-width  : medium;\r\n"
                                    "\tBorder-left-style  : none;\r\n"
                                    "\tBorder-left-color  : #000000;\r\n"
                                    "\tBorder-Top-width   : medium;\r\n"
                                    "\tBorder-Top-style  : none;\r\n"
                                    "\tBorder-Top-color  : #000000;\r\n"
                                    "\tBorder-Right-width : medium;\r\n"
                                    "\tBorder-Right-style  : none;\r\n"
                                    "\tBorder-Right-color  : #000000;\r\n"
                                    "\tBorder-Bottom-width: medium;\r\n"
                                    "\tBorder-Bottom-style  : none;\r\n"
                                    "\tBorder-Bottom-color  : #000000;\r\n"
                                    "\tPadding-left  : 0.0em;\r\n"
                                    "\tPadding-Top   : 0.0em;\r\n"
                                    "\tPadding-Right : 0.0em;\r\n"
                                    "\tPadding-Bottom: 0.0em;\r\n"
                                    "}\r\n"
                                    "\r\n"
                                    "H2 {\r\n"
                                    "\tcolor: #000000;\r\n"
                                    "\tbackground-color: #ffffff;\r\n"
                                    "\tfont-size: medium;\r\n"
                                    "\tfont-family: serif;\r\n"
                                    "\tfont-weight: bold;\r\n"
                                    "\tfont-style: normal;\r\n"
                                    "\tline-height: normal;\r\n"
                                    "\tletter-spacing : normal;\r\n"
                                    "\tmargin-left  : 1.0em;\r\n"
                                    "\tmargin-Top   : 0.0em;\r\n"
                                    "\tmargin-Right : 0.0em;\r\n"
                                    "\tmargin-Bottom: 0.0em;\r\n"
                                    "\tBorder-left-width  : medium;\r\n"
                                    "\tBorder-left-style  : none;\r\n"
                                    "\tBorder-left-color  : #000000;\r\n"
                                    "\tBorder-Top-width   : medium;\r\n"
                                    "\tBorder-Top-style  : none;\r\n"
                                    "\tBorder-Top-color  : #000000;\r\n"
                                    "\tBorder-Right-width : medium;\r\n"
                                    "\tBorder-Right-style  : none;\r\n"
                                    "\tBorder-Right-color  : #000000;\r\n"
                                    "\tBorder-Bottom-width: medium;\r\n"
                                    "\tBorder-Bottom-style  : none;\r\n"
                                    "\tBorder-Bottom-color  : #000000;\r\n"
                                    "\tPadding-left  : 0.0em;\r\n"
                                    "\tPadding-Top   : 0.0em;\r\n"
                                    "\tPadding-Right : 0.0em;\r\n"
                                    "\tPadding-Bottom: 0.0em;\r\n"
                                    "}\r\n"
                                    "\r\n";

std::string WriteAndRead(const TCSSProperty& style, const TScratchFolder& folder,
                         const TSystemColorResolver& resolver = ClassicSystemColors()) {
    const TNativePath fileName = folder.Native("style.css");
    style.WriteCSS(fileName, resolver);
    return ReadFile(fileName);
}

// The lines of the P block, without its selector, closing brace and blank.
std::vector<std::string> PBlock(const std::string& css) {
    std::vector<std::string> lines = SplitCrLf(css);
    auto begin = std::find(lines.begin(), lines.end(), "P {");
    auto end = std::find(begin, lines.end(), "}");
    return std::vector<std::string>(begin + 1, end);
}

TEST(CSSPropertyWriteCSS, FreshStyleGivesTheStartingSheet) {
    TScratchFolder folder;
    const TCSSProperty style("MYSTYLE");
    const std::string css = WriteAndRead(style, folder);
    EXPECT_EQ(css, FreshStyleSheet);
    EXPECT_EQ(SplitCrLf(css).size(), 97u);

    // Writing again replaces the whole file.
    TCSSProperty shorter("MYSTYLE");
    shorter.Chips[ChipP].Line.LType = 2;
    EXPECT_EQ(SplitCrLf(WriteAndRead(shorter, folder)).size(), 96u);
}

TEST(CSSPropertyWriteCSS, NumbersUnitsAndKindsWithoutALine) {
    TScratchFolder folder;
    TCSSProperty style("S");
    TCSSPropertyChip& p = style.Chips[ChipP];
    p.Line = {1, 1.5f};
    p.Space = {3, 1.0f};
    p.Margin.Sides[sdLeft] = {0, 5.0f};
    p.Margin.Sides[sdTop] = {2, 5.0f};
    p.Margin.Sides[sdRight] = {1, 0.25f}; // a tie: the digit stays even, as with "%.1f"
    p.Margin.Sides[sdBottom] = {1, -1.25f};
    p.Border.Sides[sdLeft] = {3, BorderWidthPixels, 0.5f, 0x0000FF};
    p.Border.Sides[sdTop] = {8, BorderWidthFontRelative, 2.0f, 0};
    p.Border.Sides[sdRight] = {0, BorderWidthThin, 7.0f, 0};
    p.Border.Sides[sdBottom] = {0, BorderWidthPixels, 1e10f, 0};
    p.Padding.Sides[sdLeft] = {255, 1.0f};
    p.Padding.Sides[sdTop] = {1, 0.35f};
    p.Padding.Sides[sdRight] = {0, 1.0f};
    p.Padding.Sides[sdBottom] = {1, 12.96f};

    // The numbers must not follow the C locale that the window sets from
    // the environment (where installed, German writes a decimal comma).
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    const std::string css = WriteAndRead(style, folder);
    std::setlocale(LC_NUMERIC, "C");

    EXPECT_EQ(PBlock(css), (std::vector<std::string>{
                               "\tcolor: #000000;",
                               "\tbackground-color: #ffffff;",
                               "\tfont-size: small;",
                               "\tfont-family: serif;",
                               "\tfont-weight: normal;",
                               "\tfont-style: normal;",
                               "\tline-height: 1.5em;",
                               "\tmargin-left  : auto;",
                               "\tmargin-Right : 0.2em;",
                               "\tmargin-Bottom: -1.2em;",
                               "\tBorder-left-width  : 0.5px;",
                               "\tBorder-left-style  : solid;",
                               "\tBorder-left-color  : #ff0000;",
                               "\tBorder-Top-width   : 2.0em;",
                               "\tBorder-Top-style  : outset;",
                               "\tBorder-Top-color  : #000000;",
                               "\tBorder-Right-width : thin;",
                               "\tBorder-Right-style  : none;",
                               "\tBorder-Right-color  : #000000;",
                               "\tBorder-Bottom-width: 10000000000.0px;",
                               "\tBorder-Bottom-style  : none;",
                               "\tBorder-Bottom-color  : #000000;",
                               "\tPadding-Top   : 0.3em;",
                               "\tPadding-Right : auto;",
                               "\tPadding-Bottom: 13.0em;",
                           }));
}

TEST(CSSPropertyWriteCSS, IndicesOutsideTheTablesWriteTheResetKeyword) {
    TScratchFolder folder;
    TCSSProperty style("S");
    TCSSPropertyChip& p = style.Chips[ChipP];
    p.Size = 200;
    p.Family = 5;
    p.Weight = 2;
    p.Style = 255;
    p.Space.LType = 1;
    p.Space.Param = 0.0f;
    p.Border.Sides[sdLeft].Style = 9;
    p.Border.Sides[sdLeft].WidthType = 5;
    p.Border.Sides[sdTop].WidthType = 255;
    p.Border.Sides[sdRight].WidthType = BorderWidthThick;

    const std::vector<std::string> lines = PBlock(WriteAndRead(style, folder));
    ASSERT_EQ(lines.size(), 28u);
    EXPECT_EQ(lines[2], "\tfont-size: medium;");
    EXPECT_EQ(lines[3], "\tfont-family: serif;");
    EXPECT_EQ(lines[4], "\tfont-weight: normal;");
    EXPECT_EQ(lines[5], "\tfont-style: normal;");
    EXPECT_EQ(lines[7], "\tletter-spacing : 0.0em;");
    EXPECT_EQ(lines[12], "\tBorder-left-width  : medium;");
    EXPECT_EQ(lines[13], "\tBorder-left-style  : none;");
    EXPECT_EQ(lines[15], "\tBorder-Top-width   : medium;");
    EXPECT_EQ(lines[18], "\tBorder-Right-width : thick;");
}

TEST(CSSPropertyWriteCSS, BackgroundImageLineAndSystemColours) {
    TScratchFolder folder;
    TCSSProperty style("S");
    style.Background.CGFlag = true;
    std::vector<std::string> lines = SplitCrLf(WriteAndRead(style, folder));
    ASSERT_EQ(lines.size(), 98u);
    EXPECT_EQ(lines[2], "\tbackground-image: URL();");
    EXPECT_EQ(lines[3], "}");

    style.Background.CGFile = "/home/a/My Pictures/(1).png";
    lines = SplitCrLf(WriteAndRead(style, folder));
    EXPECT_EQ(lines[2], "\tbackground-image: URL(/home/a/My Pictures/(1).png);");

    style.Background.CGFlag = false;
    EXPECT_EQ(SplitCrLf(WriteAndRead(style, folder)).size(), 97u);

    // System colours are resolved when the sheet is written.
    style.Background.Color = static_cast<std::int32_t>(0xFF00000Fu);
    style.Chips[ChipH2].Border.Sides[sdBottom].Color = ColorWindowText;
    const TSystemColorResolver dark = [](int index) -> std::uint32_t {
        return index == 8 ? 0xF0F0F0 : 0x202020 + static_cast<std::uint32_t>(index);
    };
    lines = SplitCrLf(WriteAndRead(style, folder, dark));
    EXPECT_EQ(lines[1], "\tbackground-color: #2f2020;");
    EXPECT_EQ(lines[90], "\tBorder-Bottom-color  : #f0f0f0;");
    EXPECT_EQ(lines[6], "\tbackground-color: #ffffff;"); // a plain colour stays
}

TEST(CSSPropertyWriteCSS, FailuresRaiseInOutErrors) {
    TScratchFolder folder;
    const TCSSProperty style("S");
    EXPECT_THROW(style.WriteCSS(folder.Native("missing/style.css")), EInOutError);

    SetWriteFaultHookForTesting([](size_t) { return ENOSPC; });
    try {
        style.WriteCSS(folder.Native("full.css"));
        ADD_FAILURE() << "a full disk went unnoticed";
    } catch (const EInOutError& error) {
        EXPECT_EQ(error.Code(), 101);
        EXPECT_EQ(error.FileName(), folder.Native("full.css"));
    }
    SetWriteFaultHookForTesting(nullptr);
}

TEST(CSSProperty, StoresItselfInNineteenSectionsAndReadsBack) {
    TCSSProperty saved("MYSTYLE");
    saved.Background = {0x00C08040, true, "C:\\pic\\壁紙.bmp"};
    saved.Chips[ChipH1].Padding.Sides[sdRight] = {0, 1.2f};
    saved.Chips[ChipH2].Border.Sides[sdTop].WidthParam = 0.1f;
    TIniDocument ini;
    saved.SaveToIni(ini);

    const std::vector<std::string> sections = ini.SectionNames();
    ASSERT_EQ(sections.size(), 19u);
    EXPECT_EQ(sections[0], "MYSTYLE_BG");
    EXPECT_EQ(sections[1], "MYSTYLE_P_FONT");
    EXPECT_EQ(sections[18], "MYSTYLE_H2_PADDING");
    EXPECT_EQ(ini.ReadString("MYSTYLE_BG", "CGFLAG", ""), "1");

    TCSSProperty loaded("MYSTYLE");
    loaded.LoadFromIni(ini);
    TIniDocument again;
    loaded.SaveToIni(again);
    EXPECT_EQ(again.ToBytes(), ini.ToBytes());
    EXPECT_EQ(loaded.Background.CGFile, saved.Background.CGFile);
    EXPECT_EQ(loaded.Chips[ChipH2].Border.Sides[sdTop].WidthParam, 0.1f);
}

TEST(CSSProperty, AssignKeepsTheNameAndCopiesEverythingElse) {
    TCSSProperty source("SOURCE");
    source.Background = {0x0000FF, true, "a.png"};
    source.Chips[ChipP].Border.Sides[sdLeft].Style = 4;
    source.Chips[ChipH2].Margin.Sides[sdLeft].Param = 7.0f;

    TCSSProperty target("TARGET");
    target.Assign(source);
    source.Background.CGFile = "b.png";
    source.Chips[ChipP].Border.Sides[sdLeft].Style = 0;
    source.Chips[ChipH2].Margin.Sides[sdLeft].Param = 1.0f;

    EXPECT_EQ(target.Name, "TARGET");
    EXPECT_EQ(target.Background.Color, 0x0000FF);
    EXPECT_TRUE(target.Background.CGFlag);
    EXPECT_EQ(target.Background.CGFile, "a.png");
    EXPECT_EQ(target.Chips[ChipP].Border.Sides[sdLeft].Style, 4);
    EXPECT_EQ(target.Chips[ChipH2].Margin.Sides[sdLeft].Param, 7.0f);
}

} // namespace
} // namespace varnoke
