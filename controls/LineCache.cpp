#include "controls/LineCache.h"

#include "common/ShiftJis.h"
#include "controls/ChangedBlocks.h"

#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>

namespace varnoke {

namespace {

// A block as the whole text's plain form gives it: a no-break space reads
// as a space, a line separator as a line break.
std::string SjisLine(const QTextBlock& block) {
    QString text = block.text();
    text.replace(QChar::Nbsp, QLatin1Char(' '));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    const QByteArray utf8 = text.toUtf8();
    return Utf8ToSjis(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
}

bool HoldsLineBreak(const std::string& line) {
    return line.find_first_of("\r\n") != std::string::npos;
}

} // namespace

TLineCache::TLineCache(QTextDocument& document, QObject* parent)
    : QObject(parent), document_(document) {
    ReadBlocks(0, 0, 0, document_.blockCount() - 1);
    connect(&document_, &QTextDocument::contentsChange, this, &TLineCache::ContentsChange);
}

// The document always has a block; an empty last block is the empty rest
// after the text's final line break, not a line of its own.
size_t TLineCache::Count() const {
    if (!Regular())
        return Joined().Count();
    return blocks_.size() - (blocks_.back().empty() ? 1 : 0);
}

std::string_view TLineCache::Line(size_t index) const {
    if (!Regular())
        return Joined().Line(index);
    return blocks_[index];
}

bool TLineCache::LastLineHasBreak() const {
    if (!Regular())
        return Joined().LastLineHasBreak();
    return blocks_.size() > 1 && blocks_.back().empty();
}

const TTextLines& TLineCache::Joined() const {
    if (!joinedValid_) {
        std::string text;
        for (size_t i = 0; i < blocks_.size(); ++i) {
            if (i > 0)
                text += "\r\n";
            text += blocks_[i];
        }
        joined_ = TTextLines(std::move(text));
        joinedValid_ = true;
    }
    return joined_;
}

void TLineCache::ContentsChange(int position, int /*charsRemoved*/, int charsAdded) {
    const int known = static_cast<int>(blocks_.size());
    TChangedBlocks changed;
    if (ChangedBlocks(document_, position, charsAdded, known, changed))
        ReadBlocks(changed.First, changed.Removed, changed.First, changed.Last);
    else
        ReadBlocks(0, known, 0, document_.blockCount() - 1);
}

void TLineCache::ReadBlocks(int first, int removed, int firstBlock, int lastBlock) {
    const bool wasRegular = Regular();
    // A document counts its blocks in an int.
    const int oldCount = blocks_.empty() ? 0 : static_cast<int>(Count());
    const auto from = blocks_.begin() + first;
    irregular_ -= static_cast<int>(std::count_if(from, from + removed, HoldsLineBreak));
    std::vector<std::string> lines;
    lines.reserve(static_cast<size_t>(lastBlock - firstBlock + 1));
    for (QTextBlock block = document_.findBlockByNumber(firstBlock);
         block.isValid() && block.blockNumber() <= lastBlock; block = block.next())
        lines.push_back(SjisLine(block));
    irregular_ += static_cast<int>(std::count_if(lines.begin(), lines.end(), HoldsLineBreak));
    const int added = static_cast<int>(lines.size());
    // The lines that stay in number are replaced where they are: a key in
    // a long text then moves none of the lines after it.
    const int kept = std::min(removed, added);
    std::move(lines.begin(), lines.begin() + kept, from);
    if (removed > kept)
        blocks_.erase(from + kept, from + removed);
    else
        blocks_.insert(from + kept, std::make_move_iterator(lines.begin() + kept),
                       std::make_move_iterator(lines.end()));
    joinedValid_ = false;
    const int newCount = static_cast<int>(Count());
    if (!wasRegular || !Regular()) {
        emit LinesChanged(0, oldCount, newCount);
        return;
    }
    // In lines: the empty last block is no line, so the counts are cut
    // at the text's end. A change at the end always takes in the last
    // line, whose break it may have added or removed.
    const int line = std::min({first, oldCount, newCount});
    emit LinesChanged(line, std::min(first + removed, oldCount) - line,
                      std::min(first + added, newCount) - line);
}

} // namespace varnoke
