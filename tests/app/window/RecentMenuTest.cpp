#include "app/window/RecentMenu.h"
#include "TestSupport.h"
#include "common/ShiftJis.h"

#include <QAction>
#include <QApplication>
#include <QMenu>

#include <memory>
#include <set>

#include <gtest/gtest.h>

using namespace varnoke;
using namespace varnoke::test;

namespace {

class RecentMenuTest : public ::testing::Test {
  protected:
    // Every stored name counts as existing unless it is listed as gone.
    std::unique_ptr<TFileNameKeepMenu> MakeList() {
        return std::make_unique<TFileNameKeepMenu>(
            TNativePath(ini_), nullptr,
            [this](const std::string& name) { return gone_.count(name) == 0; });
    }

    QStringList Captions() const {
        QStringList captions;
        for (QAction* action : menu_.actions())
            captions << action->text();
        return captions;
    }

    std::string Written() const { return ReadFile(ini_); }

    TScratchFolder scratch_;
    std::string ini_ = scratch_.File("varnoke.INI");
    std::set<std::string> gone_;
    QMenu menu_{QStringLiteral("プロジェクト履歴")};
};

TEST_F(RecentMenuTest, EmptyListDisablesTheMenuUntilTheFirstAdd) {
    auto list = MakeList();
    list->Add("early.vkp"); // not bound yet: ignored
    list->SetParentMenu(&menu_);
    EXPECT_FALSE(menu_.isEnabled());
    EXPECT_FALSE(menu_.menuAction()->isEnabled());
    EXPECT_TRUE(menu_.actions().isEmpty());

    list->Add("");
    EXPECT_FALSE(menu_.isEnabled());
    list->Add("a.vkp");
    EXPECT_TRUE(menu_.isEnabled());
    EXPECT_TRUE(menu_.menuAction()->isEnabled());
    EXPECT_EQ(Captions(), QStringList{"&1 a.vkp"});
}

TEST_F(RecentMenuTest, NewestFirstWithOneEntryPerDistinctName) {
    auto list = MakeList();
    list->SetParentMenu(&menu_);
    list->Add("A");
    list->Add("B");
    list->Add("C");
    EXPECT_EQ(Captions(), (QStringList{"&1 C", "&2 B", "&3 A"}));
    list->Add("A");
    EXPECT_EQ(Captions(), (QStringList{"&1 A", "&2 C", "&3 B"}));
    list->Add("a"); // letter case matters
    EXPECT_EQ(Captions(), (QStringList{"&1 a", "&2 A", "&3 C", "&4 B"}));
}

TEST_F(RecentMenuTest, SixteenEntriesAtMostWithHexadecimalAccelerators) {
    auto list = MakeList();
    list->SetParentMenu(&menu_);
    std::vector<std::string> chosen;
    list->SetOnSelect([&](const std::string& name) { chosen.push_back(name); });
    for (int i = 17; i >= 1; --i)
        list->Add("p" + std::to_string(i) + ".vkp");
    QStringList captions = Captions();
    ASSERT_EQ(captions.size(), 16);
    EXPECT_EQ(captions[0], "&1 p1.vkp");
    EXPECT_EQ(captions[9], "&a p10.vkp");
    EXPECT_EQ(captions[14], "&f p15.vkp");
    EXPECT_EQ(captions[15], "&10 p16.vkp"); // p17, the oldest, is gone

    menu_.actions()[15]->trigger();
    menu_.actions()[9]->trigger();
    EXPECT_EQ(chosen, (std::vector<std::string>{"p16.vkp", "p10.vkp"}));
}

TEST_F(RecentMenuTest, ChosenNameIsTheCaptionsName) {
    auto list = MakeList();
    list->SetParentMenu(&menu_);
    const std::string japanese = Sjis("/home/u/マニュアル.vkp");
    list->Add(" spaced.vkp");
    list->Add("R&D.vkp");
    list->Add(japanese);
    EXPECT_EQ(Captions(), (QStringList{QStringLiteral("&1 /home/u/マニュアル.vkp"), "&2 R&D.vkp",
                                       "&3  spaced.vkp"}));

    // The window opens the chosen project, which adds it again: the name it
    // was handed must survive the list moving underneath it.
    std::vector<std::string> chosen;
    list->SetOnSelect([&](const std::string& name) {
        list->Add(name);
        chosen.push_back(name);
    });
    for (int i = 0; i < 3; ++i)
        menu_.actions()[2]->trigger(); // the oldest, each time another
    // The caption's name: the space that leads " spaced.vkp" reads as part
    // of the gap after the slot number.
    EXPECT_EQ(chosen, (std::vector<std::string>{"spaced.vkp", "R&D.vkp", japanese}));
    EXPECT_EQ(list->List().Name(1), japanese);
}

TEST_F(RecentMenuTest, StoredListIsReadWithoutVanishedFilesAndWrittenWhole) {
    WriteFile(ini_,
              CrLfLines({"[SYSTEM]", "TABWIDTH=4", "", "[KeepFileNames]", "FileName1=new.vkp",
                         "FileName2=deleted.vkp", "FileName3=old.vkp", "FileName4=new.vkp", ""}));
    gone_.insert("deleted.vkp");
    {
        auto list = MakeList();
        list->SetParentMenu(&menu_);
        EXPECT_TRUE(menu_.isEnabled());
        EXPECT_EQ(Captions(), (QStringList{"&1 new.vkp", "&2 old.vkp"}));
        list->Add("newest.vkp");
    }
    std::string written = Written();
    EXPECT_NE(written.find("[SYSTEM]\r\nTABWIDTH=4\r\n"), std::string::npos);
    std::vector<std::string> expected = {"[KeepFileNames]", "FileName1=newest.vkp",
                                         "FileName2=new.vkp", "FileName3=old.vkp"};
    for (int slot = 4; slot <= 16; ++slot)
        expected.push_back("FileName" + std::to_string(slot) + "=");
    EXPECT_NE(written.find(CrLfLines(expected)), std::string::npos) << written;
}

TEST_F(RecentMenuTest, ListNeverBoundLeavesTheStoredOneAlone) {
    const std::string stored = CrLfLines({"[KeepFileNames]", "FileName1=keep.vkp", ""});
    WriteFile(ini_, stored);
    MakeList().reset();
    EXPECT_EQ(Written(), stored);
}

TEST_F(RecentMenuTest, FailedWriteAtDestructionIsReportedNotThrown) {
    std::vector<QString> reports;
    {
        TFileNameKeepMenu list(scratch_.Native("missing/varnoke.INI"), nullptr,
                               [](const std::string&) { return true; });
        list.SetParentMenu(&menu_);
        list.Add("a.vkp");
        list.SetOnSaveError([&](const QString& message) { reports.push_back(message); });
    }
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_TRUE(reports[0].endsWith(QStringLiteral(" に書き込めません")));
    EXPECT_TRUE(reports[0].contains(QStringLiteral("missing/varnoke.INI")));
}

TEST_F(RecentMenuTest, EntriesFollowTheMenuAndOutliveIt) {
    auto list = MakeList();
    auto first = std::make_unique<QMenu>();
    list->SetParentMenu(first.get());
    list->Add("a.vkp");
    list->SetParentMenu(&menu_);
    EXPECT_TRUE(first->actions().isEmpty());
    EXPECT_FALSE(first->isEnabled());
    EXPECT_EQ(Captions(), QStringList{"&1 a.vkp"});
    EXPECT_TRUE(menu_.isEnabled());

    // The window's menu may go first; the list still writes itself.
    QMenu* doomed = new QMenu;
    list->SetParentMenu(doomed);
    delete doomed;
    list->Add("b.vkp");
    list.reset();
    EXPECT_NE(Written().find("FileName1=a.vkp\r\n"), std::string::npos);
}

} // namespace
