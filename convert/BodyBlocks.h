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

// The anchors after a change renumbered in place, without new markup: on
// the body page `Page`, from its element `Element` on, the anchors "h1"
// numbered FromH1, FromH1 + 1, ... take their number plus ShiftH1, those
// of "h2" likewise; in the menu, from its entry `Entry` on (none when -1),
// the links to those anchors of that page.
struct TRenumbering {
    int Page;
    int Element;
    int Entry;
    int FromH1;
    int ShiftH1;
    int FromH2;
    int ShiftH2;
    size_t After; // comes after this many of the patch's splices
};

// What a change of the text does to the shown pages: splices and
// renumberings to apply in order, or what must be loaded afresh: every
// page (a reload), or, split, the body pages from `MovedFrom` on and the
// menu, when a main heading moved the later pages.
struct TPagePatch {
    bool Reload = false;
    int MovedFrom = -1;
    std::vector<TElementSplice> Splices;
    std::vector<TRenumbering> Renumberings;

    bool Empty() const {
        return !Reload && MovedFrom < 0 && Splices.empty() && Renumberings.empty();
    }
    // Whether a page (-1 the menu) is loaded afresh rather than patched.
    bool LoadedAfresh(int page) const {
        return Reload || (MovedFrom >= 0 && (page < 0 || page >= MovedFrom));
    }
    // This patch followed by the next one.
    void Append(TPagePatch next);
    // The bytes of markup the splices carry.
    size_t Size() const;
    // Whether blocks are added, removed or renumbered, rather than only
    // refilled where they stand.
    bool Restructures() const;
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
    // blocks were not valid or the text holds markup that restructures the
    // page, the later pages loaded afresh when a main heading of a split
    // text moved them.
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
        size_t BodyHash; // of the markup without its anchor number
        size_t MenuHash; // likewise; 0 for a paragraph
        bool Safe;       // see KeepsPageStructure
    };

    std::vector<TBlock> Scan(const TLineSource& lines, int from, int to, TCounters& counters) const;
    void Finish(const TLineSource& lines, TBlock& block) const;
    std::string BodyMarkup(const TLineSource& lines, const TBlock& block, bool numbered) const;
    std::string MenuMarkup(const TLineSource& lines, const TBlock& block, bool numbered) const;
    bool SameBody(const TBlock& shown, const TBlock& fresh) const;
    bool SameEntry(const TBlock& shown, const TBlock& fresh) const;
    bool KeepsPage(int page, size_t a, size_t b, const std::vector<TBlock>& fresh,
                   int mainHeadings) const;
    int PageOf(const TBlock& block) const;
    int PageStart(int page) const;
    int BlockBefore(int line) const;
    void Renumber(size_t from, int lineShift, const TCounters& shift, const TCounters& oldEnd,
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
