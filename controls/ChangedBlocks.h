// Which lines of a text document one of its contentsChange reports
// replaced, for the units that keep something per line in step with it.
#pragma once

class QTextDocument;

namespace varnoke {

// The document's blocks First to Last are new; they replaced Removed lines
// of those the follower knew, starting at First.
struct TChangedBlocks {
    int First = 0;
    int Last = 0;
    int Removed = 0;
};

// knownLines: how many lines the follower held before the change. False
// when the report does not add up (the follower should read the whole text
// again).
bool ChangedBlocks(const QTextDocument& document, int position, int charsAdded, int knownLines,
                   TChangedBlocks& changed);

} // namespace varnoke
