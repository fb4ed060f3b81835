#include "common/TextLines.h"

#include "common/FileSystem.h"
#include "common/ShiftJis.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace varnoke {

namespace {

bool IsLineBreak(char byte) {
    return byte == '\r' || byte == '\n';
}

// Calls found(position) for every CR and LF of the text, in order. Lines
// are short and many: sixteen bytes are looked at in one step where the
// processor allows, and every break among them is taken from one mask.
template <class TFound> void ForEachLineBreakByte(std::string_view text, TFound&& found) {
    size_t offset = 0;
#if defined(__SSE2__)
    const __m128i carriageReturn = _mm_set1_epi8('\r');
    const __m128i lineFeed = _mm_set1_epi8('\n');
    for (; text.size() - offset >= 16; offset += 16) {
        const __m128i chunk =
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + offset));
        unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(
            _mm_or_si128(_mm_cmpeq_epi8(chunk, carriageReturn), _mm_cmpeq_epi8(chunk, lineFeed))));
        for (; mask != 0; mask &= mask - 1)
            found(offset + static_cast<size_t>(__builtin_ctz(mask)));
    }
#endif
    for (; offset < text.size(); ++offset) {
        if (IsLineBreak(text[offset]))
            found(offset);
    }
}

// Where the line after a break at `position` begins: CR LF is one break.
size_t AfterBreak(std::string_view text, size_t position) {
    const bool crLf =
        text[position] == '\r' && position + 1 < text.size() && text[position + 1] == '\n';
    return position + (crLf ? 2 : 1);
}

} // namespace

TTextLines::TTextLines(std::string sjisText) : text_(std::move(sjisText)) {
    FindLines();
}

TTextLines::TTextLines(TByteBuffer sjisText) : buffer_(std::move(sjisText)) {
    FindLines();
}

std::string_view TTextLines::Text() const {
    return buffer_.Data() != nullptr ? buffer_.View() : std::string_view(text_);
}

void TTextLines::FindLines() {
    const std::string_view text = Text();
    ends_.Reserve(text.size() / 32 + 1); // a guess: lines are rarely shorter
    ForEachLineBreakByte(text, [&](size_t position) {
        if (text[position] == '\n' && position > 0 && text[position - 1] == '\r')
            return; // the second half of a CR LF
        ends_.PushBack(position);
    });
    lastLineHasBreak_ = !text.empty() && IsLineBreak(text.back());
    if (!text.empty() && !lastLineHasBreak_)
        ends_.PushBack(text.size()); // the last line, without a break
}

std::string_view TTextLines::Line(int index) const {
    const std::string_view text = Text();
    const size_t i = static_cast<size_t>(index);
    const size_t begin = i == 0 ? 0 : AfterBreak(text, ends_[i - 1]);
    return text.substr(begin, ends_[i] - begin);
}

bool LoadTextLines(std::string_view sjisPath, TTextLines& lines) {
    TByteBuffer bytes;
    if (!ReadWholeFile(sjisPath, bytes))
        return false;
    TByteBuffer converted;
    if (Utf8TextToSjis(bytes.View(), converted))
        lines = TTextLines(std::move(converted));
    else
        lines = TTextLines(std::move(bytes));
    return true;
}

std::string DecodeTextFile(std::string_view fileBytes) {
    if (std::optional<std::string> converted = Utf8TextToSjis(fileBytes))
        return std::move(*converted);
    return std::string(fileBytes);
}

} // namespace varnoke
