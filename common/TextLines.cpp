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

// Calls found(position) for every line break of the text, in order: at a
// lone CR or LF, and at the CR of a CR LF. Lines are short and many: sixteen
// bytes are looked at in one step where the processor allows, and every
// break among them is taken from one mask.
template <class TFound> void ForEachLineBreak(std::string_view text, TFound&& found) {
    size_t offset = 0;
    bool afterCarriageReturn = false; // the byte before `offset` is a CR
#if defined(__SSE2__)
    const __m128i carriageReturn = _mm_set1_epi8('\r');
    const __m128i lineFeed = _mm_set1_epi8('\n');
    for (; text.size() - offset >= 16; offset += 16) {
        const __m128i chunk =
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + offset));
        const auto crs =
            static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, carriageReturn)));
        const auto lfs = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, lineFeed)));
        // An LF right after a CR is the second half of one break.
        const unsigned secondHalves = lfs & ((crs << 1) | (afterCarriageReturn ? 1u : 0u));
        afterCarriageReturn = (crs >> 15) != 0;
        for (unsigned mask = crs | (lfs & ~secondHalves); mask != 0; mask &= mask - 1)
            found(offset + static_cast<size_t>(__builtin_ctz(mask)));
    }
#endif
    for (; offset < text.size(); ++offset) {
        const char byte = text[offset];
        if (byte == '\r' || (byte == '\n' && !afterCarriageReturn))
            found(offset);
        afterCarriageReturn = byte == '\r';
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
    ForEachLineBreak(text, [&](size_t position) { ends_.PushBack(position); });
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
