#include "FileNameKeeper/FileNameKeep.h"
#include "TestSupport.h"
#include "common/Errors.h"

#include <gtest/gtest.h>

#include <set>

using namespace varnoke;
using namespace varnoke::test;

namespace {
std::vector<std::string> Names(const TFileNameKeep& keep) {
    std::vector<std::string> names;
    for (int slot = 1; slot <= TFileNameKeep::KeepCount && !keep.Name(slot).empty(); ++slot)
        names.push_back(keep.Name(slot));
    return names;
}
using List = std::vector<std::string>;
} // namespace

TEST(FileNameKeep, NewestFirstAndMovedToFront) {
    TFileNameKeep keep(TNativePath("unused.INI"));
    keep.Add("A");
    keep.Add("B");
    keep.Add("C");
    EXPECT_EQ(Names(keep), (List{"C", "B", "A"}));
    keep.Add("A");
    EXPECT_EQ(Names(keep), (List{"A", "C", "B"}));
    EXPECT_EQ(keep.ItemCount(), 3);
    keep.Add("");
    keep.Add("a"); // letter case matters
    EXPECT_EQ(Names(keep), (List{"a", "A", "C", "B"}));
}

TEST(FileNameKeep, SixteenSlotsAtMost) {
    TFileNameKeep keep(TNativePath("unused.INI"));
    for (int i = 1; i <= 17; ++i)
        keep.Add("f" + std::to_string(i));
    EXPECT_EQ(keep.ItemCount(), 16);
    EXPECT_EQ(keep.Name(1), "f17");
    EXPECT_EQ(keep.Name(16), "f2");
}

TEST(FileNameKeep, CaptionsAndBack) {
    TFileNameKeep keep(TNativePath("unused.INI"));
    for (int i = 16; i >= 1; --i)
        keep.Add(i == 16 ? " spaced.vkp" : "p" + std::to_string(i) + ".vkp");
    EXPECT_EQ(keep.Caption(1), "&1 p1.vkp");
    EXPECT_EQ(keep.Caption(10), "&a p10.vkp");
    EXPECT_EQ(keep.Caption(16), "&10  spaced.vkp");
    for (int slot = 1; slot <= 15; ++slot)
        EXPECT_EQ(TFileNameKeep::NameFromCaption(keep.Caption(slot)), keep.Name(slot));
    // The spaces before a name go with the one after the slot number.
    EXPECT_EQ(TFileNameKeep::NameFromCaption(keep.Caption(16)), "spaced.vkp");
    EXPECT_EQ(TFileNameKeep::NameFromCaption("&3 a&b.vkp"), "a&b.vkp");
    EXPECT_EQ(TFileNameKeep::NameFromCaption("&1"), "");
}

TEST(FileNameKeep, StoresAllSixteenKeysAndDropsVanishedFiles) {
    TScratchFolder folder;
    const TNativePath ini = folder.Native("v.INI");
    WriteFile(ini, "[SYSTEM]\r\nTABSPACE=2\r\n\r\n[KeepFileNames]\r\nFileName1=stale\r\n\r\n");
    std::set<std::string> existing{"/a.vkp", "/b.vkp"};
    auto exists = [&existing](const std::string& name) { return existing.count(name) > 0; };
    {
        TFileNameKeep keep(ini, exists);
        keep.Add("/a.vkp");
        keep.Add("/gone.vkp");
        keep.Add("/b.vkp");
        keep.SaveList();
    }
    std::string saved = ReadFile(ini);
    EXPECT_EQ(saved.substr(0, 31), "[SYSTEM]\r\nTABSPACE=2\r\n\r\n[KeepFi");
    EXPECT_NE(saved.find("FileName1=/b.vkp\r\nFileName2=/gone.vkp\r\nFileName3=/a.vkp\r\n"
                         "FileName4=\r\n"),
              std::string::npos);
    EXPECT_NE(saved.find("FileName16=\r\n"), std::string::npos);

    TFileNameKeep reloaded(ini, exists);
    reloaded.LoadList();
    EXPECT_EQ(Names(reloaded), (List{"/b.vkp", "/a.vkp"}));
    EXPECT_EQ(reloaded.ItemCount(), 2);
}

TEST(FileNameKeep, AnUnwritableFileRaisesTheIniError) {
    TScratchFolder folder;
    WriteFile(folder.File("file"), "");
    TFileNameKeep keep(folder.Native("file/v.INI"));
    keep.Add("/a.vkp");
    EXPECT_THROW(keep.SaveList(), EIniFileError);
}
