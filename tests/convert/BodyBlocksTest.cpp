// The blocks a live preview patches: after any run of edits, the shown pages
// with every patch applied are the pages a fresh build writes.
#include "convert/BodyBlocks.h"
#include "TestSupport.h"
#include "common/TextLines.h"
#include "convert/MenuHtml.h"
#include "convert/TextHtml.h"

#include <cstdlib>
#include <functional>
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

// The anchor number of kind "h1" or "h2" in an element's markup, after
// `prefix` (`name="` on a body page, `#` in the menu); -1 when none.
int AnchorNumber(const std::string& element, const std::string& prefix, const std::string& kind) {
    const size_t at = element.find(prefix + kind);
    if (at == std::string::npos)
        return -1;
    return std::atoi(element.c_str() + at + prefix.size() + kind.size());
}

void Renumber(std::string& element, const std::string& prefix, const std::string& kind,
              int& expected, int shift) {
    const int number = AnchorNumber(element, prefix, kind);
    if (number < 0 || shift == 0)
        return;
    ASSERT_EQ(number, expected) << "the anchors after a change are numbered in a row";
    const std::string old = prefix + kind + std::to_string(number) + "\"";
    element.replace(element.find(old), old.size(),
                    prefix + kind + std::to_string(number + shift) + "\"");
    ++expected;
}

// The pages as a browser holds them: each page's top-level elements.
struct TShownPages {
    std::map<int, std::vector<std::string>> Body;
    std::vector<std::string> Menu;

    // pageName: the body page's file name as the menu links to it.
    void Apply(const TPagePatch& patch, const std::function<std::string(int)>& pageName) {
        size_t next = 0;
        for (size_t k = 0; k <= patch.Splices.size(); ++k) {
            for (; next < patch.Renumberings.size() && patch.Renumberings[next].After == k; ++next)
                Apply(patch.Renumberings[next], pageName(patch.Renumberings[next].Page));
            if (k < patch.Splices.size())
                Apply(patch.Splices[k]);
        }
    }

    void Apply(const TElementSplice& splice) {
        std::vector<std::string>& elements = splice.Page < 0 ? Menu : Body[splice.Page];
        ASSERT_LE(splice.Index + splice.Removed, static_cast<int>(elements.size()));
        elements.erase(elements.begin() + splice.Index,
                       elements.begin() + splice.Index + splice.Removed);
        elements.insert(elements.begin() + splice.Index, splice.Inserted.begin(),
                        splice.Inserted.end());
    }

    // As the page script does it: the anchors from the element on, and the
    // menu's links to them until the links go to another page.
    void Apply(const TRenumbering& r, const std::string& page) {
        std::vector<std::string>& elements = Body[r.Page];
        int h1 = r.FromH1;
        int h2 = r.FromH2;
        for (size_t k = static_cast<size_t>(r.Element); k < elements.size(); ++k) {
            Renumber(elements[k], "name=\"", "h1", h1, r.ShiftH1);
            Renumber(elements[k], "name=\"", "h2", h2, r.ShiftH2);
        }
        if (r.Entry < 0)
            return;
        h1 = r.FromH1;
        h2 = r.FromH2;
        for (size_t k = static_cast<size_t>(r.Entry); k < Menu.size(); ++k) {
            if (Menu[k].find("href=\"" + page + "#") == std::string::npos)
                break;
            Renumber(Menu[k], page + "#", "h1", h1, r.ShiftH1);
            Renumber(Menu[k], page + "#", "h2", h2, r.ShiftH2);
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
            MakeTextHtml(Split(), source, folder.Native("text.html"), folder.Native("text.css"), 2);
        MakeMenuHtml(Split(), source, folder.Native("menu.html"), folder.Native("text.html"),
                     folder.Native("menu.css"));
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

    std::string PageName(int page) const {
        return Split() ? "text" + std::to_string(page) + ".html" : "text.html";
    }
    std::string PageFile(int page) const { return folder.File(PageName(page)); }

    void ExpectPagesOfAFreshBuild(const TText& text, const TShownPages& shown) {
        const TTextLines source = text.Source();
        const int pages =
            MakeTextHtml(Split(), source, folder.Native("text.html"), folder.Native("text.css"), 2);
        MakeMenuHtml(Split(), source, folder.Native("menu.html"), folder.Native("text.html"),
                     folder.Native("menu.css"));
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
    } else if (removed == 1 && random() % 2 == 0) {
        // A line made a heading, a main heading or a body line: a leading
        // tab deleted or typed.
        std::string line = text.Lines[first];
        if (line[0] == '\t' && random() % 2 == 0)
            line.erase(0, 1);
        else
            line.insert(0, 1, '\t');
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
    int renumbered = 0;
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
        // The blocks the edit touched, on the page and in the menu, and no
        // later one: those are renumbered.
        size_t inserted = 0;
        for (const TElementSplice& splice : patch.Splices)
            inserted += splice.Inserted.size();
        EXPECT_LE(inserted, 2 * (edit.Added.size() + 2)) << "step " << step;
        EXPECT_LE(patch.Renumberings.size(), 1u);
        renumbered += !patch.Renumberings.empty();
        if (patch.Reload) {
            shown = Loaded(text);
        } else {
            shown.Apply(patch, [this](int page) { return PageName(page); });
            if (patch.MovedFrom >= 0) {
                // The later pages and the menu loaded afresh.
                TShownPages loaded = Loaded(text);
                shown.Body.erase(shown.Body.lower_bound(patch.MovedFrom), shown.Body.end());
                for (auto& [page, elements] : loaded.Body) {
                    if (page >= patch.MovedFrom)
                        shown.Body[page] = elements;
                }
                shown.Menu = loaded.Menu;
            }
            ++patches;
        }
        ExpectPagesOfAFreshBuild(text, shown);
        if (HasFatalFailure())
            FAIL() << "after step " << step << ": " << edit.First << " " << edit.Removed << " "
                   << edit.Added.size();
    }
    EXPECT_GT(patches, Split() ? 200 : 300) << "most edits are patches, not reloads";
    EXPECT_GT(renumbered, 20);
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

TEST(BodyBlocksPatch, ANewHeadingRenumbersTheLaterAnchorsAndMenuEntriesInPlace) {
    TText text{{"Intro", "\tA", "\t\tone", "\tB"}, true};
    TBodyBlocks blocks;
    blocks.Reset(text.Source(), false, 2);
    text.Lines.insert(text.Lines.begin() + 1, "\tNew");
    const TPagePatch patch = blocks.Update(text.Source(), 1, 0, 1);
    ASSERT_FALSE(patch.Reload);
    for (const TElementSplice& splice : patch.Splices) {
        ASSERT_EQ(splice.Inserted.size(), 1u);
        EXPECT_NE(splice.Inserted[0].find("New"), std::string::npos) << "only the new heading";
    }
    ASSERT_EQ(patch.Renumberings.size(), 1u);
    const TRenumbering& r = patch.Renumberings[0];
    EXPECT_EQ(r.After, patch.Splices.size());
    EXPECT_EQ(std::vector<int>({r.Page, r.Element, r.Entry, r.FromH2, r.ShiftH2, r.ShiftH1}),
              std::vector<int>({0, 2, 2, 0, 1, 0}))
        << "\"\\tA\" and \"\\tB\" from h20 on, from the block and entry after \"New\"";
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

TEST(BodyBlocksPatch, AMainHeadingOfASplitTextLoadsTheMovedPagesAfresh) {
    TText text{{"A", "\t\ta", "B", "\t\tb"}, true};
    TBodyBlocks blocks;
    blocks.Reset(text.Source(), true, 2);
    // After the first page, which keeps its blocks; then inside it.
    text.Lines.insert(text.Lines.begin() + 2, "New");
    TPagePatch patch = blocks.Update(text.Source(), 2, 0, 1);
    EXPECT_EQ(std::make_pair(patch.Reload, patch.MovedFrom), std::make_pair(false, 1));
    text.Lines.insert(text.Lines.begin() + 1, "Inside");
    patch = blocks.Update(text.Source(), 1, 0, 1);
    EXPECT_EQ(std::make_pair(patch.Reload, patch.MovedFrom), std::make_pair(false, 0));
    text.Lines.erase(text.Lines.begin() + 1);
    blocks.Update(text.Source(), 1, 1, 0);
    // A letter typed in a main heading moves no page.
    text.Lines[2] = "News";
    patch = blocks.Update(text.Source(), 2, 1, 1);
    ASSERT_EQ(patch.Splices.size(), 2u);
    EXPECT_EQ(patch.MovedFrom, -1);
    EXPECT_EQ(std::make_pair(patch.Splices[0].Page, patch.Splices[0].Index), std::make_pair(1, 0));
    text.Lines.insert(text.Lines.begin() + 3, "\t\tnew");
    patch = blocks.Update(text.Source(), 3, 0, 1);
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
