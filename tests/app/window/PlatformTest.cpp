// The main window driven as a user would, headless: dialogs answered by the
// test, the preview replaced by a recorder of the pages it is asked to show.
#include "WindowTest.h"
#include "common/ShiftJis.h"
#include "controls/ExtMemo.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace varnoke;
using namespace varnoke::test;

namespace {

class Platform : public TWindowTest {};

} // namespace

TEST_F(Platform, FirstStartWithoutSettings) {
    Open();
    EXPECT_EQ(window->windowTitle(), "Varnoke V2");
    EXPECT_EQ(window->minimumSize(), QSize(848, 640));
    EXPECT_EQ(Find<QComboBox>("ComboBox1")->currentText(), "2");
    // The ready styles fill the style lists.
    EXPECT_EQ(Find<QComboBox>("ComboBox16")->count(), window->SystemData().Styles.Count());
    EXPECT_GT(Find<QComboBox>("ComboBox16")->count(), 0);
    EXPECT_FALSE(Find<QPushButton>("Button8")->isEnabled());
    EXPECT_FALSE(Item("ToolButton7")->isEnabled());
    EXPECT_FALSE(Item("S1")->isEnabled());
    EXPECT_TRUE(Item("N4")->isEnabled()); // a fresh project can be saved
    EXPECT_FALSE(Find<QMenu>("N15")->isEnabled());
    EXPECT_FALSE(Find<QGroupBox>("GroupBox2")->isEnabled());
    EXPECT_TRUE(Item("A2")->isChecked());
    EXPECT_FALSE(Item("L1")->isEnabled());
    EXPECT_TRUE(dialogs->Shown.isEmpty()) << dialogs->Shown.join("\n").toStdString();
    EXPECT_TRUE(Exists(Temp("sample.html")));
    EXPECT_FALSE(window->RefreshPending());
    // The first preview asks for the body page of the temp folder.
    ASSERT_FALSE(preview.Pages.empty());
    EXPECT_EQ(preview.Pages.back(), Temp("text.html"));
}

TEST_F(Platform, StartUpSurvivesAnUnusableTempFolderAndSettingsFile) {
    WriteFile(folder.File("temp"), "a file where the folder should be");
    std::filesystem::create_directory(folder.File("varnoke.INI"));
    Open();
    EXPECT_GE(dialogs->Shown.size(), 1);
    EXPECT_EQ(Find<QComboBox>("ComboBox1")->currentText(), "2");
    window->ProjectData().OutputPath = "x";
    Item("N1")->trigger();
}

TEST_F(Platform, TypingTheTitleMarksModifiedAndRebuildsOnEnter) {
    Open();
    Find<QGroupBox>("RadioGroup1")->findChildren<QRadioButton*>()[1]->click();
    auto* edit2 = Find<QLineEdit>("Edit2");
    QTest::keyClicks(edit2, "Guide");
    EXPECT_EQ(window->ProjectData().TitleName, "Guide");
    EXPECT_TRUE(Item("S1")->isEnabled());
    EXPECT_EQ(ReadFile(Temp("title.html")).find("Guide"), std::string::npos);
    QTest::keyClick(edit2, Qt::Key_Return);
    EXPECT_NE(ReadFile(Temp("title.html")).find("\r\nGuide\r\n"), std::string::npos);
}

TEST_F(Platform, OutputFolderEnablesTheBuildOnlyAtEnter) {
    Open();
    auto* edit3 = Find<QLineEdit>("Edit3");
    QTest::keyClicks(edit3, folder.File("out").c_str());
    EXPECT_EQ(window->ProjectData().OutputPath, folder.File("out"));
    EXPECT_FALSE(Find<QPushButton>("Button8")->isEnabled());
    QTest::keyClick(edit3, Qt::Key_Return);
    EXPECT_TRUE(Find<QPushButton>("Button8")->isEnabled());
    EXPECT_TRUE(Item("ToolButton7")->isEnabled());
}

TEST_F(Platform, MenuTypeEnablesTheFrameOptionsAndPicksThePreviewPage) {
    Open();
    auto radios = Find<QGroupBox>("RadioGroup1")->findChildren<QRadioButton*>();
    ASSERT_EQ(radios.size(), 2);
    radios[1]->click();
    EXPECT_EQ(window->ProjectData().ContentsType, 1);
    EXPECT_TRUE(Find<QGroupBox>("GroupBox2")->isEnabled());
    EXPECT_EQ(preview.Pages.back(), Temp("frame.html"));
    radios[0]->click();
    EXPECT_FALSE(Find<QCheckBox>("CheckBox2")->isEnabled());
    EXPECT_EQ(preview.Pages.back(), Temp("text.html"));
}

TEST_F(Platform, SplitAndTitleFrameRebuildThePreview) {
    Open();
    window->Editor().setPlainText("A\n\tb\nB\n");
    window->ProjectData().ContentsType = 1;
    window->SetRefreshPending();
    window->RefreshAll();
    Find<QCheckBox>("CheckBox2")->click();
    EXPECT_TRUE(window->ProjectData().FileDivideFlag);
    EXPECT_TRUE(Exists(Temp("text1.html")));
    Find<QCheckBox>("CheckBox3")->click();
    EXPECT_NE(ReadFile(Temp("frame.html")).find("rows=\"80, *\""), std::string::npos);
    EXPECT_TRUE(Item("S1")->isEnabled());
}

TEST_F(Platform, TheSearchOptionRebuildsAndFollowsTheMenuType) {
    Open();
    window->Editor().setPlainText("A\n\tb\n");
    auto* search = Find<QCheckBox>("CheckBox4");
    EXPECT_FALSE(search->isEnabled()); // a frame option
    auto radios = Find<QGroupBox>("RadioGroup1")->findChildren<QRadioButton*>();
    radios[1]->click();
    ASSERT_TRUE(search->isEnabled());
    search->click();
    EXPECT_TRUE(window->ProjectData().SearchFlag);
    EXPECT_TRUE(Exists(Temp("search.js")));
    EXPECT_NE(ReadFile(Temp("menu.html")).find("search.html"), std::string::npos);
    // Without frames the link moves into the body page.
    radios[0]->click();
    EXPECT_NE(ReadFile(Temp("text.html")).find("search.html"), std::string::npos);
    EXPECT_EQ(ReadFile(Temp("menu.html")).find("search.html"), std::string::npos);
}

TEST_F(Platform, EditingTheTextRebuildsWithoutMarkingTheProjectModified) {
    Open();
    QTest::keyClicks(&window->Editor(), "Heading");
    EXPECT_NE(ReadFile(Temp("text.html")).find("\r\nHeading\r\n"), std::string::npos);
    EXPECT_FALSE(window->SystemData().ProjectModified);
    EXPECT_TRUE(Item("S1")->isEnabled()); // the text is modified
}

TEST_F(Platform, NewAsksOnlyWhenModified) {
    Open();
    window->ProjectData().TitleName = "keep";
    Item("N1")->trigger();
    EXPECT_TRUE(dialogs->Shown.isEmpty());
    EXPECT_EQ(window->ProjectData().TitleName, "");

    window->ProjectData().TitleName = "changed";
    window->MarkModified();
    dialogs->Answers = {TAnswer::Cancel};
    Item("N1")->trigger();
    EXPECT_EQ(window->ProjectData().TitleName, "changed");
    EXPECT_EQ(dialogs->Shown.last(), "ask: 警告: プロジェクトを保存しますか?");

    dialogs->Answers = {TAnswer::Yes};
    dialogs->FileNames = {std::nullopt}; // the save dialog cancelled counts as Cancel
    Item("N1")->trigger();
    EXPECT_EQ(window->ProjectData().TitleName, "changed");

    dialogs->Answers = {TAnswer::No};
    Item("N1")->trigger();
    EXPECT_EQ(window->ProjectData().TitleName, "");
    EXPECT_TRUE(window->SystemData().ProjectModified); // New leaves it as it was
}

TEST_F(Platform, YesSavesUnderTheChosenName) {
    Open();
    window->ProjectData().TitleName = "T";
    window->MarkModified();
    dialogs->Answers = {TAnswer::Yes};
    dialogs->FileNames = {QString::fromStdString(folder.File("saved.vkp"))};
    Item("N1")->trigger();
    EXPECT_NE(ReadFile(folder.File("saved.vkp")).find("TITLENAME=T\r\n"), std::string::npos);
    EXPECT_FALSE(window->SystemData().ProjectModified);
    EXPECT_FALSE(Item("S1")->isEnabled());
}

TEST_F(Platform, ClosingAsksLikeNew) {
    Open();
    window->MarkModified();
    dialogs->Answers = {TAnswer::Cancel};
    EXPECT_FALSE(window->close());
    dialogs->Answers = {TAnswer::No};
    EXPECT_TRUE(window->close());
}

TEST_F(Platform, OpenShowsTheProjectAndItsText) {
    Open();
    const std::string file =
        Project("one", "TITLENAME=First\r\nCONTENTSTYPE=1\r\nOUTPUTPATH=/o\r\n");
    window->MarkModified();
    dialogs->Answers = {TAnswer::No};
    dialogs->FileNames = {QString::fromStdString(file)};
    Item("O1")->trigger();
    EXPECT_EQ(dialogs->Shown.filter("ask").size(), 1); // the modified project is asked about
    EXPECT_EQ(window->Editor().toPlainText(), "A\n\tb\n");
    EXPECT_EQ(Find<QLineEdit>("Edit2")->text(), "First");
    EXPECT_TRUE(Find<QGroupBox>("GroupBox2")->isEnabled());
    EXPECT_TRUE(Find<QPushButton>("Button8")->isEnabled());
    EXPECT_FALSE(window->SystemData().ProjectModified);
    EXPECT_EQ(window->SystemData().ProjectFile, file);
    EXPECT_TRUE(Find<QMenu>("N15")->isEnabled());
    EXPECT_TRUE(Item("N4")->isEnabled());
}

TEST_F(Platform, OpeningKeepsFieldsTheFileDoesNotName) {
    Open();
    window->OpenProject(Project("one", "TITLENAME=First\r\n"));
    window->OpenProject(Project("two", "OUTPUTPATH=/x\r\n"));
    EXPECT_EQ(window->ProjectData().TitleName, "First");
}

TEST_F(Platform, AMissingTextLeavesAnEmptyEditorBoundToItsName) {
    Open();
    window->OpenProject(Project("old", "", "old text\r\n"));
    WriteFile(folder.File("p.vkp"),
              "[PROJECT]\r\nTEXTNAME=" + folder.File("gone.txt") + "\r\nTITLENAME=Shown\r\n");
    dialogs->FileNames = {QString::fromStdString(folder.File("p.vkp"))};
    Item("O1")->trigger();
    ASSERT_EQ(dialogs->Shown.filter("error").size(), 1);
    EXPECT_TRUE(dialogs->Shown.last().contains("gone.txt"));
    EXPECT_TRUE(dialogs->Shown.last().contains("は開けません"));
    // Never the previous project's text: Execute would publish it as this one's.
    EXPECT_EQ(window->Editor().toPlainText(), "");
    EXPECT_EQ(Find<QLineEdit>("Edit2")->text(), "Shown");
    EXPECT_FALSE(window->SystemData().ProjectModified);
    // Typing and saving creates the missing text under its name.
    QTest::keyClicks(&window->Editor(), "New");
    Item("S1")->trigger();
    EXPECT_EQ(ReadFile(folder.File("gone.txt")), "New");
}

TEST_F(Platform, OverwriteSaveNeverWritesIntoARememberedProject) {
    const std::string other = Project("other", "TITLENAME=Other\r\n");
    Open("[SYSTEM]\r\nPROJECTFILE=" + other + "\r\n");
    window->ProjectData().TitleName = "Mine";
    window->MarkModified();
    dialogs->FileNames = {QString::fromStdString(folder.File("mine.vkp"))};
    Item("S1")->trigger();
    EXPECT_EQ(dialogs->Shown.last(), "save: ﾌﾟﾛｼﾞｪｸﾄﾌｧｲﾙを保存");
    EXPECT_NE(ReadFile(other).find("TITLENAME=Other"), std::string::npos);
    EXPECT_NE(ReadFile(folder.File("mine.vkp")).find("TITLENAME=Mine"), std::string::npos);

    // Once a name is chosen in this run, overwrite-save writes without asking.
    window->ProjectData().TitleName = "Again";
    window->MarkModified();
    const int shown = dialogs->Shown.size();
    Item("S1")->trigger();
    EXPECT_EQ(dialogs->Shown.size(), shown);
    EXPECT_NE(ReadFile(folder.File("mine.vkp")).find("TITLENAME=Again"), std::string::npos);
    EXPECT_FALSE(Item("S1")->isEnabled());
}

TEST_F(Platform, RecentListKeepsTheNewestFirst) {
    Open();
    const std::string a = Project("a", "");
    const std::string b = Project("b", "");
    window->OpenProject(a);
    window->OpenProject(b);
    window->OpenProject(a);
    QList<QAction*> items = Find<QMenu>("N15")->actions();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0]->text(), QString::fromStdString("&1 " + a));
    EXPECT_EQ(items[1]->text(), QString::fromStdString("&2 " + b));
    items[1]->trigger(); // choosing an entry opens it as Open does
    EXPECT_EQ(window->SystemData().ProjectFile, b);
    window.reset();
    EXPECT_NE(ReadFile(folder.File("varnoke.INI")).find("FileName1=" + b + "\r\nFileName2=" + a),
              std::string::npos);
}

TEST_F(Platform, SettingsAreSavedAtExit) {
    Open("[SYSTEM]\r\nTABSPACE=4\r\nPREVIEWTARGET=1\r\n");
    EXPECT_EQ(Find<QComboBox>("ComboBox1")->currentText(), "4");
    EXPECT_EQ(preview.Pages.back(), Temp("sample.html"));
    Find<QToolButton>("SpeedButton1")->click();
    EXPECT_EQ(preview.Pages.back(), Temp("text.html"));
    window.reset();
    EXPECT_NE(ReadFile(folder.File("varnoke.INI")).find("PREVIEWTARGET=0\r\n"), std::string::npos);
}

TEST_F(Platform, OpenedTextTakesTheChosenTabWidth) {
    Open("[SYSTEM]\r\nTABSPACE=8\r\n");
    const std::string file = Project("t", "");
    window->OpenProject(file);
    const QFontMetricsF metrics(window->Editor().font());
    const qreal expected = metrics.horizontalAdvance(QString(512, 'M')) / 512 * 8;
    EXPECT_NEAR(window->Editor().document()->defaultTextOption().tabStopDistance(), expected, 1.0);
}

// A hand-edited width beyond what the build takes is shown, used in the
// editor and built as the largest width, and kept in the file as it was.
TEST_F(Platform, AHugeStoredTabWidthIsShownAndBuiltAsTheLargest) {
    Open("[SYSTEM]\r\nTABSPACE=2147483647\r\n");
    EXPECT_EQ(Find<QComboBox>("ComboBox1")->placeholderText(), "64");
    window->OpenProject(Project("t", "", "A\r\n\t\t\tx\r\n"));
    const QFontMetricsF metrics(window->Editor().font());
    const qreal expected = metrics.horizontalAdvance(QString(512, 'M')) / 512 * 64;
    EXPECT_NEAR(window->Editor().document()->defaultTextOption().tabStopDistance(), expected, 1.0);
    std::string nbsp;
    for (int i = 0; i < 64; ++i)
        nbsp += "&nbsp;";
    EXPECT_NE(ReadFile(Temp("text.html")).find("\r\n" + nbsp + "x\r\n"), std::string::npos);
    EXPECT_EQ(ReadFile(Temp("text.html")).find(nbsp + "&nbsp;"), std::string::npos);
    window.reset();
    EXPECT_NE(ReadFile(folder.File("varnoke.INI")).find("TABSPACE=2147483647\r\n"),
              std::string::npos);
}

TEST_F(Platform, ViewTogglesHideAndShowThePanels) {
    Open();
    window->show();
    QWidget* editor = Find<QWidget>("PanelEx1");
    Item("ToolButton3")->trigger();
    EXPECT_FALSE(editor->isVisible());
    Item("ToolButton3")->trigger();
    EXPECT_TRUE(editor->isVisible());
    Item("ToolButton4")->trigger();
    EXPECT_FALSE(Find<QWidget>("PanelEx3")->isVisible());
}

TEST_F(Platform, EditorLinesFeedTheWriters) {
    Open();
    window->Editor().setPlainText(QString::fromUtf8("見出し😀\n\t\tbody"));
    const TLineSource& lines = window->Editor().Lines();
    ASSERT_EQ(lines.Count(), 2u);
    EXPECT_EQ(lines.Line(0), Sjis("見出し") + "&#128512;");
    EXPECT_EQ(lines.Line(1), "\t\tbody");
    EXPECT_FALSE(lines.LastLineHasBreak());
}

TEST_F(Platform, RelativeNamesInAProjectMeanFilesBesideIt) {
    Open();
    std::filesystem::create_directories(folder.File("p/site"));
    WriteFile(folder.File("p/t.txt"), "Beside\r\n");
    WriteFile(folder.File("p/rel.vkp"), "[PROJECT]\r\nTEXTNAME=t.txt\r\nOUTPUTPATH=site\r\n");
    window->OpenProject(folder.File("p/rel.vkp"));
    EXPECT_EQ(window->Editor().toPlainText(), "Beside\n");
    EXPECT_EQ(window->ProjectData().TextName, "t.txt"); // stored as written
    Find<QPushButton>("Button8")->click();
    EXPECT_TRUE(Exists(folder.File("p/site/text.html")));
}

TEST_F(Platform, ACancelledFolderDialogChangesNothing) {
    Open();
    dialogs->FileNames = {std::nullopt};
    Find<QPushButton>("Button4")->click();
    EXPECT_EQ(window->ProjectData().OutputPath, "");
    EXPECT_FALSE(window->SystemData().ProjectModified);
}

TEST_F(Platform, AFileWithoutAProjectIsRefusedAndNothingChanges) {
    Open();
    const std::string good = Project("good", "TITLENAME=Good\r\nOUTPUTPATH=/o\r\n");
    window->OpenProject(good);
    WriteFile(folder.File("noise.vkp"), std::string("\x89PNG\r\n\x1a\n\0\0\x83\x41=B\r\n", 16));
    dialogs->FileNames = {Q(folder.File("noise.vkp"))};
    Item("O1")->trigger();
    ASSERT_EQ(Errors().size(), 1);
    EXPECT_EQ(Errors()[0], "error: ファイル \"" + Q(folder.File("noise.vkp")) +
                               "\". プロジェクトファイルではありません.");
    EXPECT_EQ(window->SystemData().ProjectFile, good);
    EXPECT_EQ(window->ProjectData().TitleName, "Good");
    EXPECT_EQ(Find<QLineEdit>("Edit2")->text(), "Good");
    EXPECT_EQ(window->Editor().toPlainText(), "A\n\tb\n");
    EXPECT_EQ(Find<QMenu>("N15")->actions().size(), 1);
    EXPECT_FALSE(window->SystemData().ProjectModified);

    // A name that does not exist yet is no file to refuse: nothing to read.
    dialogs->FileNames = {Q(folder.File("new.vkp"))};
    Item("O1")->trigger();
    EXPECT_EQ(Errors().size(), 1);
    EXPECT_EQ(window->ProjectData().TitleName, "Good");
}

TEST_F(Platform, TheProjectDialogsTakeTheirSuffixAndTheOpenOneAnyName) {
    Open();
    Item("O1")->trigger();
    Item("N4")->trigger();
    Item("T1")->trigger();
    ASSERT_EQ(dialogs->FileOptions.size(), 3u);
    EXPECT_EQ(dialogs->FileOptions[0].DefaultSuffix, "vkp");
    EXPECT_FALSE(dialogs->FileOptions[0].MustExist);
    EXPECT_EQ(dialogs->FileOptions[1].DefaultSuffix, "vkp");
    EXPECT_EQ(dialogs->FileOptions[2].DefaultSuffix, "txt");
    EXPECT_TRUE(dialogs->FileOptions[2].MustExist);
}

TEST_F(Platform, DialogsOpenWhereTheUserWorks) {
    std::filesystem::create_directories(folder.File("work/site"));
    const std::string remembered = Project("old", "");
    Open("[SYSTEM]\r\nPROJECTFILE=" + remembered + "\r\n");
    // Before a project is chosen: the remembered project's folder.
    Item("O1")->trigger();
    EXPECT_EQ(dialogs->InitialPaths.last(), Q(folder.Path()));
    Item("N4")->trigger();
    EXPECT_EQ(dialogs->InitialPaths.last(), Q(folder.Path()));

    WriteFile(folder.File("work/t.txt"), "T\r\n");
    WriteFile(folder.File("work/p.vkp"), "[PROJECT]\r\nTEXTNAME=t.txt\r\nOUTPUTPATH=site\r\n");
    window->OpenProject(folder.File("work/p.vkp"));
    // The save dialog at the project itself, the text dialog in its folder.
    Item("N4")->trigger();
    EXPECT_EQ(dialogs->InitialPaths.last(), Q(folder.File("work/p.vkp")));
    Item("T1")->trigger();
    EXPECT_EQ(dialogs->InitialPaths.last(), Q(folder.File("work/")));
    dialogs->Answers = {TAnswer::Yes};
    window->MarkModified();
    Item("N1")->trigger();
    EXPECT_EQ(dialogs->InitialPaths.last(), Q(folder.File("work/p.vkp")));

    // The folder dialog at the output folder, under the window's caption.
    Find<QPushButton>("Button4")->click();
    EXPECT_EQ(dialogs->Shown.last(), "folder: 出力フォルダの選択");
    EXPECT_EQ(dialogs->InitialPaths.last(), Q(folder.File("work/site/")));
    // A folder yet to be made: the nearest one above it that exists.
    window->ProjectData().OutputPath = "site/new/deeper";
    Find<QPushButton>("Button4")->click();
    EXPECT_EQ(dialogs->InitialPaths.last(), Q(folder.File("work/site/")));
}

TEST_F(Platform, AFreshProjectCanBeSavedAndShowsTabsAtTheChosenWidth) {
    Open("[SYSTEM]\r\nTABSPACE=8\r\n");
    EXPECT_TRUE(Item("N4")->isEnabled());
    const QFontMetricsF metrics(window->Editor().font());
    const qreal eight = metrics.horizontalAdvance(QString(512, 'M')) / 512 * 8;
    EXPECT_NEAR(window->Editor().document()->defaultTextOption().tabStopDistance(), eight, 1.0);

    dialogs->FileNames = {Q(folder.File("fresh.vkp"))};
    Item("N4")->trigger();
    EXPECT_NE(ReadFile(folder.File("fresh.vkp")).find("[PROJECT]\r\nTEXTNAME=\r\n"),
              std::string::npos);
}
