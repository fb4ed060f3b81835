#include "common/IniDocument.h"
#include "TestSupport.h"
#include "common/Errors.h"
#include "common/FileSystem.h"
#include "common/ProfileIni.h"

#include <gtest/gtest.h>

#include <optional>

using namespace varnoke;
using namespace varnoke::test;

TEST(IniDocument, ReadsNamesWithoutRegardToCase) {
    TIniDocument ini;
    ini.LoadFromBytes("[project]\r\ntitlename=Manual\r\n");
    EXPECT_EQ(ini.ReadString("PROJECT", "TITLENAME", "x"), "Manual");
    EXPECT_EQ(ini.ReadString("PROJECT", "missing", "x"), "x");
    EXPECT_EQ(ini.ReadString("other", "titlename", "x"), "x");
}

TEST(IniDocument, NamesCompareByCharacterNotByByte) {
    TIniDocument ini;
    ini.LoadFromBytes("[\x83\x6E]\r\nK=1\r\n");        // ハ
    EXPECT_EQ(ini.ReadInteger("\x83\x4E", "K", 0), 0); // ノ is another section
    EXPECT_EQ(ini.ReadInteger("\x83\x6E", "k", 0), 1);
}

TEST(IniDocument, TrimsAndSplitsAtTheFirstEquals) {
    TIniDocument ini;
    ini.LoadFromBytes("[S]\n  KEY  =  a = b  \n");
    EXPECT_EQ(ini.ReadString("S", "KEY", ""), "a = b");
}

TEST(IniDocument, ParsesIntegers) {
    TIniDocument ini;
    ini.LoadFromBytes("[S]\nD=-42\nH=0x10\nU=0XFF000008\nL=abc\nBIG=99999999999\nE=\nP=+7\n");
    EXPECT_EQ(ini.ReadInteger("S", "D", 0), -42);
    EXPECT_EQ(ini.ReadInteger("S", "H", 0), 16);
    EXPECT_EQ(ini.ReadInteger("S", "U", 0), -16777208);
    EXPECT_EQ(ini.ReadInteger("S", "L", 5), 5);
    EXPECT_EQ(ini.ReadInteger("S", "BIG", 5), 5);
    EXPECT_EQ(ini.ReadInteger("S", "E", 5), 5);
    EXPECT_EQ(ini.ReadInteger("S", "P", 0), 7);
}

// The integers are 32 bits: both ends read, one past either end is no
// number (the caller's default), and hexadecimal spells out the bits.
TEST(IniDocument, IntegersReachBothEndsOfThirtyTwoBits) {
    const std::vector<std::pair<const char*, std::optional<int>>> rows{
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"+2147483647", 2147483647},
        {"0x7FFFFFFF", 2147483647},
        {"0x80000000", -2147483647 - 1},
        {"0xFFFFFFFF", -1},
        {"0x100000000", std::nullopt},
        {"4294967296", std::nullopt},
        {"-0", 0},
    };
    for (const auto& [text, value] : rows) {
        TIniDocument ini;
        ini.LoadFromBytes(std::string("[S]\nK=") + text + "\n");
        EXPECT_EQ(ini.ReadInteger("S", "K", 5), value.value_or(5)) << text;
        if (value) {
            ini.WriteInteger("S", "K", *value);
            TIniDocument back;
            back.LoadFromBytes(ini.ToBytes());
            EXPECT_EQ(back.ReadInteger("S", "K", 5), *value) << text;
        }
    }
}

TEST(IniDocument, BooleansAreIntegers) {
    TIniDocument ini;
    ini.LoadFromBytes("[S]\nA=2\nB=0\nC=yes\n");
    EXPECT_TRUE(ini.ReadBool("S", "A", false));
    EXPECT_FALSE(ini.ReadBool("S", "B", true));
    EXPECT_TRUE(ini.ReadBool("S", "C", true));
    ini.WriteBool("S", "A", true);
    EXPECT_EQ(ini.ReadString("S", "A", ""), "1");
}

TEST(IniDocument, FloatsUseFifteenDigitsAndAFullStop) {
    EXPECT_EQ(FormatIniFloat(1.5), "1.5");
    EXPECT_EQ(FormatIniFloat(2.0), "2");
    EXPECT_EQ(FormatIniFloat(static_cast<double>(1.2f)), "1.20000004768372");
    EXPECT_EQ(FormatIniFloat(1e300), "1E300");
    double value = 0;
    ASSERT_TRUE(ParseIniFloat("1.20000004768372", value));
    EXPECT_EQ(static_cast<float>(value), 1.2f);
    EXPECT_FALSE(ParseIniFloat("nan", value));
    EXPECT_FALSE(ParseIniFloat("inf", value));
    EXPECT_FALSE(ParseIniFloat("1e999", value));
    EXPECT_FALSE(ParseIniFloat("1,5", value));
    EXPECT_FALSE(ParseIniFloat("0x1p3", value));
}

TEST(IniDocument, WritesInPlaceAndAppendsNewOnes) {
    TIniDocument ini;
    ini.LoadFromBytes("; comment\r\n[A]\r\nX=1\r\n\r\n\r\n[B]\r\nY=2\r\n");
    ini.WriteString("A", "x", "9");
    ini.WriteString("A", "Z", "3");
    ini.WriteString("C", "W", "4");
    EXPECT_EQ(ini.ToBytes(), "[A]\r\nX=9\r\nZ=3\r\n\r\n[B]\r\nY=2\r\n\r\n[C]\r\nW=4\r\n\r\n");
}

TEST(IniDocument, ErasedSectionsComeBackAtTheEnd) {
    TIniDocument ini;
    ini.LoadFromBytes("[A]\nX=1\n[B]\nY=2\n");
    ini.EraseSection("a");
    EXPECT_FALSE(ini.SectionExists("A"));
    ini.WriteString("A", "X", "3");
    EXPECT_EQ(ini.ToBytes(), "[B]\r\nY=2\r\n\r\n[A]\r\nX=3\r\n\r\n");
}

TEST(IniDocument, MalformedTextLoadsWhatItCan) {
    TIniDocument ini;
    std::string garbage("before=section\n[broken\nno equals here\n[S]\nK=v\x00\xFF\n[T]", 49);
    garbage += std::string(100000, 'x');
    ini.LoadFromBytes(garbage);
    EXPECT_EQ(ini.ReadString("S", "K", ""), std::string("v\x00\xFF", 3));
    EXPECT_FALSE(ini.SectionExists("broken"));
    // Lines that are no key survive a save.
    ini.LoadFromBytes("[S]\nno equals here\nK=1");
    EXPECT_EQ(ini.ToBytes(), "[S]\r\nno equals here\r\nK=1\r\n\r\n");
}

TEST(IniDocument, SavesAtomicallyAndKeepsTheOldFileOnFailure) {
    TScratchFolder folder;
    const TNativePath file = folder.Native("settings.INI");
    WriteFile(file, "[OLD]\r\nK=1\r\n");
    TIniDocument ini(file);
    ini.WriteString("NEW", "K", "2");
    SetWriteFaultHookForTesting([](size_t) { return ENOSPC; });
    EXPECT_THROW(ini.UpdateFile(), EFCreateError);
    SetWriteFaultHookForTesting(nullptr);
    EXPECT_EQ(ReadFile(file), "[OLD]\r\nK=1\r\n");
    ini.UpdateFile();
    EXPECT_EQ(ReadFile(file), "[OLD]\r\nK=1\r\n\r\n[NEW]\r\nK=2\r\n\r\n");
    // No temporary file is left behind, whatever happened.
    int entries = 0;
    for ([[maybe_unused]] auto& entry : std::filesystem::directory_iterator(folder.Path()))
        ++entries;
    EXPECT_EQ(entries, 1);
}

TEST(IniDocument, AFileThatCannotBeCreatedNamesItself) {
    TScratchFolder folder;
    WriteFile(folder.File("plain"), "");
    TIniDocument ini(folder.Native("plain/settings.INI")); // a folder that is a file
    ini.WriteString("S", "K", "1");
    try {
        ini.UpdateFile();
        FAIL() << "saving under a file must fail";
    } catch (const EFCreateError& error) {
        EXPECT_NE(std::string(error.what()).find("plain/settings.INI"), std::string::npos);
        EXPECT_NE(std::string(error.what()).find("を作成できません"), std::string::npos);
    }
}

TEST(IniDocument, MissingFileIsEmptyButAFolderCannotBeOpened) {
    TScratchFolder folder;
    TIniDocument missing(folder.Native("none.INI"));
    EXPECT_TRUE(missing.SectionNames().empty());
    EXPECT_THROW(TIniDocument(folder.Native()), EFOpenError);
}

TEST(IniDocument, ALineBreakInANameOrValueIsRefusedBeforeAnythingChanges) {
    // Written as it is, "x\r\n[STYLE]\r\nCOUNT=0" would end the key's line
    // and forge a section that hides the real one.
    TScratchFolder folder;
    const TNativePath file = folder.Native("v.INI");
    WriteFile(file, "[SYSTEM]\r\nPROJECTFILE=/a.vkp\r\n");
    TIniDocument ini(file);
    const std::string before = ini.ToBytes();
    EXPECT_THROW(ini.WriteString("SYSTEM", "PROJECTFILE", "/x\r\n[STYLE]\r\nCOUNT=0"),
                 EFCreateError);
    EXPECT_THROW(ini.WriteString("SYSTEM", "NEW\nKEY", "1"), EFCreateError);
    EXPECT_THROW(ini.WriteString("NEW\rSECTION", "K", "1"), EFCreateError);
    EXPECT_EQ(ini.ToBytes(), before);
    try {
        ini.WriteString("SYSTEM", "PROJECTFILE", "a\nb");
        FAIL() << "a value with a line break must be refused";
    } catch (const EFCreateError& error) {
        EXPECT_NE(std::string(error.what()).find("v.INI"), std::string::npos);
        EXPECT_NE(std::string(error.what()).find("PROJECTFILE"), std::string::npos);
    }
    // Through the profile functions it is their usual error, file untouched.
    EXPECT_THROW(ProfileWriteString(file, "KeepFileNames", "FileName1", "a\nb"), EIniFileError);
    EXPECT_EQ(ReadFile(file), "[SYSTEM]\r\nPROJECTFILE=/a.vkp\r\n");
}

TEST(IniDocument, ASectionOfManyKeysReadsAndWritesEachInPlace) {
    // The style index of a large collection: every key written once, then
    // rewritten in place and read back, in any letter case. (A scan per
    // lookup made this quadratic: minutes for a file of a few megabytes.)
    constexpr int Keys = 100000;
    TIniDocument ini;
    for (int i = 0; i < Keys; ++i)
        ini.WriteInteger("Style", "style" + std::to_string(i), i);
    for (int i = Keys - 1; i >= 0; i -= 7)
        ini.WriteInteger("STYLE", "STYLE" + std::to_string(i), -i);
    TIniDocument reread;
    reread.LoadFromBytes(ini.ToBytes());
    EXPECT_EQ(reread.KeyCount("style"), static_cast<size_t>(Keys));
    for (int i = 0; i < Keys; ++i) {
        const int expected = (Keys - 1 - i) % 7 == 0 ? -i : i;
        ASSERT_EQ(reread.ReadInteger("STYLE", "Style" + std::to_string(i), 1), expected) << i;
    }
    // A key with no value is no key: a later one of the same name is found.
    reread.LoadFromBytes("[S]\r\nK\r\nk=2\r\nK=3\r\n");
    EXPECT_EQ(reread.ReadInteger("S", "K", 0), 2);
    reread.WriteInteger("S", "K", 4);
    EXPECT_EQ(reread.ToBytes(), "[S]\r\nK\r\nk=4\r\nK=3\r\n\r\n");
}

TEST(ProfileIni, KeyByKeyGivesTheDocumentsContent) {
    TScratchFolder folder;
    const TNativePath file = folder.Native("v.INI");
    WriteFile(file, "[SYSTEM]\r\nTABSPACE=4\r\n\r\n[KeepFileNames]\r\nFileName1=old\r\n");
    EXPECT_EQ(ProfileReadString(file, "keepfilenames", "filename1", ""), "old");
    ProfileEraseSection(file, "KeepFileNames");
    ProfileWriteString(file, "KeepFileNames", "FileName1", "a.vkp");
    ProfileWriteString(file, "KeepFileNames", "FileName2", "");
    EXPECT_EQ(ReadFile(file), "[SYSTEM]\r\nTABSPACE=4\r\n\r\n[KeepFileNames]\r\nFileName1=a.vkp\r\n"
                              "FileName2=\r\n\r\n");
    WriteFile(folder.File("plain"), "");
    EXPECT_THROW(ProfileWriteString(folder.Native("plain/v.INI"), "S", "K", "1"), EIniFileError);
}
