#include "common/TextLines.h"

#include "common/FileSystem.h"
#include "common/ShiftJis.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace varnoke {

namespace {

// Where the first CR or LF at or after `from` stands, or text.size(). Lines
// are short and many: sixteen bytes at a time where the processor allows.
size_t FindLineBreak(std::string_view text, size_t from) {
    const char* const begin = text.data();
    const char* p = begin + from;
    const char* const end = begin + text.size();
#if defined(__SSE2__)
    const __m128i carriageReturn = _mm_set1_epi8('\r');
    const __m128i lineFeed = _mm_set1_epi8('\n');
    for (; end - p >= 16; p += 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const int found = _mm_movemask_epi8(
            _mm_or_si128(_mm_cmpeq_epi8(chunk, carriageReturn), _mm_cmpeq_epi8(chunk, lineFeed)));
        if (found != 0)
            return static_cast<size_t>(p - begin) + static_cast<size_t>(__builtin_ctz(found));
    }
#endif
    while (p != end && *p != '\r' && *p != '\n')
        ++p;
    return static_cast<size_t>(p - begin);
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
    size_t position = 0;
    while (position < text.size()) {
        const size_t end = FindLineBreak(text, position);
        ends_.PushBack(end);
        if (end == text.size())
            return; // the last line has no break
        position = AfterBreak(text, end);
    }
    lastLineHasBreak_ = ends_.Size() > 0;
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
