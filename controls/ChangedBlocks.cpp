#include "controls/ChangedBlocks.h"

#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>

namespace varnoke {

bool ChangedBlocks(const QTextDocument& document, int position, int charsAdded, int knownLines,
                   TChangedBlocks& changed) {
    // The blocks from the change's start to its end are new; the lines they
    // replaced are as many fewer or more as the block count changed by.
    // Counting that way needs no trust in the removed length, which the
    // document reports loosely for some edits.
    QTextBlock firstBlock = document.findBlock(position);
    QTextBlock lastBlock = document.findBlock(position + charsAdded);
    if (!firstBlock.isValid())
        firstBlock = document.lastBlock();
    if (!lastBlock.isValid())
        lastBlock = document.lastBlock();
    changed.First = firstBlock.blockNumber();
    changed.Last = std::max(changed.First, lastBlock.blockNumber());
    changed.Removed = (changed.Last - changed.First + 1) - (document.blockCount() - knownLines);
    return changed.Removed >= 0 && changed.First + changed.Removed <= knownLines;
}

} // namespace varnoke
