#include "sysdata/SystemData.h"
#include "TestSupport.h"
#include "common/Errors.h"

#include <gtest/gtest.h>

using namespace varnoke;
using namespace varnoke::test;

TEST(SystemData, FirstStartGivesTheDefaults) {
    TScratchFolder folder;
    TSystemData settings(folder.Native("varnoke.INI"));
    settings.StyleIndex = 9;
    settings.Styles.Add("x");
    settings.Load();
    EXPECT_EQ(settings.StyleTop, 0);
    EXPECT_EQ(settings.StyleIndex, 0);
    EXPECT_EQ(settings.PreviewTarget, 0);
    EXPECT_EQ(settings.ProjectFile, "");
    EXPECT_TRUE(settings.AutoSaveFlag);
    EXPECT_FALSE(settings.ProjectModified);
    EXPECT_EQ(settings.TabSpace, 2);
    EXPECT_TRUE(settings.OutlineVisible);
    EXPECT_EQ(settings.Styles.Count(), 0);
}

TEST(SystemData, ReadsTheSystemSection) {
    TScratchFolder folder;
    WriteFile(folder.File("v.INI"), "[SYSTEM]\nSTYLETOP=3\nSTYLEINDEX=0x5\nPREVIEWTARGET=256\n"
                                    "PROJECTFILE=/p/a.vkp\nAUTOSAVEFLAG=0\nTABSPACE=-4\n");
    TSystemData settings(folder.Native("v.INI"));
    settings.Load();
    EXPECT_EQ(settings.StyleTop, 3);
    EXPECT_EQ(settings.StyleIndex, 5);
    EXPECT_EQ(settings.PreviewTarget, 0);
    EXPECT_EQ(settings.ProjectFile, "/p/a.vkp");
    EXPECT_FALSE(settings.AutoSaveFlag);
    EXPECT_EQ(settings.TabSpace, -4); // taken as it comes
}

TEST(SystemData, SaveReplacesOnlyItsOwnKeys) {
    TScratchFolder folder;
    const TNativePath file = folder.Native("v.INI");
    WriteFile(file, "[STYLE]\r\nCOUNT=1\r\nSTYLE0=A\r\n\r\n[SYSTEM]\r\nTABSPACE=8\r\nOLD=1\r\n\r\n"
                    "[KeepFileNames]\r\nFileName1=/p.vkp\r\n\r\n");
    TSystemData settings(file);
    settings.Load();
    settings.ProjectModified = true;
    settings.ProjectFile = "/q.vkp";
    settings.Save();
    EXPECT_EQ(ReadFile(file),
              "[STYLE]\r\nCOUNT=1\r\nSTYLE0=A\r\n\r\n[SYSTEM]\r\nTABSPACE=8\r\nOLD=1\r\n"
              "STYLETOP=0\r\nSTYLEINDEX=0\r\nPREVIEWTARGET=0\r\nPROJECTFILE=/q.vkp\r\n"
              "AUTOSAVEFLAG=1\r\nSHOWOUTLINE=1\r\nPREVIEWFOLLOW=1\r\n\r\n[KeepFileNames]"
              "\r\nFileName1=/p.vkp\r\n\r\n");
    settings.Load();
    EXPECT_FALSE(settings.ProjectModified);
    EXPECT_EQ(settings.ProjectFile, "/q.vkp");
}

TEST(SystemData, TheOutlineAndPreviewFollowingTogglesAreKept) {
    TScratchFolder folder;
    const TNativePath file = folder.Native("v.INI");
    TSystemData settings(file);
    settings.OutlineVisible = false;
    settings.PreviewFollows = false;
    settings.Save();
    EXPECT_NE(ReadFile(file).find("SHOWOUTLINE=0\r\nPREVIEWFOLLOW=0\r\n"), std::string::npos);
    settings.Load();
    EXPECT_FALSE(settings.OutlineVisible);
    EXPECT_FALSE(settings.PreviewFollows);
    WriteFile(file, "[SYSTEM]\r\nSHOWOUTLINE=2\r\n");
    settings.Load();
    EXPECT_TRUE(settings.OutlineVisible);
}

TEST(SystemData, TheWindowsPlacementFollowsTheSixKeysOnceSet) {
    TScratchFolder folder;
    const TNativePath file = folder.Native("v.INI");
    TSystemData settings(file);
    settings.Load();
    EXPECT_EQ(settings.Window, TWindowPlacement()); // first start: none
    settings.Window = {-20, 30, 1000, 700, true, 400, 250};
    settings.Save();
    EXPECT_NE(ReadFile(file).find("TABSPACE=2\r\nWINDOWLEFT=-20\r\nWINDOWTOP=30\r\n"
                                  "WINDOWWIDTH=1000\r\nWINDOWHEIGHT=700\r\nWINDOWMAXIMIZED=1\r\n"
                                  "EDITORWIDTH=400\r\nSETTINGSHEIGHT=250\r\n"),
              std::string::npos)
        << ReadFile(file);
    TSystemData again(file);
    again.Load();
    EXPECT_EQ(again.Window, settings.Window);
    again.Reset();
    EXPECT_EQ(again.Window, TWindowPlacement());
}

TEST(SystemData, AnUnreadableFileRaisesAfterTheReset) {
    TScratchFolder folder;
    TSystemData settings(folder.Native()); // a folder
    settings.TabSpace = 8;
    EXPECT_THROW(settings.Load(), EFOpenError);
    EXPECT_EQ(settings.TabSpace, 2);
}

TEST(SystemData, AProjectPathWithALineBreakCannotSpoilTheStyles) {
    // Saved as it is, the path's second line would become a "STYLE" section
    // ahead of the real one, and the next start would load no styles.
    TScratchFolder folder;
    const TNativePath file = folder.Native("varnoke.INI");
    TSystemData settings(file);
    settings.Styles.Add("kept");
    settings.Save();
    settings.Styles.SaveToFile(file);
    const std::string before = ReadFile(file);
    settings.ProjectFile = "/p/x\n[STYLE]\nCOUNT=0\n.vkp";
    EXPECT_THROW(settings.Save(), EFCreateError);
    EXPECT_EQ(ReadFile(file), before);
    TSystemData again(file);
    again.Styles.LoadFromFile(file);
    EXPECT_EQ(again.Styles.Count(), 1);
}
