#include "projectdata/ProjectData.h"
#include "TestSupport.h"
#include "common/Errors.h"

#include <gtest/gtest.h>

using namespace varnoke;
using namespace varnoke::test;

namespace {
TProjectData Loaded() {
    TProjectData project;
    project.TextName = "/m/text.txt";
    project.ContentsType = 1;
    project.FileDivideFlag = true;
    project.TitleFrameFlag = true;
    project.TitleName = "Title";
    project.OutputPath = "/m/out";
    project.StyleTitle = 1;
    project.StyleMenu = 2;
    project.StyleText = 3;
    project.SearchFlag = true;
    return project;
}
} // namespace

TEST(ProjectData, SavesTenKeysInOrderEvenWhenEmpty) {
    TScratchFolder folder;
    TProjectData().SaveToFile(folder.Native("p.vkp"));
    EXPECT_EQ(ReadFile(folder.File("p.vkp")),
              CrLfLines({"[PROJECT]", "TEXTNAME=", "CONTENTSTYPE=0", "FILEDEVIDEFLAG=0",
                         "TITLEFRAMEFLAG=0", "TITLENAME=", "OUTPUTPATH=", "STYLETITLE=0",
                         "STYLEMENU=0", "STYLETEXT=0", "SEARCHFLAG=0", ""}));
}

TEST(ProjectData, RoundTripsEveryField) {
    TScratchFolder folder;
    Loaded().SaveToFile(folder.Native("p.vkp"));
    TProjectData project;
    project.LoadFromFile(folder.Native("p.vkp"));
    EXPECT_EQ(project.TextName, "/m/text.txt");
    EXPECT_EQ(project.ContentsType, 1);
    EXPECT_TRUE(project.FileDivideFlag);
    EXPECT_TRUE(project.TitleFrameFlag);
    EXPECT_EQ(project.TitleName, "Title");
    EXPECT_EQ(project.OutputPath, "/m/out");
    EXPECT_EQ(project.StyleTitle, 1);
    EXPECT_EQ(project.StyleMenu, 2);
    EXPECT_EQ(project.StyleText, 3);
    EXPECT_TRUE(project.SearchFlag);
}

TEST(ProjectData, LoadingReadsOverTheProjectBefore) {
    TScratchFolder folder;
    WriteFile(folder.File("p.vkp"), "[project]\r\ntitlename= New title \r\n");
    TProjectData project = Loaded();
    project.LoadFromFile(folder.Native("p.vkp"));
    EXPECT_EQ(project.TitleName, "New title");
    EXPECT_EQ(project.TextName, "/m/text.txt");
    EXPECT_EQ(project.StyleText, 3);
    project.LoadFromFile(folder.Native("missing.vkp"));
    EXPECT_EQ(project.TitleName, "New title");
}

TEST(ProjectData, ReadingRules) {
    TScratchFolder folder;
    WriteFile(folder.File("p.vkp"),
              "[PROJECT]\nFILEDEVIDEFLAG=2\nCONTENTSTYPE=257\nSTYLEMENU=0x10\n"
              "STYLETEXT=abc\nOUTPUTPATH=a=b\n");
    TProjectData project = Loaded();
    project.FileDivideFlag = false;
    project.LoadFromFile(folder.Native("p.vkp"));
    EXPECT_TRUE(project.FileDivideFlag);
    EXPECT_EQ(project.ContentsType, 1);
    EXPECT_EQ(project.StyleMenu, 16);
    EXPECT_EQ(project.StyleText, 3);
    EXPECT_EQ(project.OutputPath, "a=b");
    project.SaveToFile(folder.Native("p.vkp"));
    EXPECT_NE(ReadFile(folder.File("p.vkp")).find("FILEDEVIDEFLAG=1\r\n"), std::string::npos);
}

TEST(ProjectData, SavingKeepsOtherSections) {
    TScratchFolder folder;
    WriteFile(folder.File("p.vkp"),
              "[NOTES]\r\nK=v\r\n\r\n[PROJECT]\r\nEXTRA=1\r\nTITLENAME=x\r\n");
    Loaded().SaveToFile(folder.Native("p.vkp"));
    const std::string saved = ReadFile(folder.File("p.vkp"));
    EXPECT_EQ(saved.substr(0, 21), "[NOTES]\r\nK=v\r\n\r\n[PROJ");
    EXPECT_NE(saved.find("EXTRA=1\r\nTITLENAME=Title\r\nTEXTNAME="), std::string::npos);
}

TEST(ProjectData, AFailedSaveKeepsTheOldFile) {
    TScratchFolder folder;
    WriteFile(folder.File("p.vkp"), "[PROJECT]\r\nTITLENAME=old\r\n");
    SetWriteFaultHookForTesting([](size_t) { return ENOSPC; });
    EXPECT_THROW(Loaded().SaveToFile(folder.Native("p.vkp")), EFCreateError);
    SetWriteFaultHookForTesting(nullptr);
    EXPECT_EQ(ReadFile(folder.File("p.vkp")), "[PROJECT]\r\nTITLENAME=old\r\n");
}

TEST(ProjectData, AFolderCannotBeOpenedAndNothingChanges) {
    TScratchFolder folder;
    TProjectData project = Loaded();
    EXPECT_THROW(project.LoadFromFile(folder.Native()), EFOpenError);
    EXPECT_EQ(project.TitleName, "Title");
}

TEST(ProjectData, OnlyAFileWithAProjectSectionHoldsAProject) {
    TScratchFolder folder;
    WriteFile(folder.File("p.vkp"), "[project]\r\n");
    EXPECT_TRUE(TProjectData::HoldsProject(folder.Native("p.vkp")));
    WriteFile(folder.File("p.vkp"), std::string("\x89PNG\r\n\x1a\n\0\0[PROJECTS]\r\nA=1", 25));
    EXPECT_FALSE(TProjectData::HoldsProject(folder.Native("p.vkp")));
    WriteFile(folder.File("p.vkp"), "");
    EXPECT_FALSE(TProjectData::HoldsProject(folder.Native("p.vkp")));
    EXPECT_THROW(TProjectData::HoldsProject(folder.Native()), EFOpenError);
}

TEST(ProjectData, AValueWithALineBreakIsNotSavedAndTheFileStaysAsItWas) {
    // A title pasted with its line break, or a text file whose name holds
    // one (Linux allows it), would otherwise add keys or sections of its own.
    TScratchFolder folder;
    const TNativePath file = folder.Native("p.vkp");
    Loaded().SaveToFile(file);
    const std::string before = ReadFile(file);
    TProjectData project = Loaded();
    project.TitleName = "Title\r\n[NOTES]\r\nK=v";
    EXPECT_THROW(project.SaveToFile(file), EFCreateError);
    project = Loaded();
    project.TextName = "/m/a\nb.txt";
    EXPECT_THROW(project.SaveToFile(file), EFCreateError);
    EXPECT_EQ(ReadFile(file), before);
}
