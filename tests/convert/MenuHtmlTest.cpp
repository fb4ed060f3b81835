#include "convert/MenuHtml.h"
#include "PageHead.h"
#include "TestSupport.h"
#include "common/TextLines.h"
#include "convert/TextHtml.h"

#include <gtest/gtest.h>

#include <regex>

using namespace varnoke;
using namespace varnoke::test;

namespace {
using Lines = std::vector<std::string>;

class MenuHtml : public ::testing::Test {
  protected:
    Lines Build(const std::string& text, bool split) {
        MakeMenuHtml(split, TTextLines(text), folder.Native("menu.html"),
                     folder.Native("text.html"), folder.Native("menu.css"));
        return SplitCrLf(ReadFile(folder.File("menu.html")));
    }
    static Lines Links(const Lines& page) {
        Lines links;
        std::regex href("<a href=\"([^\"]*)\" target=\"mainframe\">");
        for (const std::string& line : page) {
            std::smatch match;
            if (std::regex_match(line, match, href))
                links.push_back(match[1]);
        }
        return links;
    }
    TScratchFolder folder;
};
} // namespace

TEST_F(MenuHtml, WorkedExample) {
    const Lines expected =
        PageHead("menu", "menu.css") +
        Lines{"<body>", "<h1>",    "<a href=\"text.html#h10\" target=\"mainframe\">",
              "Intro",  "",        "</a>",
              "</h1>",  "<h2>",    "<a href=\"text.html#h20\" target=\"mainframe\">",
              "Start",  "",        "</a>",
              "</h2>",  "</body>", "</html>"};
    EXPECT_EQ(Build("Intro\r\n\tStart\r\n\t\tx\r\n", false), expected);
}

TEST_F(MenuHtml, BodyOnlyTextGivesAnEmptyMenu) {
    const Lines expected = PageHead("menu", "menu.css") + Lines{"<body>", "</body>", "</html>"};
    EXPECT_EQ(Build("\t\tx\r\n# c\r\n", false), expected);
}

TEST_F(MenuHtml, SplitLinksIntoNumberedPages) {
    EXPECT_EQ(Links(Build("\tpre\r\nA\r\n\ta1\r\nB\r\n\tb1\r\n", true)),
              (Lines{"text0.html#h20", "text0.html#h10", "text0.html#h21", "text1.html#h10",
                     "text1.html#h20"}));
    EXPECT_EQ(Links(Build("A\r\n\ta1\r\nB\r\n\tb1\r\n", false)),
              (Lines{"text.html#h10", "text.html#h20", "text.html#h11", "text.html#h21"}));
}

// Every link of the menu must hit an anchor on the page it names.
TEST_F(MenuHtml, EveryLinkHitsAnAnchorOfTheBody) {
    const std::string text = "\tlead\r\n# c\r\nOne\r\n\ta\r\n\t\tbody\r\n\tb\r\n\r\nTwo\r\n\tc\r\n"
                             "Three\r\n\t\tx\r\n\t#d\r\n \r\n";
    for (bool split : {false, true}) {
        MakeTextHtml(split, TTextLines(text), folder.Native("text.html"), TNativePath("text.css"),
                     2);
        Lines links = Links(Build(text, split));
        ASSERT_EQ(links.size(), 9u);
        for (const std::string& link : links) {
            size_t hash = link.find('#');
            std::string page = ReadFile(folder.File(link.substr(0, hash)));
            EXPECT_NE(page.find("<a name=\"" + link.substr(hash + 1) + "\">"), std::string::npos)
                << link << (split ? " (split)" : "");
        }
    }
}
