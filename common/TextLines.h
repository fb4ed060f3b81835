// A line source over a whole text held in memory: the lines are found at CR
// LF, lone LF or lone CR and handed out in place, without their breaks,
// however long they are. Nothing is copied; a table holds where each line
// ends.
#pragma once

#include "common/ByteBuffer.h"
#include "common/LineSource.h"
#include "common/NativePath.h"

#include <string>
#include <string_view>

namespace varnoke {

class TTextLines : public TLineSource {
  public:
    TTextLines() = default;
    // `sjisText` is CP932 text; see DecodeTextFile for file bytes.
    explicit TTextLines(std::string sjisText);
    // The same in a byte buffer: a whole text file, read or converted.
    explicit TTextLines(TByteBuffer sjisText);

    size_t Count() const override { return ends_.Size(); }
    // Here, so that a line source wrapping this one makes one call a line.
    std::string_view Line(size_t index) const override {
        const std::string_view text = Text();
        const size_t begin = index == 0 ? 0 : AfterBreak(text, ends_[index - 1]);
        return text.substr(begin, ends_[index] - begin);
    }
    bool LastLineHasBreak() const override { return lastLineHasBreak_; }

  private:
    std::string_view Text() const {
        return buffer_.Data() != nullptr ? buffer_.View() : std::string_view(text_);
    }
    // Where the line after a break at `position` begins: CR LF is one break.
    static size_t AfterBreak(std::string_view text, size_t position) {
        const bool crLf =
            text[position] == '\r' && position + 1 < text.size() && text[position + 1] == '\n';
        return position + (crLf ? 2 : 1);
    }
    void FindLines();

    std::string text_;         // the text, when it came as a string
    TByteBuffer buffer_;       // or when it came in a buffer
    TLargeArray<size_t> ends_; // where each line's bytes end: at its break or the text's end
    bool lastLineHasBreak_ = false;
};

// What reading a text file showed besides its lines.
struct TTextFileSigns {
    // NUL characters in a text without a UTF-16 byte-order mark: most
    // likely no text, or UTF-16 written without its mark.
    bool NulBytes = false;
};

// Reads a text file as lines: a UTF-8 or UTF-16 file (see DecodeTextFile)
// is converted, any other is used as it was read. Returns false when the
// file does not exist; throws EFOpenError when it cannot be read.
bool LoadTextLines(const TNativePath& path, TTextLines& lines, TTextFileSigns* signs = nullptr);

// The bytes of a text file as CP932: a file that starts with a UTF-16 or
// UTF-8 byte-order mark, or that is valid UTF-8 holding multi-byte
// characters, is converted (characters CP932 lacks become "&#NNNN;"); any
// other file is taken as CP932 already.
std::string DecodeTextFile(std::string_view fileBytes);

} // namespace varnoke
