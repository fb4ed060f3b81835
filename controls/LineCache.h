// The editor's text as the page writers read it, kept in step with every
// change of the document: a change converts only the lines it touched to
// Shift-JIS (characters Shift-JIS lacks become character references here,
// on the way to the pages, and only here), so a key press in a large text
// costs next to nothing, and the build reads the lines without a copy.
#pragma once

#include "common/LineSource.h"
#include "common/TextLines.h"

#include <QObject>
#include <string>
#include <vector>

class QTextDocument;

namespace varnoke {

class TLineCache : public QObject, public TLineSource {
    Q_OBJECT

  public:
    // Follows the document from now on; it must outlive the cache.
    explicit TLineCache(QTextDocument& document, QObject* parent = nullptr);

    size_t Count() const override;
    std::string_view Line(size_t index) const override;
    bool LastLineHasBreak() const override;

    // False while a line of the document holds a line break of its own (a
    // pasted line separator): the document's blocks are then not the
    // text's lines, and changes are reported as changes of the whole text.
    bool Regular() const { return irregular_ == 0; }

  signals:
    // Lines [first, first + removed) of the text before the change are
    // now lines [first, first + added).
    void LinesChanged(int first, int removed, int added);

  private:
    void ContentsChange(int position, int charsRemoved, int charsAdded);
    void ReadBlocks(int first, int removed, int firstBlock, int lastBlock);
    const TTextLines& Joined() const;

    QTextDocument& document_;
    std::vector<std::string> blocks_; // one per block of the document, in CP932
    int irregular_ = 0;               // blocks holding a line break
    mutable TTextLines joined_;       // the lines, while not Regular()
    mutable bool joinedValid_ = false;
};

} // namespace varnoke
