#include "common/TextLines.h"

#include "common/ShiftJis.h"

namespace varnoke {

TTextLines::TTextLines(std::string_view sjisText) {
    text_.reserve(sjisText.size() + sjisText.size() / 32);
    starts_.reserve(sjisText.size() / 32 + 2);
    size_t position = 0;
    while (position < sjisText.size()) {
        starts_.push_back(text_.size());
        size_t end = sjisText.find_first_of("\r\n", position);
        if (end == std::string_view::npos) {
            text_.append(sjisText.substr(position));
            break;
        }
        text_.append(sjisText.substr(position, end - position));
        text_.append("\r\n");
        position = end + 1;
        if (sjisText[end] == '\r' && position < sjisText.size() && sjisText[position] == '\n')
            ++position;
    }
    starts_.push_back(text_.size());
}

std::string_view TTextLines::Line(int index) const {
    size_t begin = starts_[static_cast<size_t>(index)];
    size_t end = starts_[static_cast<size_t>(index) + 1];
    return std::string_view(text_).substr(begin, end - begin);
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
