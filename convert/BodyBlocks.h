// The body page and the menu page as a live preview holds them: the body cut
// into blocks (a heading, or a paragraph: the body lines from one heading to
// the next), kept in step with the text as its lines change, and for each
// change the edits that bring pages already shown up to date.
//
// A page's blocks are the top-level elements of its body, in order; the
// body page ends with one more element, its closing paragraph. An edit of
// a page is a list of splices of those elements, each element given as the
// markup the page writers would write for it.
#pragma once

#include "common/LineSource.h"

#include <cstddef>
#include <string>
#include <vector>

namespace varnoke {

// Removes `Removed` elements from `Index` on and puts the `Inserted` ones
// (CP932 markup, one element each) there.
struct TElementSplice {
    int Page; // the body page ("text.html", or "text<Page>.html" when split); -1 the menu
    int Index;
    int Removed;
    std::vector<std::string> Inserted;
};

// What a change of the text does to the shown pages: splices to apply in
// order, or a reload when splices cannot express it.
struct TPagePatch {
    bool Reload = false;
    std::vector<TElementSplice> Splices;

    bool Empty() const { return !Reload && Splices.empty(); }
    // This patch followed by the next one.
    void Append(TPagePatch next);
    // The bytes of markup the splices carry.
    size_t Size() const;
};

// Where a line of the text shows on the body page.
struct TBlockPlace {
    int Page;
    int Block;       // the element of the page
    int LineInBlock; // a paragraph's body line (0 for a heading)
};

class TBodyBlocks {
  public:
    // Reads the whole text, as the pages are written with these settings.
    void Reset(const TLineSource& lines, bool split, int tabCount);
    bool Matches(bool split, int tabCount) const {
        return valid_ && split == split_ && tabCount == tabCount_;
    }
    void Invalidate() { valid_ = false; }

    // Lines [first, first + removed) of the text the blocks were made of
    // have become lines [first, first + added) of `lines`. Keeps the blocks
    // in step and returns the edits of the shown pages: a reload when the
    // blocks were not valid, when a main heading of a split text moved the
    // pages, or when the text holds markup that restructures the page.
    TPagePatch Update(const TLineSource& lines, int first, int removed, int added);

    // The place of a line (a line between blocks belongs to the block
    // before it); false when the text has no blocks.
    bool PlaceOfLine(const TLineSource& lines, int line, TBlockPlace& place) const;
    // The line of a place on the body page, or of an entry of the menu;
    // -1 for a place that shows no line.
    int LineOfPlace(const TLineSource& lines, const TBlockPlace& place) const;
    int LineOfMenuEntry(int entry) const;
    // The elements of a body page before its closing paragraph, and the
    // entries of the menu.
    int ElementCount(int page) const { return PageStart(page + 1) - PageStart(page); }
    int EntryCount() const { return totals_.Entries; }

  private:
    // The counts that number a block's anchors and entries: those before it.
    struct TCounters {
        int Page = 0;
        int MainHeadings = 0; // in the whole text
        int H1 = 0;           // anchor numbers, counted on the page when split
        int H2 = 0;
        int Entries = 0; // menu entries
    };
    enum class TKind { MainHeading, Heading, Paragraph };
    struct TBlock {
        int First; // the heading's line, or the paragraph's first body line
        int Last;  // the paragraph's last body line
        TKind Kind;
        TCounters Before;
        size_t BodyHash;
        size_t MenuHash; // 0 for a paragraph
        bool Safe;       // see KeepsPageStructure
    };

    std::vector<TBlock> Scan(const TLineSource& lines, int from, int to, TCounters& counters) const;
    void Finish(const TLineSource& lines, TBlock& block) const;
    std::string BodyMarkup(const TLineSource& lines, const TBlock& block) const;
    std::string MenuMarkup(const TLineSource& lines, const TBlock& block) const;
    int PageOf(const TBlock& block) const;
    int PageStart(int page) const;
    int BlockBefore(int line) const;
    void Renumber(const TLineSource& lines, size_t from, int lineShift, const TCounters& shift,
                  TPagePatch& patch);

    std::vector<TBlock> blocks_;
    TCounters totals_;
    int lineCount_ = 0;
    int unsafe_ = 0;
    bool valid_ = false;
    bool split_ = false;
    int tabCount_ = 0;
};

} // namespace varnoke
