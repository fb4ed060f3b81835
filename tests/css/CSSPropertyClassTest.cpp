#include "css/CSSPropertyClass.h"

#include "TestSupport.h"
#include "common/Errors.h"
#include "common/FileSystem.h"
#include "common/IniDocument.h"
#include "common/ShiftJis.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <stdexcept>

namespace varnoke {
namespace {

using test::ReadFile;
using test::TScratchFolder;
using test::WriteFile;

std::vector<std::string> Names(const TCSSPropertyClass& list) {
    std::vector<std::string> names;
    for (int i = 0; i < list.Count(); ++i)
        names.push_back(list.Items(i).Name);
    return names;
}

TEST(CSSPropertyClass, AddUpperCasesAndIndexOfIgnoresCase) {
    TCSSPropertyClass list;
    EXPECT_EQ(list.Add("abc"), 0);
    EXPECT_EQ(list.Add("\x83\x6E"), 1);          // "ハ": its trail byte is an "n"
    EXPECT_EQ(list.Add("x\x82\x81\x82\x9A"), 2); // full-width "ａｚ"
    EXPECT_EQ(Names(list), (std::vector<std::string>{"ABC", "\x83\x6E", "X\x82\x60\x82\x79"}));
    EXPECT_EQ(list.IndexOf("Abc"), 0);
    EXPECT_EQ(list.IndexOf("\x83\x6E"), 1);
    EXPECT_EQ(list.IndexOf("\x83\x4E"), -1); // "ノ" is another name
    EXPECT_EQ(list.IndexOf("X\x82\x81\x82\x79"), 2);
    EXPECT_EQ(list.IndexOf("ab"), -1);
    EXPECT_EQ(list.Add("ABC"), 3);
    EXPECT_EQ(list.IndexOf("abc"), 0); // the first of equal names

    // A fresh style has the starting look.
    EXPECT_EQ(list.Items(0).Chips[ChipP].Margin.Sides[sdLeft].Param, 2.0f);
    EXPECT_THROW(list.Items(4), std::out_of_range);
    EXPECT_THROW(list.Items(-1), std::out_of_range);
}

TEST(CSSPropertyClass, CopyAppendsAnIndependentCopyAndDeleteKeepsTheOrder) {
    TCSSPropertyClass list;
    list.Add("A");
    list.Items(0).Background = {0x112233, true, "a.png"};
    list.Items(0).Chips[ChipH1].Family = 4;
    EXPECT_EQ(list.Copy(0, "b"), 1);
    EXPECT_EQ(list.Items(1).Name, "B");
    EXPECT_EQ(list.Items(1).Background.Color, 0x112233);
    EXPECT_EQ(list.Items(1).Background.CGFile, "a.png");
    EXPECT_EQ(list.Items(1).Chips[ChipH1].Family, 4);
    list.Items(0).Chips[ChipH1].Family = 0;
    list.Items(1).Background.CGFlag = false;
    EXPECT_EQ(list.Items(1).Chips[ChipH1].Family, 4);
    EXPECT_TRUE(list.Items(0).Background.CGFlag);
    EXPECT_THROW(list.Copy(5, "C"), std::out_of_range);
    EXPECT_EQ(list.Count(), 2);

    list.Add("c");
    list.Add("d");
    TCSSProperty& d = list.Items(3);
    list.Delete(1);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"A", "C", "D"}));
    EXPECT_EQ(&list.Items(2), &d); // styles are not moved in memory
    EXPECT_THROW(list.Delete(3), std::out_of_range);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

TEST(CSSPropertyClass, SavesAndLoadsTheWholeList) {
    TScratchFolder folder;
    const TNativePath file = folder.Native("varnoke.INI");
    TCSSPropertyClass list;
    for (const char* name : {"one", "two", "three", "four", "five"})
        list.Add(name);
    list.Items(4).Chips[ChipH2].Line = {1, 1.2f};
    list.Items(4).Background.CGFile = "x.png";
    list.SaveToFile(file);

    TCSSPropertyClass loaded;
    loaded.Add("stale");
    loaded.LoadFromFile(file);
    EXPECT_EQ(Names(loaded), (std::vector<std::string>{"ONE", "TWO", "THREE", "FOUR", "FIVE"}));
    EXPECT_EQ(loaded.Items(4).Chips[ChipH2].Line.Param, 1.2f);
    EXPECT_EQ(loaded.Items(4).Background.CGFile, "x.png");
    EXPECT_EQ(loaded.Items(0).Chips[ChipP].Margin.Sides[sdLeft].Param, 2.0f);

    // Three into a file that held five: no name is left beyond COUNT (a
    // reader trusting the names would bring the deleted styles back); the
    // old sections stay.
    list.Delete(4);
    list.Delete(1);
    list.SaveToFile(file);
    const TIniDocument ini(file);
    EXPECT_EQ(ini.ReadInteger("STYLE", "COUNT", 0), 3);
    EXPECT_EQ(ini.ReadString("STYLE", "STYLE2", ""), "FOUR");
    EXPECT_FALSE(ini.ValueExists("STYLE", "STYLE3"));
    EXPECT_FALSE(ini.ValueExists("STYLE", "STYLE4"));
    EXPECT_EQ(ini.KeyCount("STYLE"), 4u);
    EXPECT_TRUE(ini.SectionExists("FIVE_H2_LINE"));
    loaded.LoadFromFile(file);
    EXPECT_EQ(Names(loaded), (std::vector<std::string>{"ONE", "THREE", "FOUR"}));

    // A missing file is an empty list.
    loaded.LoadFromFile(folder.Native("none.INI"));
    EXPECT_EQ(loaded.Count(), 0);
}

TEST(CSSPropertyClass, SavingLeavesTheOtherSectionsInPlace) {
    TScratchFolder folder;
    const TNativePath file = folder.Native("varnoke.INI");
    const std::string system = "[SYSTEM]\r\nSTYLEINDEX=1\r\nTABWIDTH=4\r\n\r\n";
    const std::string stale = "[OLD_BG]\r\nCOLOR=255\r\n\r\n";
    const std::string keep = "[KeepFileNames]\r\nFileName1=/home/a/b.vkp\r\n\r\n";
    WriteFile(file, system + "[STYLE]\r\nCOUNT=2\r\nSTYLE0=OLD\r\nSTYLE1=A\r\n\r\n" + stale + keep);

    TCSSPropertyClass list;
    list.Add("A");
    list.SaveToFile(file);
    const std::string bytes = ReadFile(file);
    EXPECT_EQ(bytes.substr(0, system.size()), system);
    EXPECT_NE(bytes.find("[STYLE]\r\nCOUNT=1\r\nSTYLE0=A\r\n\r\n" + stale + keep + "[A_BG]"),
              std::string::npos);
}

TEST(CSSPropertyClass, AFailedSaveKeepsTheFileAndTheList) {
    TScratchFolder folder;
    const TNativePath file = folder.Native("varnoke.INI");
    TCSSPropertyClass list;
    list.Add("A");
    list.SaveToFile(file);
    const std::string before = ReadFile(file);

    list.Add("B");
    SetWriteFaultHookForTesting([](size_t) { return EACCES; });
    EXPECT_THROW(list.SaveToFile(file), EFCreateError);
    SetWriteFaultHookForTesting(nullptr);
    EXPECT_EQ(ReadFile(file), before);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"A", "B"}));

    // A line break in a stored value would forge sections of its own.
    list.Items(1).Background.CGFile = "x\n[SYSTEM]\nSTYLEINDEX=9";
    EXPECT_THROW(list.SaveToFile(file), EFCreateError);
    EXPECT_EQ(ReadFile(file), before);

    // A file that cannot be read leaves the list as it was.
    EXPECT_THROW(list.LoadFromFile(folder.Native("")), EFOpenError);
    EXPECT_EQ(list.Count(), 2);
}

TEST(CSSPropertyClass, LoadsWhatAHandEditedFileHolds) {
    TScratchFolder folder;
    const TNativePath file = folder.Native("varnoke.INI");
    const auto load = [&](const std::string& text) {
        WriteFile(file, text);
        TCSSPropertyClass list;
        list.LoadFromFile(file);
        return list;
    };

    // A missing STYLE1 gives a style with an empty name and the reset look,
    // except that a missing margin parameter reads as 0.0.
    TCSSPropertyClass list = load("[STYLE]\r\nCOUNT=2\r\nSTYLE0=a\r\n[A_BG]\r\nCOLOR=255\r\n");
    EXPECT_EQ(Names(list), (std::vector<std::string>{"A", ""}));
    EXPECT_EQ(list.Items(0).Background.Color, 255);
    EXPECT_EQ(list.Items(1).Chips[ChipP].Margin.Sides[sdLeft].Style, 1);
    EXPECT_EQ(list.Items(1).Chips[ChipP].Margin.Sides[sdLeft].Param, 0.0f);
    EXPECT_EQ(list.Items(1).Chips[ChipP].Size, 4);

    // Equal names read the same sections.
    list = load("[STYLE]\r\nCOUNT=2\r\nSTYLE0=Dup\r\nSTYLE1=DUP\r\n[DUP_P_FONT]\r\nSIZE=0\r\n");
    EXPECT_EQ(Names(list), (std::vector<std::string>{"DUP", "DUP"}));
    EXPECT_EQ(list.Items(1).Chips[ChipP].Size, 0);
    EXPECT_EQ(list.IndexOf("dup"), 0);

    EXPECT_EQ(load("[STYLE]\r\nCOUNT=-3\r\nSTYLE0=A\r\n").Count(), 0);
    EXPECT_EQ(load("[STYLE]\r\nCOUNT=many\r\nSTYLE0=A\r\n").Count(), 0);
    EXPECT_EQ(load("[SYSTEM]\r\nCOUNT=4\r\n").Count(), 0);

    // A COUNT beyond the keys loads empty names up to COUNT, so that a
    // project naming style 3 gets style 3 and not a fresh style's look.
    list = load("[STYLE]\r\nCOUNT=4\r\nSTYLE0=A\r\n[_BG]\r\nCOLOR=255\r\n");
    EXPECT_EQ(Names(list), (std::vector<std::string>{"A", "", "", ""}));
    EXPECT_EQ(list.Items(3).Background.Color, 255);

    // A huge COUNT is capped far above what anybody keeps by hand...
    list = load("[STYLE]\r\nCOUNT=2000000000\r\nSTYLE0=A\r\nSTYLE7=H\r\n");
    ASSERT_EQ(list.Count(), 4096);
    EXPECT_EQ(list.Items(7).Name, "H");
    EXPECT_EQ(list.Items(4095).Name, "");
    // ...but never below the styles the file really names.
    std::string many = "[STYLE]\r\nCOUNT=5000\r\n";
    for (int i = 0; i < 5000; ++i)
        many += "STYLE" + std::to_string(i) + "=S" + std::to_string(i) + "\r\n";
    list = load(many);
    ASSERT_EQ(list.Count(), 5000);
    EXPECT_EQ(list.Items(4999).Name, "S4999");

    // Numbers that cannot be a single keep the reset values.
    list = load("[STYLE]\r\nCOUNT=1\r\nSTYLE0=A\r\n[A_H1_LINE]\r\nLTYPE=1\r\nPARAM=1e300\r\n"
                "[A_H1_SPACE]\r\nPARAM=NaN\r\n[A_H1_FONT]\r\nSIZE=-253\r\n");
    EXPECT_EQ(list.Items(0).Chips[ChipH1].Line.LType, 1);
    EXPECT_EQ(list.Items(0).Chips[ChipH1].Line.Param, 0.0f);
    EXPECT_EQ(list.Items(0).Chips[ChipH1].Space.Param, 0.0f);
    EXPECT_EQ(list.Items(0).Chips[ChipH1].Size, 3);
}

TEST(CSSPropertyClass, WritesTheStyleAtAnIndex) {
    TScratchFolder folder;
    TCSSPropertyClass list;
    list.Add("A");
    list.Add("B");
    list.Items(1).Background.Color = 0x0000FF;
    list.WriteCSS(1, folder.Native("text.css"));
    EXPECT_EQ(ReadFile(folder.File("text.css")).substr(0, 40),
              "body {\r\n\tbackground-color: #ff0000;\r\n}\r\n");
    EXPECT_THROW(list.WriteCSS(2, folder.Native("x.css")), std::out_of_range);
}

TEST(CSSStyleName, OnlyNamesThatComeBackAfterSaveAndLoadAreValid) {
    const std::vector<std::string> good = {
        "A",
        "my style",
        "a;b,c.d-e_f",
        "\x83\x6E",         // "ハ"
        "\x81\x5B\x81\x5D", // "ー" and "‐": trail bytes "[" and "]"
        "\xB1\xB2",         // half-width katakana
        "\x82\x81\x82\x82", // full-width lower case
        "\"quoted\"",
        Sjis("標準スタイル"),
    };
    const std::vector<std::string> bad = {
        "",    " A",  "A ",  "\tA",  "A\t",   "A\r\nB",   "A\nB",  "A\rB", "A\x01", "A\x7F", "[A]",
        "A]B", "A=B", "A[B", "\x83", "A\x83", "\x83\x0A", "A\x80", "\xA0", "A\xFD", "A\xFF",
    };

    TScratchFolder folder;
    const TNativePath file = folder.Native("names.INI");
    for (const std::string& name : good) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(IsValidStyleName(name));
        TCSSPropertyClass list;
        list.Add(name);
        list.Items(0).Chips[ChipH2].Size = 6;
        list.SaveToFile(file);
        TCSSPropertyClass loaded;
        loaded.LoadFromFile(file);
        ASSERT_EQ(loaded.Count(), 1);
        EXPECT_EQ(loaded.Items(0).Name, SjisUpperCase(name));
        EXPECT_EQ(loaded.Items(0).Chips[ChipH2].Size, 6);
    }
    for (const std::string& name : bad) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(IsValidStyleName(name));
    }
}

} // namespace
} // namespace varnoke
