#include "common/TextLines.h"

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

TTextLines::TTextLines(TMappedFile sjisFile) : file_(std::move(sjisFile)) {
    FindLines();
}

std::string_view TTextLines::Text() const {
    return file_.Bytes().data() != nullptr ? file_.Bytes() : std::string_view(text_);
}

void TTextLines::FindLines() {
    const std::string_view text = Text();
    size_t position = 0;
    while (position < text.size()) {
        if (count_ % CheckpointEvery == 0)
            checkpoints_.push_back(position);
        const size_t end = FindLineBreak(text, position);
        ++count_;
        if (end == text.size())
            return; // the last line has no break
        position = AfterBreak(text, end);
    }
    lastLineHasBreak_ = count_ > 0;
}

std::string_view TTextLines::Line(int index) const {
    const std::string_view text = Text();
    if (index != cursorIndex_) {
        size_t begin;
        if (cursorIndex_ >= 0 && index == cursorIndex_ + 1) {
            begin = AfterBreak(text, cursorEnd_);
        } else {
            begin = checkpoints_[static_cast<size_t>(index / CheckpointEvery)];
            for (int skip = index % CheckpointEvery; skip > 0; --skip)
                begin = AfterBreak(text, FindLineBreak(text, begin));
        }
        cursorIndex_ = index;
        cursorBegin_ = begin;
        cursorEnd_ = FindLineBreak(text, begin);
    }
    return text.substr(cursorBegin_, cursorEnd_ - cursorBegin_);
}

bool LoadTextLines(std::string_view sjisPath, TTextLines& lines) {
    TMappedFile file;
    if (!file.Open(sjisPath))
        return false;
    if (std::optional<std::string> converted = Utf8TextToSjis(file.Bytes()))
        lines = TTextLines(std::move(*converted));
    else
        lines = TTextLines(std::move(file));
    return true;
}

std::string DecodeTextFile(std::string_view fileBytes) {
    if (std::optional<std::string> converted = Utf8TextToSjis(fileBytes))
        return std::move(*converted);
    return std::string(fileBytes);
}

} // namespace varnoke
