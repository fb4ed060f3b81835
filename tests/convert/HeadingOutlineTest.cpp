#include "convert/HeadingOutline.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>

using namespace varnoke;

namespace {
using Lines = std::vector<std::string>;
using TKind = TOutlineEdit::TKind;

// A tree as text: each top entry, its children indented by two blanks.
using Tree = std::vector<std::string>;

Tree TreeOf(const THeadingOutline& outline) {
    Tree tree;
    for (int top = 0; top < outline.TopCount(); ++top) {
        tree.push_back(outline.Headings()[outline.HeadingAt({top, -1})].Text);
        for (int child = 0; child < outline.ChildCount(top); ++child)
            tree.push_back("  " + outline.Headings()[outline.HeadingAt({top, child})].Text);
    }
    return tree;
}

// The tree straight from the lines, as a reader of the rules would draw it.
Tree ExpectedTree(const Lines& lines) {
    Tree tree;
    bool mainSeen = false;
    for (const std::string& line : lines) {
        if (line.empty() || line[0] == '#')
            continue;
        if (line[0] != '\t') {
            mainSeen = true;
            tree.push_back(line);
        } else if (line.size() == 1 || line[1] != '\t') {
            tree.push_back((mainSeen ? "  " : "") + line.substr(1));
        }
    }
    return tree;
}

// What a view holds: the entries with their texts, changed only by edits.
struct TMirrorNode {
    std::string Text;
    std::vector<TMirrorNode> Children;
};

class TMirror {
  public:
    void Apply(const std::vector<TOutlineEdit>& edits, const THeadingOutline& outline) {
        for (const TOutlineEdit& edit : edits) {
            // A wrong row fails the test instead of corrupting the mirror.
            const int end = edit.Kind == TKind::Insert ? 0
                            : edit.Kind == TKind::Move ? edit.Count
                                                       : 1;
            if (edit.Row < 0 || static_cast<size_t>(edit.Row + end) > Rows(edit.Parent).size())
                throw std::out_of_range("edit row " + std::to_string(edit.Row));
            switch (edit.Kind) {
            case TKind::Insert:
                Rows(edit.Parent)
                    .insert(Rows(edit.Parent).begin() + edit.Row,
                            {outline.Headings()[edit.Heading].Text, {}});
                break;
            case TKind::Remove:
                Rows(edit.Parent).erase(Rows(edit.Parent).begin() + edit.Row);
                break;
            case TKind::Move: {
                auto& from = Rows(edit.Parent);
                std::vector<TMirrorNode> moved(from.begin() + edit.Row,
                                               from.begin() + edit.Row + edit.Count);
                from.erase(from.begin() + edit.Row, from.begin() + edit.Row + edit.Count);
                auto& to = Rows(edit.ToParent);
                if (edit.ToRow < 0 || static_cast<size_t>(edit.ToRow) > to.size())
                    throw std::out_of_range("move to row " + std::to_string(edit.ToRow));
                to.insert(to.begin() + edit.ToRow, moved.begin(), moved.end());
                break;
            }
            case TKind::Retext:
                Rows(edit.Parent)[edit.Row].Text = outline.Headings()[edit.Heading].Text;
                break;
            }
        }
    }
    Tree AsTree() const {
        Tree tree;
        for (const TMirrorNode& top : tops_) {
            tree.push_back(top.Text);
            for (const TMirrorNode& child : top.Children)
                tree.push_back("  " + child.Text);
        }
        return tree;
    }

  private:
    std::vector<TMirrorNode>& Rows(int parent) {
        return parent < 0 ? tops_ : tops_.at(static_cast<size_t>(parent)).Children;
    }
    std::vector<TMirrorNode> tops_;
};

// An outline and a mirror fed by its edits, next to the plain lines.
class HeadingOutline : public ::testing::Test {
  protected:
    std::vector<TOutlineEdit> Replace(int first, int removed, const Lines& added) {
        lines.erase(lines.begin() + first, lines.begin() + first + removed);
        lines.insert(lines.begin() + first, added.begin(), added.end());
        auto edits = outline.Replace(first, removed, added);
        mirror.Apply(edits, outline);
        return edits;
    }
    void ExpectInStep() {
        const Tree expected = ExpectedTree(lines);
        EXPECT_EQ(TreeOf(outline), expected);
        EXPECT_EQ(mirror.AsTree(), expected);
        EXPECT_EQ(outline.LineCount(), static_cast<int>(lines.size()));
        for (const THeading& heading : outline.Headings())
            EXPECT_TRUE(heading.Main ? lines[heading.Line] == heading.Text
                                     : lines[heading.Line] == "\t" + heading.Text);
    }

    Lines lines;
    THeadingOutline outline;
    TMirror mirror;
};

} // namespace

TEST_F(HeadingOutline, LinesAreReadAsThePagesReadThem) {
    Replace(0, 0,
            {"\tbefore", "Intro", "\tStart", "\t\tbody", "", "# comment", "\t#tab hash",
             " #space hash", "\t", "\t\t\tdeep", "Next"});
    EXPECT_EQ(TreeOf(outline),
              (Tree{"before", "Intro", "  Start", "  #tab hash", " #space hash", "  ", "Next"}));
    EXPECT_EQ(outline.MainHeadingCount(), 3);
    EXPECT_EQ(outline.Headings().size(), 7u);
    ExpectInStep();
}

TEST_F(HeadingOutline, TypingInAHeadingOnlyChangesItsText) {
    Replace(0, 0, {"A", "\tb", "\t\tx"});
    auto edits = Replace(1, 1, {"\tbc"});
    ASSERT_EQ(edits.size(), 1u);
    EXPECT_EQ(edits[0].Kind, TKind::Retext);
    EXPECT_EQ(edits[0].Parent, 0);
    EXPECT_EQ(edits[0].Row, 0);
    // Typing in body text, or a line break in it, leaves the tree alone.
    EXPECT_TRUE(Replace(2, 1, {"\t\txy"}).empty());
    EXPECT_TRUE(Replace(2, 1, {"\t\tx", "\t\ty"}).empty());
    EXPECT_EQ(outline.Headings()[1].Line, 1);
    ExpectInStep();
}

TEST_F(HeadingOutline, LineBreaksAboveMoveTheHeadingsLines) {
    Replace(0, 0, {"\t\tx", "A", "\tb"});
    Replace(0, 1, {"\t\tx", "", ""});
    EXPECT_EQ(outline.Headings()[0].Line, 3);
    EXPECT_EQ(outline.Headings()[1].Line, 4);
    EXPECT_EQ(outline.HeadingAtLine(2), -1);
    EXPECT_EQ(outline.HeadingAtLine(3), 0);
    EXPECT_EQ(outline.HeadingAtLine(100), 1);
    ExpectInStep();
}

TEST_F(HeadingOutline, ANewMainHeadingTakesTheHeadingsAfterIt) {
    Replace(0, 0, {"A", "\ta1", "\t\tx", "\ta2", "\ta3"});
    // A body line becomes a main heading: the headings after it are its own.
    auto edits = Replace(2, 1, {"B"});
    ASSERT_EQ(edits.size(), 2u);
    EXPECT_EQ(edits[0].Kind, TKind::Insert);
    EXPECT_EQ(edits[1].Kind, TKind::Move);
    EXPECT_EQ(edits[1].Count, 2);
    EXPECT_EQ(TreeOf(outline), (Tree{"A", "  a1", "B", "  a2", "  a3"}));
    // Removing it gives them back.
    Replace(2, 1, {"\t\tx"});
    EXPECT_EQ(TreeOf(outline), (Tree{"A", "  a1", "  a2", "  a3"}));
    ExpectInStep();
}

TEST_F(HeadingOutline, HeadingsBeforeTheFirstMainHeadingStandAtTheTop) {
    Replace(0, 0, {"\tp1", "\tp2", "A", "\ta1"});
    EXPECT_EQ(outline.PlaceOf(1), (TOutlinePlace{1, -1}));
    EXPECT_EQ(outline.PlaceOf(3), (TOutlinePlace{2, 0}));
    // A main heading above them takes them; removed, it gives them back.
    Replace(0, 0, {"Top"});
    EXPECT_EQ(TreeOf(outline), (Tree{"Top", "  p1", "  p2", "A", "  a1"}));
    ExpectInStep();
    Replace(0, 1, {});
    Replace(2, 1, {"# no longer a main heading"});
    EXPECT_EQ(TreeOf(outline), (Tree{"p1", "p2", "a1"}));
    EXPECT_EQ(outline.MainHeadingCount(), 0);
    ExpectInStep();
}

TEST_F(HeadingOutline, ARangeBeyondTheTextIsClamped) {
    Replace(0, 0, {"A", "\tb"});
    outline.Replace(1, 50, {"\tc"});
    EXPECT_EQ(outline.LineCount(), 2);
    outline.Replace(9, 1, {"B"});
    EXPECT_EQ(outline.LineCount(), 3);
    EXPECT_EQ(outline.Headings().back().Line, 2);
}

// Any sequence of edits keeps the outline, and a view that follows its
// edits, equal to the tree drawn from the text.
TEST_F(HeadingOutline, RandomEditsKeepTheOutlineAndItsViewsInStep) {
    std::mt19937 random(14);
    const Lines samples = {"A", "B", "\ta", "\tb", "\t\tx", "", "#c", "\t", "C longer"};
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    for (int round = 0; round < 3000; ++round) {
        const int size = static_cast<int>(lines.size());
        const int first = pick(size + 1);
        const int removed = pick(std::min(size - first, 4) + 1);
        Lines added(static_cast<size_t>(pick(5)));
        for (std::string& line : added)
            line = samples[static_cast<size_t>(pick(static_cast<int>(samples.size())))];
        Replace(first, removed, added);
        const Tree expected = ExpectedTree(lines);
        ASSERT_EQ(TreeOf(outline), expected) << "round " << round;
        ASSERT_EQ(mirror.AsTree(), expected) << "round " << round;
    }
    ExpectInStep();
}
