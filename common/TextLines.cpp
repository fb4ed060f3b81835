#include "common/TextLines.h"

#include "common/ShiftJis.h"

namespace varnoke {

namespace {
// The length of the line break at `position`: 2 for CR LF, 1 for a lone CR
// or LF.
size_t BreakLength(std::string_view text, size_t position) {
    return text[position] == '\r' && position + 1 < text.size() && text[position + 1] == '\n' ? 2
                                                                                              : 1;
}
} // namespace

TTextLines::TTextLines(std::string sjisText) : text_(std::move(sjisText)) {
    FindLines();
}

void TTextLines::FindLines() {
    const std::string_view text = text_;
    ends_.reserve(text.size() / 32 + 1);
    size_t position = 0;
    while (position < text.size()) {
        const size_t end = text.find_first_of("\r\n", position);
        if (end == std::string_view::npos) {
            ends_.push_back(text.size());
            return;
        }
        ends_.push_back(end);
        position = end + BreakLength(text, end);
    }
    lastLineHasBreak_ = !ends_.empty();
}

std::string_view TTextLines::Line(int index) const {
    const std::string_view text = text_;
    const size_t i = static_cast<size_t>(index);
    const size_t begin = i == 0 ? 0 : ends_[i - 1] + BreakLength(text, ends_[i - 1]);
    return text.substr(begin, ends_[i] - begin);
}

std::string DecodeTextFile(std::string_view fileBytes) {
    constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";
    if (fileBytes.substr(0, 3) == byteOrderMark)
        return Utf8ToSjis(fileBytes.substr(3));
    if (LooksLikeUtf8Text(fileBytes))
        return Utf8ToSjis(fileBytes);
    return std::string(fileBytes);
}

} // namespace varnoke
