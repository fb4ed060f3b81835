// What a new author meets: the first start with the bundled guide, the
// style choices of a new project, and where the file dialogs start.
#include "WindowTest.h"
#include "app/dialogs/Dialogs.h"
#include "app/window/ExternalFiles.h"
#include "common/RecoveryCopy.h"
#include "common/ShiftJis.h"
#include "controls/ExtMemo.h"

#include <QComboBox>
#include <QCommandLineParser>
#include <QDir>
#include <QFileSystemModel>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>

#include <filesystem>

using namespace varnoke;
using namespace varnoke::test;

namespace {

class FirstStart : public TWindowTest {
  protected:
    FirstStart() {
        std::filesystem::create_directories(folder.File("Documents"));
        documentsFolder = Q(folder.File("Documents"));
        guideFolder = QStringLiteral(VARNOKE_EXAMPLES "/");
    }
    std::string Copy(const std::string& name) {
        return folder.File("Documents/Varnoke/guide/" + name);
    }
    std::string Bundled(const std::string& name) {
        return std::string(VARNOKE_EXAMPLES "/") + name;
    }
    // Starts as the program does, with the given command-line arguments.
    void Start(const QStringList& arguments = {}) {
        Open();
        QCommandLineParser parser;
        AddFileArgument(parser);
        ASSERT_TRUE(parser.parse(QStringList{"varnoke"} + arguments));
        OpenAtStart(*window, parser);
    }
};

} // namespace

// A user whose folders hold characters Shift-JIS lacks (José, a snowman)
// works as any other: the settings, the temp folder and the recovery copies
// live there, the preview and Execute build. Only a name the model would
// store is refused, naming the file: the guide's copy there is not opened
// at the first start, and a project chosen there is not opened at all.
TEST_F(FirstStart, AUserWhoseFoldersShiftJisCannotNameWorksAsAnyOther) {
    places = "jos\xC3\xA9\xE2\x98\x83/";
    std::filesystem::create_directories(folder.File(places + "Documents"));
    documentsFolder = Q(folder.File(places + "Documents"));
    recoveryFolder = folder.File(places + "recovery/");
    recoveryDelayMs = 0;
    Start();
    EXPECT_TRUE(dialogs->Shown.isEmpty()) << dialogs->Shown.join("\n").toStdString();
    EXPECT_NE(ReadFile(folder.File(places + "varnoke.INI")).find("[STYLE]"), std::string::npos);
    EXPECT_TRUE(Exists(Temp("sample.html")));

    dialogs->FileNames = {Q(Project("p", "OUTPUTPATH=out\r\nCONTENTSTYPE=1\r\n", "Chapter\r\n"))};
    Item("O1")->trigger();
    window->Editor().moveCursor(QTextCursor::End);
    QTest::keyClicks(&window->Editor(), "\t\tBody");
    const TNativePath copy =
        TRecoveryFolder(TNativePath(recoveryFolder)).CopyFileOf(folder.File("p.txt"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return Exists(copy); }));
    window->MakePreview();
    EXPECT_EQ(preview.Pages.back(), Temp("frame.html"));
    EXPECT_NE(ReadFile(Temp("text.html")).find("Body"), std::string::npos);
    Find<QPushButton>("Button8")->click();
    EXPECT_NE(ReadFile(folder.File("out/text.html")).find("Body"), std::string::npos);
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join("\n").toStdString();

    WriteFile(folder.File(places + "q.vkp"), "[PROJECT]\r\nTEXTNAME=q.txt\r\n");
    dialogs->Answers = {TAnswer::No}; // the typed text is not saved
    dialogs->FileNames = {Q(folder.File(places + "q.vkp"))};
    Item("O1")->trigger();
    ASSERT_EQ(Errors().size(), 1);
    EXPECT_TRUE(Errors()[0].contains(Q(folder.File(places + "q.vkp"))) &&
                Errors()[0].contains(QStringLiteral("Shift-JIS で表せません")))
        << Errors()[0].toStdString();
    EXPECT_EQ(window->SystemData().ProjectFile, folder.File("p.vkp"));
    EXPECT_EQ(window->Editor().toPlainText(), "Chapter\n\t\tBody");
    window.reset();
    EXPECT_NE(
        ReadFile(folder.File(places + "varnoke.INI")).find("PROJECTFILE=" + folder.File("p.vkp")),
        std::string::npos);
}

TEST_F(FirstStart, OpensACopyOfTheGuideAndNeverOverwritesIt) {
    Start();
    EXPECT_TRUE(dialogs->Shown.isEmpty()) << dialogs->Shown.join("\n").toStdString();
    EXPECT_EQ(window->SystemData().ProjectFile, Copy("guide.vkp"));
    for (const char* name : {"guide.txt", "styles.INI"})
        EXPECT_EQ(ReadFile(Copy(name)), ReadFile(Bundled(name))) << name;
    EXPECT_EQ(window->ProjectData().TextName, "guide.txt");
    EXPECT_EQ(window->Editor().toPlainText(),
              Q(SjisToUtf8(ReadFile(Bundled("guide.txt")))).replace("\r\n", "\n"));
    EXPECT_FALSE(window->SystemData().ProjectModified);
    EXPECT_EQ(preview.Pages.back(), Temp("frame.html"));
    // The guide's pages wear the ready styles made for them.
    EXPECT_EQ(Find<QComboBox>("ComboBox16")->currentText(), "2:BANNER");
    EXPECT_EQ(Find<QComboBox>("ComboBox17")->currentText(), "1:INDEX");
    EXPECT_EQ(Find<QComboBox>("ComboBox18")->currentText(), "0:PAPER");

    // Later the Help menu opens the author's copy as it is.
    WriteFile(Copy("guide.txt"), "Mine\r\n");
    window.reset();
    Start();
    EXPECT_TRUE(window->Editor().toPlainText().isEmpty()); // no first start
    ASSERT_TRUE(Item("Guide1")->isEnabled());
    Item("Guide1")->trigger();
    EXPECT_EQ(window->SystemData().ProjectFile, Copy("guide.vkp"));
    EXPECT_EQ(window->Editor().toPlainText(), "Mine\n");
    EXPECT_EQ(ReadFile(Copy("guide.txt")), "Mine\r\n");

    // A first start with a file to open opens that file alone.
    std::filesystem::remove(folder.File("varnoke.INI"));
    std::filesystem::remove_all(folder.File("Documents/Varnoke"));
    WriteFile(folder.File("own.txt"), "Own\r\n");
    Start({Q(folder.File("own.txt"))});
    EXPECT_EQ(window->Editor().toPlainText(), "Own\n");
    EXPECT_FALSE(Exists(Copy("guide.vkp")));
}

TEST_F(FirstStart, ANewProjectTakesTheReadyStylesThatFitByName) {
    struct TRow {
        std::string Styles; // names in the style file, "" for the ready styles
        int Title, Menu, Text;
    };
    const TRow rows[] = {
        {"", 2, 1, 0},
        {"A,INDEX,paper,BANNER", 3, 1, 2},
        {"A,B", 0, 0, 0},
    };
    for (const TRow& row : rows) {
        window.reset();
        std::filesystem::remove(folder.File("varnoke.INI"));
        std::string ini;
        if (!row.Styles.empty()) {
            const QStringList names = Q(row.Styles).split(',');
            ini = "[STYLE]\r\nCOUNT=" + std::to_string(names.size()) + "\r\n";
            for (int i = 0; i < names.size(); ++i)
                ini += "STYLE" + std::to_string(i) + "=" + names[i].toStdString() + "\r\n";
        }
        Open(ini);
        const auto expectChoices = [&](const char* when) {
            const TProjectData& project = window->ProjectData();
            EXPECT_EQ(project.StyleTitle, row.Title) << row.Styles << " " << when;
            EXPECT_EQ(project.StyleMenu, row.Menu) << row.Styles << " " << when;
            EXPECT_EQ(project.StyleText, row.Text) << row.Styles << " " << when;
            EXPECT_FALSE(window->SystemData().ProjectModified) << row.Styles << " " << when;
        };
        expectChoices("at start");
        window->ProjectData().StyleTitle = window->ProjectData().StyleText = 1;
        Item("N1")->trigger();
        expectChoices("after New");
    }
}

TEST_F(FirstStart, DialogsStartInTheDocumentsFolderAndImportNeverOffersTheSettings) {
    for (const bool documents : {true, false}) {
        if (!documents)
            documentsFolder = Q(folder.File("no such folder"));
        Open();
        const QString expected = documents ? Q(folder.File("Documents/")) : QDir::homePath() + "/";
        for (const char* command : {"O1", "N4", "T1", "SaveTextAs", "ImportStyles1"}) {
            Item(command)->trigger();
            EXPECT_EQ(dialogs->InitialPaths.last(), expected) << command;
        }
        const QStringList hidden = dialogs->FileOptions.back().Hidden;
        ASSERT_EQ(hidden.size(), 1);
        EXPECT_EQ(hidden[0], Q(folder.File("varnoke.INI")));
    }
}

// The import dialog's list leaves out the settings file, by any of its names.
TEST(HiddenFilesFilter, LeavesOutTheHiddenFileAndLinksToIt) {
    TScratchFolder folder;
    WriteFile(folder.File("varnoke.INI"), "");
    WriteFile(folder.File("styles.INI"), "");
    std::filesystem::create_symlink(folder.File("varnoke.INI"), folder.File("link.INI"));
    QStandardItemModel files;
    for (const char* name : {"varnoke.INI", "styles.INI", "link.INI"}) {
        auto* item = new QStandardItem(name);
        item->setData(QString::fromStdString(folder.File(name)), QFileSystemModel::FilePathRole);
        files.appendRow(item);
    }
    std::unique_ptr<QSortFilterProxyModel> filter(
        NewHiddenFilesFilter({QString::fromStdString(folder.File("./varnoke.INI"))}, nullptr));
    filter->setSourceModel(&files);
    ASSERT_EQ(filter->rowCount(), 1);
    EXPECT_EQ(filter->index(0, 0).data().toString(), "styles.INI");
}
