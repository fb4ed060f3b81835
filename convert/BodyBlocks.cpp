#include "convert/BodyBlocks.h"

#include "convert/InlineMarkup.h"
#include "convert/LineKind.h"
#include "convert/PageBlocks.h"
#include "convert/StringWriter.h"

#include <algorithm>
#include <functional>

namespace varnoke {

namespace {

// The blocks follow the editor's lines, which a document counts in an int;
// only a text file's lines need the full size.
int LineCount(const TLineSource& lines) {
    return static_cast<int>(lines.Count());
}

constexpr std::string_view BodyPageName = "text.html";

// The page a block shows on and its anchor number, from the counts before
// it: split, every main heading but the first opens a page, and a page
// counts its anchors from 0.
struct TNumbering {
    int Page;
    int Number;
};

TNumbering Numbering(bool split, int page, int mainHeadings, int h1, int h2, bool main) {
    if (!main)
        return {page, h2};
    if (split && mainHeadings > 0)
        return {page + 1, 0};
    return {page, h1};
}

size_t Hash(const std::string& markup) {
    // Never 0, which stands for "no menu entry".
    return std::hash<std::string>()(markup) | 1;
}

bool operator==(TNumbering a, TNumbering b) {
    return a.Page == b.Page && a.Number == b.Number;
}

} // namespace

void TPagePatch::Append(TPagePatch next) {
    Reload = Reload || next.Reload;
    if (Reload) {
        Splices.clear();
        Renumberings.clear();
        MovedFrom = -1;
        return;
    }
    for (TRenumbering& renumbering : next.Renumberings) {
        renumbering.After += Splices.size();
        Renumberings.push_back(renumbering);
    }
    for (TElementSplice& splice : next.Splices)
        Splices.push_back(std::move(splice));
    if (next.MovedFrom >= 0)
        MovedFrom = MovedFrom < 0 ? next.MovedFrom : std::min(MovedFrom, next.MovedFrom);
    if (MovedFrom < 0)
        return;
    // The pages loaded afresh are read from the folder written after every
    // change so far: their changes are dropped, those of earlier pages kept
    // in order.
    std::vector<TElementSplice> kept;
    std::vector<TRenumbering> keptRenumberings;
    size_t splice = 0;
    for (TRenumbering& renumbering : Renumberings) {
        for (; splice < renumbering.After; ++splice) {
            if (!LoadedAfresh(Splices[splice].Page))
                kept.push_back(std::move(Splices[splice]));
        }
        if (LoadedAfresh(renumbering.Page))
            continue;
        renumbering.After = kept.size();
        renumbering.Entry = -1; // the menu is loaded afresh
        keptRenumberings.push_back(renumbering);
    }
    for (; splice < Splices.size(); ++splice) {
        if (!LoadedAfresh(Splices[splice].Page))
            kept.push_back(std::move(Splices[splice]));
    }
    Splices = std::move(kept);
    Renumberings = std::move(keptRenumberings);
}

size_t TPagePatch::Size() const {
    size_t size = 0;
    for (const TElementSplice& splice : Splices) {
        for (const std::string& markup : splice.Inserted)
            size += markup.size();
    }
    return size;
}

bool TPagePatch::Restructures() const {
    return !Renumberings.empty() ||
           std::any_of(Splices.begin(), Splices.end(), [](const TElementSplice& splice) {
               return splice.Inserted.size() != static_cast<size_t>(splice.Removed);
           });
}

void TBodyBlocks::Reset(const TLineSource& lines, bool split, int tabCount) {
    split_ = split;
    tabCount_ = tabCount;
    totals_ = TCounters();
    blocks_ = Scan(lines, 0, LineCount(lines), totals_);
    unsafe_ = static_cast<int>(
        std::count_if(blocks_.begin(), blocks_.end(), [](const TBlock& b) { return !b.Safe; }));
    lineCount_ = LineCount(lines);
    valid_ = true;
}

// The blocks of lines [from, to), numbered on from `counters`, which are
// left as they stand after the last one. Line `to` is a heading or the end.
std::vector<TBodyBlocks::TBlock> TBodyBlocks::Scan(const TLineSource& lines, int from, int to,
                                                   TCounters& counters) const {
    std::vector<TBlock> blocks;
    for (int i = from; i < to; ++i) {
        const TLineKind kind = ClassifyLine(lines.Line(i));
        if (kind == TLineKind::Empty || kind == TLineKind::Comment)
            continue;
        if (kind == TLineKind::Body) {
            if (!blocks.empty() && blocks.back().Kind == TKind::Paragraph)
                blocks.back().Last = i;
            else
                blocks.push_back({i, i, TKind::Paragraph, counters, 0, 0, true});
            continue;
        }
        const bool main = kind == TLineKind::MainHeading;
        blocks.push_back({i, i, main ? TKind::MainHeading : TKind::Heading, counters, 0, 0, true});
        if (main) {
            // Split, every main heading after the first opens a page, and
            // the anchors of a page are counted from 0.
            if (split_ && counters.MainHeadings > 0)
                counters = {counters.Page + 1, counters.MainHeadings, 0, 0, counters.Entries};
            ++counters.MainHeadings;
            ++counters.H1;
        } else {
            ++counters.H2;
        }
        ++counters.Entries;
    }
    for (TBlock& block : blocks)
        Finish(lines, block);
    return blocks;
}

void TBodyBlocks::Finish(const TLineSource& lines, TBlock& block) const {
    block.BodyHash = Hash(BodyMarkup(lines, block, false));
    block.MenuHash = block.Kind == TKind::Paragraph ? 0 : Hash(MenuMarkup(lines, block, false));
    block.Safe = true;
    for (int i = block.First; i <= block.Last && block.Safe; ++i) {
        const std::string_view line = lines.Line(i);
        if (block.Kind != TKind::Paragraph || ClassifyLine(line) == TLineKind::Body)
            block.Safe = KeepsPageStructure(line);
    }
}

// numbered: with the block's anchor number and page, else with those of
// the first anchor, as the hashes are made: a renumbered block keeps its
// hash.
std::string TBodyBlocks::BodyMarkup(const TLineSource& lines, const TBlock& block,
                                    bool numbered) const {
    std::string markup;
    TStringWriter page(markup);
    const TCounters& c = block.Before;
    if (block.Kind == TKind::Paragraph) {
        WriteTagOpen(page, "p");
        for (int i = block.First; i <= block.Last; ++i) {
            const std::string_view line = lines.Line(i);
            if (ClassifyLine(line) == TLineKind::Body)
                WriteBodyLine(page, tabCount_, line.substr(2), lines.LineBreak(i));
        }
        WriteTagClose(page, "p");
        return markup;
    }
    const bool main = block.Kind == TKind::MainHeading;
    const TNumbering n =
        numbered ? Numbering(split_, c.Page, c.MainHeadings, c.H1, c.H2, main) : TNumbering{0, 0};
    WriteBodyHeading(page, main ? "h1" : "h2", n.Number, lines.Line(block.First),
                     lines.LineBreak(block.First));
    return markup;
}

std::string TBodyBlocks::MenuMarkup(const TLineSource& lines, const TBlock& block,
                                    bool numbered) const {
    std::string markup;
    TStringWriter page(markup);
    const TCounters& c = block.Before;
    const bool main = block.Kind == TKind::MainHeading;
    const TNumbering n =
        numbered ? Numbering(split_, c.Page, c.MainHeadings, c.H1, c.H2, main) : TNumbering{0, 0};
    const std::string pageName =
        split_ ? SplitPageFileName(BodyPageName, n.Page) : std::string(BodyPageName);
    const std::string_view line = lines.Line(block.First);
    WriteMenuEntry(page, main ? "h1" : "h2", pageName + (main ? "#h1" : "#h2"), n.Number,
                   main ? line : line.substr(1), lines.LineBreak(block.First));
    return markup;
}

// A shown block stays when the fresh one has its markup, anchor number
// included.
bool TBodyBlocks::SameBody(const TBlock& shown, const TBlock& fresh) const {
    if (shown.BodyHash != fresh.BodyHash)
        return false;
    if (shown.Kind == TKind::Paragraph)
        return true;
    const bool main = shown.Kind == TKind::MainHeading;
    const TCounters& s = shown.Before;
    const TCounters& f = fresh.Before;
    return Numbering(split_, s.Page, s.MainHeadings, s.H1, s.H2, main) ==
           Numbering(split_, f.Page, f.MainHeadings, f.H1, f.H2, main);
}

bool TBodyBlocks::SameEntry(const TBlock& shown, const TBlock& fresh) const {
    return shown.MenuHash == fresh.MenuHash && SameBody(shown, fresh);
}

int TBodyBlocks::PageOf(const TBlock& block) const {
    const TCounters& c = block.Before;
    return Numbering(split_, c.Page, c.MainHeadings, c.H1, c.H2, block.Kind == TKind::MainHeading)
        .Page;
}

// The first block of a page (the count of blocks when the page has none).
int TBodyBlocks::PageStart(int page) const {
    const auto at = std::lower_bound(
        blocks_.begin(), blocks_.end(), page,
        [this](const TBlock& block, int wanted) { return PageOf(block) < wanted; });
    return static_cast<int>(at - blocks_.begin());
}

// The last block that starts before the line, or -1.
int TBodyBlocks::BlockBefore(int line) const {
    const auto at = std::lower_bound(blocks_.begin(), blocks_.end(), line,
                                     [](const TBlock& block, int l) { return block.First < l; });
    return static_cast<int>(at - blocks_.begin()) - 1;
}

TPagePatch TBodyBlocks::Update(const TLineSource& lines, int first, int removed, int added) {
    TPagePatch patch;
    if (!valid_ || first < 0 || removed < 0 || added < 0 || first + removed > lineCount_ ||
        lineCount_ - removed + added != LineCount(lines)) {
        if (valid_)
            Reset(lines, split_, tabCount_);
        patch.Reload = true;
        return patch;
    }
    // The blocks from the one before the change to the first heading after
    // it are read again: a paragraph may grow into the changed lines or
    // merge with the next one, but never past a heading the change left.
    const int before = BlockBefore(first);
    const size_t a = before < 0 ? 0 : static_cast<size_t>(before);
    const int from = before < 0 ? 0 : blocks_[a].First;
    TCounters counters = before < 0 ? TCounters() : blocks_[a].Before;
    const TCounters start = counters;
    const int page = before < 0 ? 0 : PageOf(blocks_[a]);
    size_t b = static_cast<size_t>(BlockBefore(first + removed) + 1);
    b = std::max(b, a);
    if (b < blocks_.size() && blocks_[b].Kind == TKind::Paragraph)
        ++b;
    const int shift = added - removed;
    const int to = b < blocks_.size() ? blocks_[b].First + shift : LineCount(lines);
    const TCounters oldEnd = b < blocks_.size() ? blocks_[b].Before : totals_;
    std::vector<TBlock> fresh = Scan(lines, from, to, counters);

    const auto oldFirst = blocks_.begin() + static_cast<std::ptrdiff_t>(a);
    const auto oldLast = blocks_.begin() + static_cast<std::ptrdiff_t>(b);
    // A main heading before the changed lines stays where it was.
    auto isMain = [first](const TBlock& block) {
        return block.Kind == TKind::MainHeading && block.First >= first;
    };
    auto isUnsafe = [](const TBlock& block) { return !block.Safe; };

    // The body: the changed run of blocks, without the ends that stayed.
    const size_t oldCount = b - a;
    const size_t newCount = fresh.size();
    size_t same = 0;
    while (same < oldCount && same < newCount && SameBody(blocks_[a + same], fresh[same]))
        ++same;
    size_t sameEnd = 0;
    while (sameEnd < oldCount - same && sameEnd < newCount - same &&
           SameBody(blocks_[b - 1 - sameEnd], fresh[newCount - 1 - sameEnd]))
        ++sameEnd;

    // Split, a main heading in the changed lines moves the later pages,
    // unless only the text of blocks changed: the same kinds of block in a
    // row keep their pages, and the changed ones on one page are spliced.
    int splicePage = page;
    bool pagesMoved = split_ && (std::any_of(oldFirst, oldLast, isMain) ||
                                 std::any_of(fresh.begin(), fresh.end(), isMain));
    if (pagesMoved && oldCount == newCount &&
        std::equal(oldFirst, oldLast, fresh.begin(),
                   [](const TBlock& o, const TBlock& f) { return o.Kind == f.Kind; })) {
        pagesMoved = false;
        if (same + sameEnd < oldCount) {
            splicePage = PageOf(blocks_[a + same]);
            pagesMoved = PageOf(blocks_[b - 1 - sameEnd]) != splicePage;
        }
    }
    if (pagesMoved) {
        // Every later block may now be on another page and count its
        // anchors from another start: read them all again, and have the
        // pages from this one on loaded afresh (from the next one when this
        // one keeps its blocks, as when a chapter is added after it).
        const int moved = KeepsPage(page, a, b, fresh, counters.MainHeadings) ? page + 1 : page;
        Reset(lines, split_, tabCount_);
        patch.Reload = unsafe_ > 0;
        if (!patch.Reload)
            patch.MovedFrom = moved;
        return patch;
    }
    unsafe_ += static_cast<int>(std::count_if(fresh.begin(), fresh.end(), isUnsafe) -
                                std::count_if(oldFirst, oldLast, isUnsafe));

    if (oldCount - same - sameEnd > 0 || newCount - same - sameEnd > 0) {
        TElementSplice splice{splicePage,
                              static_cast<int>(a + same) - PageStart(splicePage),
                              static_cast<int>(oldCount - same - sameEnd),
                              {}};
        for (size_t i = same; i < newCount - sameEnd; ++i)
            splice.Inserted.push_back(BodyMarkup(lines, fresh[i], true));
        patch.Splices.push_back(std::move(splice));
    }

    // The menu: the changed run of headings in the same way.
    std::vector<const TBlock*> oldHeadings;
    std::vector<const TBlock*> newHeadings;
    for (auto block = oldFirst; block != oldLast; ++block) {
        if (block->MenuHash != 0)
            oldHeadings.push_back(&*block);
    }
    for (const TBlock& block : fresh) {
        if (block.MenuHash != 0)
            newHeadings.push_back(&block);
    }
    size_t sameEntries = 0;
    while (sameEntries < oldHeadings.size() && sameEntries < newHeadings.size() &&
           SameEntry(*oldHeadings[sameEntries], *newHeadings[sameEntries]))
        ++sameEntries;
    size_t sameEntriesEnd = 0;
    while (sameEntriesEnd < oldHeadings.size() - sameEntries &&
           sameEntriesEnd < newHeadings.size() - sameEntries &&
           SameEntry(*oldHeadings[oldHeadings.size() - 1 - sameEntriesEnd],
                     *newHeadings[newHeadings.size() - 1 - sameEntriesEnd]))
        ++sameEntriesEnd;
    const size_t removedEntries = oldHeadings.size() - sameEntries - sameEntriesEnd;
    const size_t addedEntries = newHeadings.size() - sameEntries - sameEntriesEnd;
    if (removedEntries > 0 || addedEntries > 0) {
        TElementSplice splice{-1,
                              start.Entries + static_cast<int>(sameEntries),
                              static_cast<int>(removedEntries),
                              {}};
        for (size_t i = sameEntries; i < sameEntries + addedEntries; ++i)
            splice.Inserted.push_back(MenuMarkup(lines, *newHeadings[i], true));
        patch.Splices.push_back(std::move(splice));
    }

    const TCounters change{counters.Page - oldEnd.Page, counters.MainHeadings - oldEnd.MainHeadings,
                           counters.H1 - oldEnd.H1, counters.H2 - oldEnd.H2,
                           counters.Entries - oldEnd.Entries};
    blocks_.erase(oldFirst, oldLast);
    blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(a), fresh.begin(), fresh.end());
    lineCount_ = LineCount(lines);
    Renumber(a + newCount, shift, change, oldEnd, patch);
    if (unsafe_ > 0)
        patch = TPagePatch{true, -1, {}, {}};
    return patch;
}

// Split, whether the page keeps its blocks when blocks [a, b) become the
// fresh ones, after which `mainHeadings` main headings come before block
// b: the same blocks on it from the run, and after the run the same ones,
// up to the next page (none when the run ends the page on one side only
// and the next block opens a page on the other).
bool TBodyBlocks::KeepsPage(int page, size_t a, size_t b, const std::vector<TBlock>& fresh,
                            int mainHeadings) const {
    auto onPage = [this, page](const TBlock& block) { return PageOf(block) == page; };
    const auto oldEnd = std::find_if_not(blocks_.begin() + static_cast<std::ptrdiff_t>(a),
                                         blocks_.begin() + static_cast<std::ptrdiff_t>(b), onPage);
    const auto freshEnd = std::find_if_not(fresh.begin(), fresh.end(), onPage);
    const size_t oldCount = static_cast<size_t>(oldEnd - blocks_.begin()) - a;
    if (oldCount != static_cast<size_t>(freshEnd - fresh.begin()))
        return false;
    for (size_t i = 0; i < oldCount; ++i) {
        if (!SameBody(blocks_[a + i], fresh[i]))
            return false;
    }
    const bool oldBreak = oldCount < b - a;
    const bool freshBreak = freshEnd != fresh.end();
    if (oldBreak == freshBreak)
        return true;
    if (b == blocks_.size())
        return true;
    const TBlock& next = blocks_[b];
    const int before = oldBreak ? mainHeadings : next.Before.MainHeadings;
    return next.Kind == TKind::MainHeading && before > 0;
}

// The blocks after a change: their lines move by `lineShift`, and their
// counts by `shift`. Anchors whose number changes are renumbered in place
// on the page and in the menu, by one renumbering for all of them.
void TBodyBlocks::Renumber(size_t from, int lineShift, const TCounters& shift,
                           const TCounters& oldEnd, TPagePatch& patch) {
    // Split, a page counts its own anchors: the change of a count ends at
    // the next main heading (the pages themselves did not move, or the
    // patch loads them afresh anyway).
    bool anchorsMove = shift.H1 != 0 || shift.H2 != 0;
    bool renumbered = false;
    for (size_t j = from; j < blocks_.size(); ++j) {
        TBlock& block = blocks_[j];
        block.First += lineShift;
        block.Last += lineShift;
        TCounters& c = block.Before;
        c.Page += shift.Page;
        c.MainHeadings += shift.MainHeadings;
        c.Entries += shift.Entries;
        if (split_ && block.Kind == TKind::MainHeading && c.MainHeadings > 0)
            anchorsMove = false;
        if (!anchorsMove)
            continue;
        c.H1 += shift.H1;
        c.H2 += shift.H2;
        renumbered = renumbered || (block.Kind == TKind::MainHeading && shift.H1 != 0) ||
                     (block.Kind == TKind::Heading && shift.H2 != 0);
    }
    if (renumbered) {
        const TCounters& first = blocks_[from].Before;
        patch.Renumberings.push_back({first.Page, static_cast<int>(from) - PageStart(first.Page),
                                      first.Entries, oldEnd.H1, shift.H1, oldEnd.H2, shift.H2,
                                      patch.Splices.size()});
    }
    totals_.Page += shift.Page;
    totals_.MainHeadings += shift.MainHeadings;
    totals_.Entries += shift.Entries;
    if (!split_) {
        totals_.H1 += shift.H1;
        totals_.H2 += shift.H2;
    } else if (anchorsMove) {
        totals_.H2 += shift.H2;
    }
}

bool TBodyBlocks::PlaceOfLine(const TLineSource& lines, int line, TBlockPlace& place) const {
    if (blocks_.empty())
        return false;
    const int index = std::max(0, BlockBefore(line + 1));
    const TBlock& block = blocks_[static_cast<size_t>(index)];
    const int page = PageOf(block);
    int lineInBlock = 0;
    if (block.Kind == TKind::Paragraph) {
        for (int i = block.First + 1; i <= std::min(line, block.Last); ++i) {
            if (ClassifyLine(lines.Line(i)) == TLineKind::Body)
                ++lineInBlock;
        }
    }
    place = {page, index - PageStart(page), lineInBlock};
    return true;
}

int TBodyBlocks::LineOfPlace(const TLineSource& lines, const TBlockPlace& place) const {
    const int index = PageStart(place.Page) + place.Block;
    if (place.Block < 0 || index >= PageStart(place.Page + 1))
        return -1;
    const TBlock& block = blocks_[static_cast<size_t>(index)];
    if (block.Kind != TKind::Paragraph)
        return block.First;
    int bodyLines = 0;
    for (int i = block.First; i <= block.Last; ++i) {
        if (ClassifyLine(lines.Line(i)) == TLineKind::Body && bodyLines++ == place.LineInBlock)
            return i;
    }
    return block.Last;
}

int TBodyBlocks::LineOfMenuEntry(int entry) const {
    auto at = std::lower_bound(blocks_.begin(), blocks_.end(), entry,
                               [](const TBlock& block, int e) { return block.Before.Entries < e; });
    while (at != blocks_.end() && at->Kind == TKind::Paragraph)
        ++at;
    return at == blocks_.end() || at->Before.Entries != entry ? -1 : at->First;
}

} // namespace varnoke
