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

TEST_F(FolderDialogTest, CancelReportsFalseAndClearsTheFormerChoice) {
    QString folder = MakeFolder("out");
    TSHBrowseForFolderEx browse(dialogs_);
    dialogs_.FileNames.push_back(folder);
    ASSERT_TRUE(browse.Execute());
    ASSERT_FALSE(browse.FolderPath().empty());

    dialogs_.FileNames.push_back(std::nullopt);
    EXPECT_FALSE(browse.Execute());
    EXPECT_TRUE(browse.FolderPath().empty());
    EXPECT_TRUE(browse.DisplayName().empty());
    // Each opening starts from the drives again, not from the last choice.
    EXPECT_EQ(dialogs_.Initial, (QStringList{QDir::rootPath(), QDir::rootPath()}));
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

TEST_F(FolderDialogTest, FolderNameShiftJisCannotHoldIsRefusedWithAnError) {
    QString folder = MakeFolder("café");
    TSHBrowseForFolderEx browse(dialogs_);
    dialogs_.FileNames.push_back(folder);
    EXPECT_FALSE(browse.Execute());
    EXPECT_TRUE(browse.FolderPath().empty());
    EXPECT_TRUE(browse.DisplayName().empty());
    ASSERT_EQ(dialogs_.Shown.size(), 2);
    EXPECT_TRUE(dialogs_.Shown[1].startsWith("error: "));
    EXPECT_TRUE(dialogs_.Shown[1].contains(folder));
    EXPECT_TRUE(dialogs_.Shown[1].contains(QStringLiteral("é")));
}

} // namespace
