// The headings of a manual's text as a two-level tree, kept in step with the
// text one edit at a time, so that an outline beside the editor never has to
// read a large text again for a key press.
//
// Lines are classified exactly as the page writers classify them
// (ClassifyLine): a main heading has no tab first, a heading one tab. In the
// tree a main heading is at the top with the headings after it as its
// children; headings before the first main heading have no main heading to
// belong to and stand at the top themselves, as they stand on the first page.
//
// Replace reports how the tree changed as a list of edits, so that a view
// can follow with small steps (and keep what the user expanded) instead of
// being rebuilt.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace varnoke {

struct THeading {
    int Line = 0;     // zero-based line of the text
    bool Main = true; // main heading, or heading
    std::string Text; // CP932, without a heading's leading tab
};

// A place in the tree: a top entry (Child -1) or a child of a top entry.
struct TOutlinePlace {
    int Top = -1;
    int Child = -1;
    bool operator==(const TOutlinePlace& other) const {
        return Top == other.Top && Child == other.Child;
    }
};

// One step of a tree change. Rows and parents are those of the tree as the
// earlier steps of the same list have left it; Parent -1 is the top level.
struct TOutlineEdit {
    enum class TKind {
        Insert, // a new entry for heading `Heading` at (Parent, Row)
        Remove, // the entry at (Parent, Row)
        Move,   // Count entries from (Parent, Row) to (ToParent, ToRow), in order
        Retext, // the entry at (Parent, Row) shows heading `Heading` with new text
    };
    TKind Kind = TKind::Insert;
    int Parent = -1;
    int Row = 0;
    int Heading = -1; // index into Headings() once Replace has returned
    int Count = 1;
    int ToParent = -1;
    int ToRow = 0;
};

class THeadingOutline {
  public:
    // Replaces lines [first, first + removed) of the text by `added` (CP932
    // lines without their line breaks) and returns the tree's edits. A range
    // beyond the known lines is clamped to them.
    std::vector<TOutlineEdit> Replace(int first, int removed,
                                      const std::vector<std::string>& added);

    int LineCount() const { return lineCount_; }
    // In the order of the text.
    const std::vector<THeading>& Headings() const { return headings_; }
    int MainHeadingCount() const { return mainCount_; }

    int TopCount() const { return static_cast<int>(tops_.size()); }
    int ChildCount(int top) const;
    // The heading at a place, or -1 for a place outside the tree.
    int HeadingAt(TOutlinePlace place) const;
    TOutlinePlace PlaceOf(int heading) const;
    // The heading whose part of the text holds the line: the last heading
    // at or before it, or -1 when none is.
    int HeadingAtLine(int line) const;

  private:
    // The top entry that holds heading h: the last top at or before it.
    int TopOf(int heading) const;
    int ChildEnd(int top) const;
    void RemoveHeading(int heading, std::vector<TOutlineEdit>& edits);
    void InsertHeading(int heading, THeading entry, std::vector<TOutlineEdit>& edits);

    int lineCount_ = 0;
    int mainCount_ = 0;
    std::vector<THeading> headings_;
    std::vector<int> tops_; // indices into headings_ of the top entries, ascending
};

// The heading a line makes, if it makes one.
bool HeadingOfLine(std::string_view line, THeading& heading);

} // namespace varnoke
