#include "convert/HeadingOutline.h"

#include "convert/LineKind.h"

#include <algorithm>

namespace varnoke {

namespace {

bool SameEntry(const THeading& a, const THeading& b, int lineShift) {
    return a.Main == b.Main && a.Line + lineShift == b.Line;
}

TOutlineEdit Edit(TOutlineEdit::TKind kind, int parent, int row, int heading = -1) {
    TOutlineEdit edit;
    edit.Kind = kind;
    edit.Parent = parent;
    edit.Row = row;
    edit.Heading = heading;
    return edit;
}

TOutlineEdit Move(int parent, int row, int count, int toParent, int toRow) {
    TOutlineEdit edit = Edit(TOutlineEdit::TKind::Move, parent, row);
    edit.Count = count;
    edit.ToParent = toParent;
    edit.ToRow = toRow;
    return edit;
}

} // namespace

bool HeadingOfLine(std::string_view line, THeading& heading) {
    switch (ClassifyLine(line)) {
    case TLineKind::MainHeading:
        heading.Main = true;
        heading.Text = std::string(line);
        return true;
    case TLineKind::Heading:
        heading.Main = false;
        heading.Text = std::string(line.substr(1));
        return true;
    default:
        return false;
    }
}

std::vector<TOutlineEdit> THeadingOutline::Replace(int first, int removed,
                                                   const std::vector<std::string>& added) {
    first = std::clamp(first, 0, lineCount_);
    removed = std::clamp(removed, 0, lineCount_ - first);
    const int shift = static_cast<int>(added.size()) - removed;

    std::vector<THeading> fresh;
    for (size_t j = 0; j < added.size(); ++j) {
        THeading heading;
        if (HeadingOfLine(added[j], heading)) {
            heading.Line = first + static_cast<int>(j);
            fresh.push_back(std::move(heading));
        }
    }
    const auto byLine = [](const THeading& heading, int line) { return heading.Line < line; };
    const int from = static_cast<int>(
        std::lower_bound(headings_.begin(), headings_.end(), first, byLine) - headings_.begin());
    const int to = static_cast<int>(
        std::lower_bound(headings_.begin(), headings_.end(), first + removed, byLine) -
        headings_.begin());
    const int oldCount = to - from;
    const int newCount = static_cast<int>(fresh.size());

    // Headings that keep their kind and place (before the change, and after
    // it with the lines moved) stay in the tree; at most their text changes.
    // A key press in a heading therefore only retexts one entry.
    int kept = 0;
    while (kept < oldCount && kept < newCount && SameEntry(headings_[from + kept], fresh[kept], 0))
        ++kept;
    int keptAtEnd = 0;
    while (keptAtEnd < oldCount - kept && keptAtEnd < newCount - kept &&
           SameEntry(headings_[to - 1 - keptAtEnd], fresh[newCount - 1 - keptAtEnd], shift))
        ++keptAtEnd;

    for (size_t i = static_cast<size_t>(to - keptAtEnd); i < headings_.size(); ++i)
        headings_[i].Line += shift;
    lineCount_ += shift;

    std::vector<TOutlineEdit> edits;
    // Backwards, so that the headings under a removed main heading go before
    // it and never move.
    for (int h = to - keptAtEnd - 1; h >= from + kept; --h)
        RemoveHeading(h, edits);
    for (int j = kept; j < newCount - keptAtEnd; ++j)
        InsertHeading(from + j, fresh[static_cast<size_t>(j)], edits);

    const auto retext = [&](int j) {
        THeading& heading = headings_[static_cast<size_t>(from + j)];
        if (heading.Text == fresh[static_cast<size_t>(j)].Text)
            return;
        heading.Text = std::move(fresh[static_cast<size_t>(j)].Text);
        const TOutlinePlace place = PlaceOf(from + j);
        edits.push_back(place.Child < 0
                            ? Edit(TOutlineEdit::TKind::Retext, -1, place.Top, from + j)
                            : Edit(TOutlineEdit::TKind::Retext, place.Top, place.Child, from + j));
    };
    for (int j = 0; j < kept; ++j)
        retext(j);
    for (int j = newCount - keptAtEnd; j < newCount; ++j)
        retext(j);
    return edits;
}

int THeadingOutline::TopOf(int heading) const {
    return static_cast<int>(std::upper_bound(tops_.begin(), tops_.end(), heading) - tops_.begin()) -
           1;
}

int THeadingOutline::ChildEnd(int top) const {
    return top + 1 < TopCount() ? tops_[static_cast<size_t>(top + 1)]
                                : static_cast<int>(headings_.size());
}

int THeadingOutline::ChildCount(int top) const {
    if (top < 0 || top >= TopCount())
        return 0;
    const int heading = tops_[static_cast<size_t>(top)];
    return headings_[static_cast<size_t>(heading)].Main ? ChildEnd(top) - heading - 1 : 0;
}

int THeadingOutline::HeadingAt(TOutlinePlace place) const {
    if (place.Top < 0 || place.Top >= TopCount())
        return -1;
    if (place.Child < 0)
        return tops_[static_cast<size_t>(place.Top)];
    if (place.Child >= ChildCount(place.Top))
        return -1;
    return tops_[static_cast<size_t>(place.Top)] + 1 + place.Child;
}

TOutlinePlace THeadingOutline::PlaceOf(int heading) const {
    if (heading < 0 || heading >= static_cast<int>(headings_.size()))
        return {};
    const int top = TopOf(heading);
    const int topHeading = tops_[static_cast<size_t>(top)];
    return {top, heading == topHeading ? -1 : heading - topHeading - 1};
}

int THeadingOutline::HeadingAtLine(int line) const {
    const auto after =
        std::upper_bound(headings_.begin(), headings_.end(), line,
                         [](int wanted, const THeading& heading) { return wanted < heading.Line; });
    return static_cast<int>(after - headings_.begin()) - 1;
}

void THeadingOutline::RemoveHeading(int heading, std::vector<TOutlineEdit>& edits) {
    const int top = TopOf(heading);
    const auto topAt = tops_.begin() + top;
    if (*topAt != heading) {
        edits.push_back(Edit(TOutlineEdit::TKind::Remove, top, heading - *topAt - 1));
    } else {
        if (headings_[static_cast<size_t>(heading)].Main) {
            --mainCount_;
            // Its headings go to the main heading before it; before the first
            // main heading they stand at the top.
            const int children = ChildCount(top);
            if (children > 0 && top > 0 && headings_[static_cast<size_t>(tops_[top - 1])].Main) {
                edits.push_back(Move(top, 0, children, top - 1, ChildCount(top - 1)));
            } else if (children > 0) {
                edits.push_back(Move(top, 0, children, -1, top + 1));
                for (int c = children; c >= 1; --c)
                    tops_.insert(tops_.begin() + top + 1, heading + c);
            }
        }
        edits.push_back(Edit(TOutlineEdit::TKind::Remove, -1, top));
        tops_.erase(tops_.begin() + top);
    }
    headings_.erase(headings_.begin() + heading);
    for (int& index : tops_) {
        if (index > heading)
            --index;
    }
}

void THeadingOutline::InsertHeading(int heading, THeading entry, std::vector<TOutlineEdit>& edits) {
    const bool main = entry.Main;
    headings_.insert(headings_.begin() + heading, std::move(entry));
    for (int& index : tops_) {
        if (index >= heading)
            ++index;
    }
    // Tops before the new heading; tops_ does not hold it yet.
    const int top =
        static_cast<int>(std::lower_bound(tops_.begin(), tops_.end(), heading) - tops_.begin());
    const int owner = top - 1;
    const bool underMain = owner >= 0 && headings_[static_cast<size_t>(tops_[owner])].Main;
    if (!main) {
        if (underMain) {
            edits.push_back(
                Edit(TOutlineEdit::TKind::Insert, owner, heading - tops_[owner] - 1, heading));
        } else {
            edits.push_back(Edit(TOutlineEdit::TKind::Insert, -1, top, heading));
            tops_.insert(tops_.begin() + top, heading);
        }
        return;
    }
    ++mainCount_;
    edits.push_back(Edit(TOutlineEdit::TKind::Insert, -1, top, heading));
    // The headings after it, up to the next main heading, are now its own.
    if (underMain) {
        const int children = ChildEnd(owner) - heading - 1;
        if (children > 0)
            edits.push_back(Move(owner, heading - tops_[owner] - 1, children, top, 0));
    } else {
        int children = 0;
        while (top + children < TopCount() &&
               !headings_[static_cast<size_t>(tops_[top + children])].Main)
            ++children;
        if (children > 0) {
            edits.push_back(Move(-1, top + 1, children, top, 0));
            tops_.erase(tops_.begin() + top, tops_.begin() + top + children);
        }
    }
    tops_.insert(tops_.begin() + top, heading);
}

} // namespace varnoke
