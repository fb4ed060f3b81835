#include "common/TextEncoding.h"

#include "common/ShiftJis.h"

#include <algorithm>
#include <unordered_map>

namespace varnoke {

namespace {

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view ReplacementCharacter = "\xEF\xBF\xBD";

TLineBreak FirstLineBreak(std::string_view text) {
    const size_t at = text.find_first_of("\r\n");
    if (at == std::string_view::npos)
        return TLineBreak::CrLf;
    if (text[at] == '\n')
        return TLineBreak::Lf;
    return at + 1 < text.size() && text[at + 1] == '\n' ? TLineBreak::CrLf : TLineBreak::Cr;
}

// CR LF and lone CR become "\n". Neither byte can be the second half of a
// Shift-JIS character, so this works on either encoding.
std::string WithNewlines(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r') {
            result.push_back(text[i]);
            continue;
        }
        result.push_back('\n');
        if (i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
    }
    return result;
}

std::string WithLineBreaks(std::string_view text, TLineBreak lineBreak) {
    if (lineBreak == TLineBreak::Lf)
        return std::string(text);
    const std::string_view replacement = lineBreak == TLineBreak::CrLf ? "\r\n" : "\r";
    std::string result;
    result.reserve(text.size() + text.size() / 32);
    for (char c : text) {
        if (c == '\n')
            result.append(replacement);
        else
            result.push_back(c);
    }
    return result;
}

// Valid UTF-8 stays as it is; each byte that starts no valid sequence
// becomes U+FFFD, so that the result is always valid.
std::string RepairedUtf8(std::string_view bytes, bool& repaired) {
    std::string result;
    result.reserve(bytes.size());
    while (!bytes.empty()) {
        char32_t codePoint = 0;
        size_t length = Utf8CharacterLength(bytes, codePoint);
        if (length == 0) {
            result.append(ReplacementCharacter);
            repaired = true;
            length = 1;
        } else {
            result.append(bytes.substr(0, length));
        }
        bytes.remove_prefix(length);
    }
    return result;
}

// Only these lead bytes start the codes of characters CP932 codes more than
// once and that the converter does not write: NEC row 13, the NEC-selected
// IBM extensions and the IBM extensions.
bool MayBeSecondCode(unsigned char lead) {
    return lead == 0x87 || lead == 0xED || lead == 0xEE || lead >= 0xFA;
}

// Calls visit with the offset of each double-byte code of the text.
template <typename TVisit> void ForEachDoubleByteCode(std::string_view sjis, TVisit visit) {
    for (size_t i = 0; i < sjis.size();) {
        if (!IsSjisLeadByte(static_cast<unsigned char>(sjis[i])) || i + 1 >= sjis.size()) {
            ++i;
            continue;
        }
        visit(i);
        i += 2;
    }
}

std::vector<std::pair<std::string, std::string>> SecondCodesIn(std::string_view sjis) {
    std::vector<std::pair<std::string, std::string>> kept;
    ForEachDoubleByteCode(sjis, [&](size_t at) {
        const std::string_view code = sjis.substr(at, 2);
        if (!MayBeSecondCode(static_cast<unsigned char>(code[0])))
            return;
        const std::string written = Utf8ToSjis(SjisToUtf8(code), TUnmappable::CharacterReference);
        if (written == code || written.size() != 2)
            return;
        const bool known = std::any_of(kept.begin(), kept.end(),
                                       [&](const auto& pair) { return pair.first == written; });
        if (!known)
            kept.emplace_back(written, std::string(code));
    });
    return kept;
}

// The converter's Shift-JIS with the file's own codes put back.
std::string WithKeptCodes(std::string sjis, const TTextFormat& format) {
    if (format.KeptSjisCodes.empty())
        return sjis;
    std::unordered_map<std::string_view, std::string_view> fileCode;
    for (const auto& [written, file] : format.KeptSjisCodes)
        fileCode.emplace(written, file);
    // Replaced in place: a code of the same length leaves the bytes where
    // they were, so the walk reads on in the same buffer.
    ForEachDoubleByteCode(sjis, [&](size_t at) {
        const auto kept = fileCode.find(std::string_view(sjis).substr(at, 2));
        if (kept != fileCode.end())
            sjis.replace(at, 2, kept->second);
    });
    return sjis;
}

} // namespace

TDecodedText DecodeText(std::string_view fileBytes) {
    TDecodedText decoded;
    decoded.HasNulBytes = fileBytes.find('\0') != std::string_view::npos;
    std::string utf8;
    if (fileBytes.substr(0, ByteOrderMark.size()) == ByteOrderMark) {
        decoded.Format.Encoding = TTextEncoding::Utf8WithBom;
        utf8 = RepairedUtf8(fileBytes.substr(ByteOrderMark.size()), decoded.HasUnreadableBytes);
    } else if (LooksLikeUtf8Text(fileBytes)) {
        decoded.Format.Encoding = TTextEncoding::Utf8;
        utf8 = std::string(fileBytes);
    } else {
        decoded.Format.Encoding = TTextEncoding::ShiftJis;
        utf8 = SjisToUtf8(fileBytes);
        decoded.Format.KeptSjisCodes = SecondCodesIn(fileBytes);
        // CP932 maps no character to U+FFFD: each one stands for bytes the
        // conversion could not read.
        decoded.HasUnreadableBytes = utf8.find(ReplacementCharacter) != std::string::npos;
    }
    decoded.Format.LineBreak = FirstLineBreak(utf8);
    decoded.Utf8 = WithNewlines(utf8);
    return decoded;
}

std::string EncodeText(std::string_view utf8, const TTextFormat& format) {
    std::string text = WithLineBreaks(utf8, format.LineBreak);
    switch (format.Encoding) {
    case TTextEncoding::ShiftJis:
        return WithKeptCodes(Utf8ToSjis(text, TUnmappable::Fail), format);
    case TTextEncoding::Utf8:
        return text;
    case TTextEncoding::Utf8WithBom:
        return std::string(ByteOrderMark) + text;
    }
    return text;
}

} // namespace varnoke
