#include "convert/InlineMarkup.h"

#include <gtest/gtest.h>

using namespace varnoke;

TEST(InlineMarkup, PlainTextAndClosedPhraseMarkupKeepThePage) {
    for (const char* line : {"", "plain \x83\x6e text", "a > b", "&lt;tag&gt;", "<b>bold</b>",
                             "<B>bold</b>", "<span class=\"x\">s</span>", "<b><i>both</i></b>",
                             "line<br>break", "<br/>", "<img src='a.png' />"})
        EXPECT_TRUE(KeepsPageStructure(line)) << line;
}

TEST(InlineMarkup, BlocksLinksAndUnclosedMarkupDoNot) {
    for (const char* line : {"<div>", "</p>", "<b>open", "</b>", "<b><i>x</b></i>",
                             "<a href=x>y</a>", "<table>", "<!-- c -->", "<script>x</script>",
                             "a < b", "<span title=\"a>b\">x</span>", "<b", "<p>x</p>"})
        EXPECT_FALSE(KeepsPageStructure(line)) << line;
}
