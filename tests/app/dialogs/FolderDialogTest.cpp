#include "app/dialogs/FolderDialog.h"
#include "FakeDialogs.h"
#include "TestSupport.h"
#include "common/ShiftJis.h"

#include <QApplication>
#include <QDir>

#include <filesystem>

#include <gtest/gtest.h>

using namespace varnoke;
using namespace varnoke::test;

namespace {

// Also remembers the folder each dialog opened on.
class TFolderDialogs : public TFakeDialogs {
  public:
    QStringList Initial;
    std::optional<QString> ChooseFolder(const QString& title, const QString& initial) override {
        Initial << initial;
        return TFakeDialogs::ChooseFolder(title, initial);
    }
};

class FolderDialogTest : public ::testing::Test {
  protected:
    // A folder under the scratch folder, created; its UTF-8 path.
    QString MakeFolder(const std::string& utf8Name) {
        std::filesystem::path path = std::filesystem::u8path(scratch_.Path() + utf8Name);
        std::filesystem::create_directories(path);
        return QString::fromStdString(scratch_.Path() + utf8Name);
    }

    TScratchFolder scratch_;
    TFolderDialogs dialogs_;
};

TEST_F(FolderDialogTest, DefaultsOpenOnTheDrivesAndAcceptOnlyFolders) {
    TSHBrowseForFolderEx browse(dialogs_);
    EXPECT_EQ(browse.SelectFolder(), TSelectFolder::sfDrives);
    EXPECT_EQ(browse.RootFolder(), TRootFolder::rfDesktop);
    EXPECT_EQ(browse.ShowStyle(), TShowStyle::ssClient);
    EXPECT_EQ(browse.Options(), TSHBrowseOptions{TSHBrowseOption::sboReturnOnlyFSDirs});
    EXPECT_TRUE(browse.Caption().isEmpty());
    EXPECT_TRUE(browse.FolderPath().empty());

    dialogs_.FileNames.push_back(std::nullopt);
    EXPECT_FALSE(browse.Execute());
    EXPECT_EQ(dialogs_.Initial, QStringList{QDir::rootPath()});
    EXPECT_EQ(dialogs_.Shown, QStringList{"folder: "});
}

TEST_F(FolderDialogTest, ConfirmYieldsTheFullPathInShiftJis) {
    QString folder = MakeFolder("出力/マニュアル");
    TSHBrowseForFolderEx browse(dialogs_);
    browse.SetCaption(QStringLiteral("出力フォルダ"));

    dialogs_.FileNames.push_back(folder + "/"); // a trailing separator is dropped
    ASSERT_TRUE(browse.Execute());
    EXPECT_EQ(browse.FolderPath(), Utf8ToSjis(folder.toStdString()));
    EXPECT_EQ(browse.DisplayName(), Sjis("マニュアル"));
    EXPECT_EQ(dialogs_.Shown.back(), QStringLiteral("folder: 出力フォルダ"));

    // The root keeps its separator: it is nothing else.
    dialogs_.FileNames.push_back(QStringLiteral("/"));
    ASSERT_TRUE(browse.Execute());
    EXPECT_EQ(browse.FolderPath(), "/");
}

TEST_F(FolderDialogTest, ManualStartFolderFallsBackWhenItIsNoFolder) {
    QString folder = MakeFolder("開始");
    TSHBrowseForFolderEx browse(dialogs_);
    browse.SetSelectFolder(TSelectFolder::sfManual);
    browse.SetSelectFolderName(Utf8ToSjis(folder.toStdString()));
    browse.Execute();
    EXPECT_EQ(dialogs_.Initial.back(), folder);

    WriteFile(scratch_.File("file.txt"), "x");
    browse.SetSelectFolderName(scratch_.File("file.txt"));
    browse.Execute();
    EXPECT_NE(dialogs_.Initial.back(), QString::fromStdString(scratch_.File("file.txt")));
    EXPECT_TRUE(QFileInfo(dialogs_.Initial.back()).isDir());
}

// A cancelled dialog and a folder Shift-JIS cannot name both report false
// and clear the former choice; only the refused name is told, naming it.
TEST_F(FolderDialogTest, CancelOrARefusedNameReportsFalseAndClearsTheFormerChoice) {
    const QString refused = MakeFolder("café");
    for (const std::optional<QString>& answer :
         {std::optional<QString>(), std::optional(refused)}) {
        TSHBrowseForFolderEx browse(dialogs_);
        dialogs_.FileNames.push_back(MakeFolder("out"));
        ASSERT_TRUE(browse.Execute());
        ASSERT_FALSE(browse.FolderPath().empty());
        const qsizetype shown = dialogs_.Shown.size();

        dialogs_.FileNames.push_back(answer);
        EXPECT_FALSE(browse.Execute());
        EXPECT_TRUE(browse.FolderPath().empty());
        EXPECT_TRUE(browse.DisplayName().empty());
        if (answer) {
            ASSERT_EQ(dialogs_.Shown.size(), shown + 2);
            EXPECT_TRUE(dialogs_.Shown.back().startsWith("error: "));
            EXPECT_TRUE(dialogs_.Shown.back().contains(refused));
        }
    }
    // Each opening starts from the drives again, not from the last choice.
    EXPECT_EQ(dialogs_.Initial, QStringList(dialogs_.Initial.size(), QDir::rootPath()));
}

} // namespace
