#include "convert/TagWriter.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace varnoke;
using namespace varnoke::test;

TEST(TabsToNbsp, ReplacesOnlyLeadingTabs) {
    EXPECT_EQ(
        TabsToNbsp(4, "\t\tabc"),
        std::string(8 * 6, ' ').replace(0, 48, "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;") +
            "abc");
    EXPECT_EQ(TabsToNbsp(2, "a\tbc"), "a\tbc");
    EXPECT_EQ(TabsToNbsp(0, "\t\tabc"), "abc");
    EXPECT_EQ(TabsToNbsp(-3, "\tx"), "x");
    EXPECT_EQ(TabsToNbsp(2, ""), "");
    EXPECT_EQ(TabsToNbsp(1, "\t\t"), "&nbsp;&nbsp;");
    EXPECT_EQ(TabsToNbsp(1, "\t \tx"), "&nbsp; \tx");
}

TEST(TagWriter, WritesOneLinePerPrimitive) {
    TScratchFolder folder;
    TTextFileWriter file(folder.Native("t.html"));
    WriteTagOpen(file, "html lang=\"ja\"");
    WriteTagClose(file, "h1");
    WriteTagPair(file, "title", "text");
    WriteAnchorName(file, "h1", 0);
    WriteAnchorName(file, "h1", 12);
    WriteAnchorHref(file, "text0.html#h2", 3, "mainframe");
    WriteFrameset(file, "rows=\"80, *\"");
    WriteFrame(file, "src=\"menu.html\"");
    file.Close();
    EXPECT_EQ(ReadFile(folder.File("t.html")),
              CrLfLines({"<html lang=\"ja\">", "</h1>", "<title>text</title>", "<a name=\"h10\">",
                         "<a name=\"h112\">", "<a href=\"text0.html#h23\" target=\"mainframe\">",
                         "<frameset rows=\"80, *\">", "<frame src=\"menu.html\">"}));
}
