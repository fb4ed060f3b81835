// The blocks a live preview patches: after any run of edits, the shown pages
// with every patch applied are the pages a fresh build writes.
#include "convert/BodyBlocks.h"
#include "TestSupport.h"
#include "common/TextLines.h"
#include "convert/MenuHtml.h"
#include "convert/TextHtml.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <tuple>

using namespace varnoke;
using namespace varnoke::test;

namespace {

// A text as a list of lines and whether the last one ends with a break.
struct TText {
    std::vector<std::string> Lines;
    bool LastLineHasBreak = true;

    TTextLines Source() const {
        std::string text;
        for (size_t i = 0; i < Lines.size(); ++i) {
            text += Lines[i];
            if (i + 1 < Lines.size() || LastLineHasBreak)
                text += "\r\n";
        }
        return TTextLines(text);
    }
};

// The pages as a browser holds them: each page's top-level elements.
struct TShownPages {
    std::map<int, std::vector<std::string>> Body;
    std::vector<std::string> Menu;

    void Apply(const TPagePatch& patch) {
        for (const TElementSplice& splice : patch.Splices) {
            std::vector<std::string>& elements = splice.Page < 0 ? Menu : Body[splice.Page];
            ASSERT_LE(splice.Index + splice.Removed, static_cast<int>(elements.size()));
            elements.erase(elements.begin() + splice.Index,
                           elements.begin() + splice.Index + splice.Removed);
            elements.insert(elements.begin() + splice.Index, splice.Inserted.begin(),
                            splice.Inserted.end());
        }
    }
};

std::string Joined(const std::vector<std::string>& elements) {
    std::string joined;
    for (const std::string& element : elements)
        joined += element;
    return joined;
}

// The part of a page between "<body>" and `end`.
std::string BodyOf(const std::string& page, const std::string& end) {
    const size_t from = page.find("<body>\r\n") + 8;
    return page.substr(from, page.rfind(end) - from);
}

class BodyBlocks : public ::testing::TestWithParam<bool> {
  protected:
    bool Split() const { return GetParam(); }

    // The pages shown after a full load of the text: the elements of the
    // pages a build writes. The test texts hold no line that is just "<p>",
    // "<h1>" or "<h2>", so an element starts at each such line.
    TShownPages Loaded(const TText& text) {
        const TTextLines source = text.Source();
        const int pages =
            MakeTextHtml(Split(), source, folder.File("text.html"), folder.File("text.css"), 2);
        MakeMenuHtml(Split(), source, folder.File("menu.html"), folder.File("text.html"),
                     folder.File("menu.css"));
        TShownPages shown;
        for (int page = 0; page < pages; ++page)
            shown.Body[page] = Elements(BodyOf(ReadFile(PageFile(page)), "<p>\r\n<br>\r\n"));
        shown.Menu = Elements(BodyOf(ReadFile(folder.File("menu.html")), "</body>\r\n"));
        return shown;
    }

    static std::vector<std::string> Elements(const std::string& body) {
        std::vector<std::string> elements;
        for (size_t at = 0; at < body.size();) {
            size_t next = at;
            do {
                next = body.find("\r\n", next);
                next = next == std::string::npos ? body.size() : next + 2;
            } while (next < body.size() && body.compare(next, 5, "<p>\r\n") != 0 &&
                     body.compare(next, 6, "<h1>\r\n") != 0 &&
                     body.compare(next, 6, "<h2>\r\n") != 0);
            elements.push_back(body.substr(at, next - at));
            at = next;
        }
        return elements;
    }

    std::string PageFile(int page) const {
        return folder.File(Split() ? "text" + std::to_string(page) + ".html" : "text.html");
    }

    void ExpectPagesOfAFreshBuild(const TText& text, const TShownPages& shown) {
        const TTextLines source = text.Source();
        const int pages =
            MakeTextHtml(Split(), source, folder.File("text.html"), folder.File("text.css"), 2);
        MakeMenuHtml(Split(), source, folder.File("menu.html"), folder.File("text.html"),
                     folder.File("menu.css"));
        for (int page = 0; page < pages; ++page) {
            const auto it = shown.Body.find(page);
            const std::string patched = it == shown.Body.end() ? "" : Joined(it->second);
            ASSERT_EQ(patched, BodyOf(ReadFile(PageFile(page)), "<p>\r\n<br>\r\n")) << page;
        }
        ASSERT_EQ(Joined(shown.Menu), BodyOf(ReadFile(folder.File("menu.html")), "</body>\r\n"));
    }

    TScratchFolder folder;
};

// An edit the author might make: lines [first, first + removed) replaced.
struct TEdit {
    int First;
    int Removed;
    std::vector<std::string> Added;
};

std::string RandomLine(std::mt19937& random) {
    static const std::vector<std::string> starts = {"", "\t", "\t\t", "\t\t\t", "#", "\t\t\t\t"};
    static const std::vector<std::string> words = {"a", "\x83\x6d", "\x83\x6e", "word",
                                                   " ", "\t",       "<b>x</b>", "&amp;"};
    std::string line = starts[random() % starts.size()];
    for (int n = static_cast<int>(random() % 4); n > 0; --n)
        line += words[random() % words.size()];
    return line;
}

TEdit RandomEdit(const TText& text, std::mt19937& random) {
    const int count = static_cast<int>(text.Lines.size());
    const int first = count == 0 ? 0 : static_cast<int>(random() % (count + 1));
    const int removed =
        first == count ? 0 : static_cast<int>(random() % std::min(4, count - first + 1));
    TEdit edit{first, removed, {}};
    for (int n = static_cast<int>(random() % 4); n > 0; --n)
        edit.Added.push_back(RandomLine(random));
    if (removed == 1 && random() % 2 == 0 && !text.Lines[first].empty()) {
        // A key in a line: the line changes by one character.
        std::string line = text.Lines[first];
        line.insert(random() % (line.size() + 1), 1, "x\t"[random() % 2]);
        edit.Added = {line};
    }
    return edit;
}

} // namespace

TEST_P(BodyBlocks, PatchedPagesEqualAFreshBuildAfterEveryRandomEdit) {
    std::mt19937 random(Split() ? 7 : 11);
    TText text{{"Intro", "\t\tfirst", "\tPart", "\t\tbody", "Second", "\t\tmore"}, true};
    TBodyBlocks blocks;
    blocks.Reset(text.Source(), Split(), 2);
    TShownPages shown = Loaded(text);
    int patches = 0;
    for (int step = 0; step < 400; ++step) {
        TEdit edit = RandomEdit(text, random);
        if (step % 50 == 49) {
            // The final line break typed or removed: the last line changes.
            text.LastLineHasBreak = !text.LastLineHasBreak;
            edit = {static_cast<int>(text.Lines.size()) - 1, 1, {}};
            if (edit.First < 0)
                continue;
            edit.Added = {text.Lines.back()};
        }
        text.Lines.erase(text.Lines.begin() + edit.First,
                         text.Lines.begin() + edit.First + edit.Removed);
        text.Lines.insert(text.Lines.begin() + edit.First, edit.Added.begin(), edit.Added.end());
        const TPagePatch patch = blocks.Update(text.Source(), edit.First, edit.Removed,
                                               static_cast<int>(edit.Added.size()));
        if (patch.Reload) {
            shown = Loaded(text);
        } else {
            shown.Apply(patch);
            ++patches;
        }
        ExpectPagesOfAFreshBuild(text, shown);
        if (HasFatalFailure())
            FAIL() << "after step " << step << ": " << edit.First << " " << edit.Removed << " "
                   << edit.Added.size();
    }
    EXPECT_GT(patches, Split() ? 200 : 300) << "most edits are patches, not reloads";
}

TEST_P(BodyBlocks, EveryShownLineIsFoundAgainFromItsPlace) {
    TText text{
        {"# note", "Intro", "\t\tone", "", "\t\ttwo", "\tPart", "\t\tthree", "Next", "\t\tfour"},
        false};
    TBodyBlocks blocks;
    blocks.Reset(text.Source(), Split(), 4);
    const TTextLines source = text.Source();
    for (int line : {1, 2, 4, 5, 6, 7, 8}) {
        TBlockPlace place{};
        ASSERT_TRUE(blocks.PlaceOfLine(source, line, place));
        EXPECT_EQ(blocks.LineOfPlace(source, place), line) << "line " << line;
    }
    TBlockPlace place{};
    ASSERT_TRUE(blocks.PlaceOfLine(source, 4, place));
    EXPECT_EQ(place.LineInBlock, 1) << "the second body line of its paragraph";
    EXPECT_EQ(place.Page, Split() ? 0 : 0);
    ASSERT_TRUE(blocks.PlaceOfLine(source, 8, place));
    EXPECT_EQ(place.Page, Split() ? 1 : 0);
    EXPECT_EQ(blocks.LineOfMenuEntry(0), 1);
    EXPECT_EQ(blocks.LineOfMenuEntry(1), 5);
    EXPECT_EQ(blocks.LineOfMenuEntry(2), 7);
    EXPECT_EQ(blocks.LineOfMenuEntry(3), -1);
    EXPECT_EQ(blocks.LineOfPlace(source, {0, 99, 0}), -1);
}

INSTANTIATE_TEST_SUITE_P(SplitOrNot, BodyBlocks, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& param) {
                             return param.param ? "Split" : "OnePage";
                         });

TEST(BodyBlocksPatch, AKeyInAParagraphSendsThatParagraphOnly) {
    TText text{{"Intro", "\t\tone", "\tPart", "\t\ttwo", "\t\tthree", "\tEnd"}, true};
    TBodyBlocks blocks;
    blocks.Reset(text.Source(), false, 2);
    text.Lines[3] = "\t\ttwo!";
    const TPagePatch patch = blocks.Update(text.Source(), 3, 1, 1);
    ASSERT_EQ(patch.Splices.size(), 1u);
    EXPECT_EQ(patch.Splices[0].Index, 3);
    EXPECT_EQ(patch.Splices[0].Removed, 1);
    EXPECT_EQ(patch.Splices[0].Inserted,
              std::vector<std::string>{"<p>\r\ntwo!\r\n<br>\r\nthree\r\n<br>\r\n</p>\r\n"});
}

TEST(BodyBlocksPatch, ANewHeadingRenumbersTheLaterAnchorsAndMenuEntries) {
    TText text{{"Intro", "\tA", "\t\tone", "\tB"}, true};
    TBodyBlocks blocks;
    blocks.Reset(text.Source(), false, 2);
    text.Lines.insert(text.Lines.begin() + 1, "\tNew");
    const TPagePatch patch = blocks.Update(text.Source(), 1, 0, 1);
    ASSERT_FALSE(patch.Reload);
    int renumbered = 0;
    for (const TElementSplice& splice : patch.Splices) {
        for (const std::string& markup : splice.Inserted)
            renumbered += markup.find("h22") != std::string::npos;
    }
    EXPECT_EQ(renumbered, 2) << "\"\\tB\" becomes h22 on the body page and in the menu";
}

TEST(BodyBlocksPatch, MarkupThatRestructuresThePageAsksForAReload) {
    TText text{{"Intro", "\t\tone"}, true};
    TBodyBlocks blocks;
    blocks.Reset(text.Source(), false, 2);
    for (const char* typed : {"\t\t<div>x", "\t\t</p>", "\t\t<b>open", "\t\t<a href=x>y</a>"}) {
        text.Lines[1] = typed;
        EXPECT_TRUE(blocks.Update(text.Source(), 1, 1, 1).Reload) << typed;
    }
    text.Lines[1] = "\t\t<b>bold</b> and <img src=\"a.png\">";
    EXPECT_FALSE(blocks.Update(text.Source(), 1, 1, 1).Reload);
}

TEST(BodyBlocksPatch, AMainHeadingOfASplitTextMovesThePagesAndReloads) {
    TText text{{"A", "\t\ta", "B", "\t\tb"}, true};
    TBodyBlocks blocks;
    blocks.Reset(text.Source(), true, 2);
    text.Lines.insert(text.Lines.begin() + 2, "New");
    EXPECT_TRUE(blocks.Update(text.Source(), 2, 0, 1).Reload);
    text.Lines.insert(text.Lines.begin() + 3, "\t\tnew");
    const TPagePatch patch = blocks.Update(text.Source(), 3, 0, 1);
    ASSERT_FALSE(patch.Reload);
    ASSERT_EQ(patch.Splices.size(), 1u);
    EXPECT_EQ(patch.Splices[0].Page, 1) << "the line is on the page of \"New\"";
}

TEST(BodyBlocksPatch, AReportThatDoesNotFitTheTextReloads) {
    TText text{{"A", "\t\ta"}, true};
    TBodyBlocks blocks;
    blocks.Reset(text.Source(), false, 2);
    EXPECT_TRUE(blocks.Update(text.Source(), 1, 3, 3).Reload);
    TBodyBlocks never;
    EXPECT_TRUE(never.Update(text.Source(), 0, 0, 0).Reload);
    // Reports within the blocks whose line count disagrees with the text's
    // (a line said to be added or removed that is not), and negative ones.
    const std::vector<std::tuple<int, int, int>> wrong{
        {1, 0, 1}, {1, 1, 0}, {0, 1, 2}, {2, 0, 1}, {-1, 1, 1}, {1, -1, -1}, {0, 0, -1}};
    for (const auto& [first, removed, added] : wrong) {
        TBodyBlocks shown;
        shown.Reset(text.Source(), false, 2);
        EXPECT_TRUE(shown.Update(text.Source(), first, removed, added).Reload)
            << first << " " << removed << " " << added;
        // Reset by the reload: a report that fits is a patch again.
        EXPECT_FALSE(shown.Update(text.Source(), 1, 1, 1).Reload);
    }
}
