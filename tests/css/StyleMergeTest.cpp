#include "css/StyleMerge.h"

#include "TestSupport.h"
#include "common/IniDocument.h"

#include <gtest/gtest.h>

namespace varnoke {
namespace {

std::vector<std::string> Names(const TCSSPropertyClass& list) {
    std::vector<std::string> names;
    for (int i = 0; i < list.Count(); ++i)
        names.push_back(list.Items(i).Name);
    return names;
}

TEST(StyleMerge, DuplicateNamesGetTheFirstFreeNumber) {
    TCSSPropertyClass present;
    present.Add("STANDARD");
    present.Add("MENU");
    present.Add("MENU(2)");
    TCSSPropertyClass incoming;
    incoming.Items(incoming.Add("menu")).Background.Color = 0x123456;
    incoming.Add("TITLE");
    incoming.Add("standard");

    const TStyleMergeResult result = AppendStyles(present, incoming);
    EXPECT_EQ(result.First, 3);
    EXPECT_EQ(result.Appended, 3);
    EXPECT_EQ(Names(present), (std::vector<std::string>{"STANDARD", "MENU", "MENU(2)", "MENU(3)",
                                                        "TITLE", "STANDARD(2)"}));
    // The appended style carries everything of the one read, under its new
    // name; the one already there is untouched.
    EXPECT_EQ(present.Items(3).Background.Color, 0x123456);
    EXPECT_NE(present.Items(1).Background.Color, 0x123456);
    // Imported twice, the same styles line up again behind the first ones.
    AppendStyles(present, incoming);
    EXPECT_EQ(Names(present).back(), "STANDARD(3)");
    EXPECT_EQ(present.Items(6).Name, "MENU(4)");
}

TEST(StyleMerge, NamesThatCannotBeStoredAreLeftOut) {
    // A count that promises more names than the file holds gives a style
    // without a name.
    TIniDocument ini;
    ini.LoadFromBytes("[STYLE]\r\nCOUNT=3\r\nSTYLE0=GOOD\r\nSTYLE2=BAD]NAME\r\n");
    TCSSPropertyClass incoming;
    incoming.LoadFromIni(ini);
    ASSERT_EQ(incoming.Count(), 3);
    TCSSPropertyClass present;
    const TStyleMergeResult result = AppendStyles(present, incoming);
    EXPECT_EQ(Names(present), (std::vector<std::string>{"GOOD"}));
    EXPECT_EQ(result.Appended, 1);
    EXPECT_EQ(result.Skipped, 2);
    EXPECT_EQ(AppendStyles(present, TCSSPropertyClass()).First, -1);
}

} // namespace
} // namespace varnoke
