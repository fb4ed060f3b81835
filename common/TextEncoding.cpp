#include "common/TextEncoding.h"

#include "common/ShiftJis.h"

#include <algorithm>
#include <unordered_map>

namespace varnoke {

namespace {

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view Utf16LeMark = "\xFF\xFE";
constexpr std::string_view Utf16BeMark = "\xFE\xFF";
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

// ---- UTF-16 ------------------------------------------------------------

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

bool IsHighSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit < 0xDC00;
}
bool IsLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit < 0xE000;
}

// UTF-16 code units (after the mark) as UTF-8. A lone surrogate or a last
// odd byte becomes U+FFFD.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian, TDecodedText& decoded) {
    const auto unitAt = [&](size_t at) -> char32_t {
        const auto first = static_cast<unsigned char>(bytes[at]);
        const auto second = static_cast<unsigned char>(bytes[at + 1]);
        return bigEndian ? (first << 8 | second) : (second << 8 | first);
    };
    std::string utf8;
    utf8.reserve(bytes.size() * 3 / 2);
    size_t at = 0;
    for (; at + 1 < bytes.size(); at += 2) {
        char32_t c = unitAt(at);
        if (IsHighSurrogate(c) && at + 3 < bytes.size() && IsLowSurrogate(unitAt(at + 2))) {
            c = 0x10000 + ((c - 0xD800) << 10) + (unitAt(at + 2) - 0xDC00);
            at += 2;
        } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
            c = 0xFFFD;
            decoded.HasUnreadableBytes = true;
        }
        decoded.HasNulBytes = decoded.HasNulBytes || c == 0;
        AppendUtf8(utf8, c);
    }
    if (at < bytes.size()) {
        utf8.append(ReplacementCharacter);
        decoded.HasUnreadableBytes = true;
    }
    return utf8;
}

// Valid UTF-8 (the editor's characters) as UTF-16 code units.
std::string Utf8ToUtf16(std::string_view utf8, bool bigEndian) {
    std::string bytes;
    bytes.reserve(utf8.size() * 2);
    const auto appendUnit = [&](char32_t unit) {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        bytes.push_back(bigEndian ? high : low);
        bytes.push_back(bigEndian ? low : high);
    };
    while (!utf8.empty()) {
        char32_t c = 0xFFFD;
        size_t length = Utf8CharacterLength(utf8, c);
        if (length == 0) {
            c = 0xFFFD;
            length = 1;
        }
        if (c >= 0x10000) {
            appendUnit(0xD800 + ((c - 0x10000) >> 10));
            appendUnit(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            appendUnit(c);
        }
        utf8.remove_prefix(length);
    }
    return bytes;
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
    std::string utf8;
    if (HasUtf16ByteOrderMark(fileBytes)) {
        const bool bigEndian = fileBytes.substr(0, Utf16BeMark.size()) == Utf16BeMark;
        decoded.Format.Encoding = bigEndian ? TTextEncoding::Utf16Be : TTextEncoding::Utf16Le;
        utf8 = Utf16ToUtf8(fileBytes.substr(Utf16LeMark.size()), bigEndian, decoded);
        decoded.Format.LineBreak = FirstLineBreak(utf8);
        decoded.Utf8 = WithNewlines(utf8);
        return decoded;
    }
    decoded.HasNulBytes = fileBytes.find('\0') != std::string_view::npos;
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
    case TTextEncoding::Utf16Le:
        return std::string(Utf16LeMark) + Utf8ToUtf16(text, false);
    case TTextEncoding::Utf16Be:
        return std::string(Utf16BeMark) + Utf8ToUtf16(text, true);
    }
    return text;
}

bool HasUtf16ByteOrderMark(std::string_view fileBytes) {
    const std::string_view mark = fileBytes.substr(0, 2);
    return mark == Utf16LeMark || mark == Utf16BeMark;
}

const char* EncodingName(TTextEncoding encoding) {
    switch (encoding) {
    case TTextEncoding::ShiftJis:
        return "Shift-JIS";
    case TTextEncoding::Utf8:
        return "UTF-8";
    case TTextEncoding::Utf8WithBom:
        return "UTF-8 (BOM)";
    case TTextEncoding::Utf16Le:
        return "UTF-16 LE";
    case TTextEncoding::Utf16Be:
        return "UTF-16 BE";
    }
    return "";
}

} // namespace varnoke
