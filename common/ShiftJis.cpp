#include "common/ShiftJis.h"

#include "common/Errors.h"

#include <cerrno>
#include <cstdint>
#include <iconv.h>
#include <mutex>
#include <stdexcept>
#include <vector>

namespace varnoke {

namespace {

// One iconv descriptor per conversion call keeps the code free of shared
// state; opening one costs a few microseconds.
class TIconv {
  public:
    TIconv(const char* to, const char* from) : handle_(iconv_open(to, from)) {
        if (handle_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("iconv cannot convert from ") + from + " to " +
                                     to);
    }
    ~TIconv() { iconv_close(handle_); }
    TIconv(const TIconv&) = delete;
    TIconv& operator=(const TIconv&) = delete;

    // Converts as much as possible; returns false at an unconvertible or
    // incomplete sequence, leaving `in` at its first byte.
    bool Convert(std::string_view& in, std::string& out) {
        char buffer[4096];
        while (!in.empty()) {
            char* inPtr = const_cast<char*>(in.data());
            size_t inLeft = in.size();
            char* outPtr = buffer;
            size_t outLeft = sizeof buffer;
            size_t result = iconv(handle_, &inPtr, &inLeft, &outPtr, &outLeft);
            out.append(buffer, static_cast<size_t>(outPtr - buffer));
            in.remove_prefix(in.size() - inLeft);
            if (result == static_cast<size_t>(-1) && errno != E2BIG) {
                iconv(handle_, nullptr, nullptr, nullptr, nullptr);
                return false;
            }
        }
        return true;
    }

  private:
    iconv_t handle_;
};

// Length of the valid UTF-8 sequence at the start of `text`, 0 when invalid.
size_t Utf8SequenceLength(std::string_view text, char32_t& codePoint) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    if (text.empty())
        return 0;
    unsigned char lead = byte(0);
    size_t length;
    char32_t minimum;
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, codePoint = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, codePoint = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, codePoint = lead & 0x07, minimum = 0x10000;
    } else {
        return 0;
    }
    if (text.size() < length)
        return 0;
    for (size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return 0;
        codePoint = (codePoint << 6) | (byte(i) & 0x3F);
    }
    if (codePoint < minimum || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return 0;
    return length;
}

bool IsHalfOrFullWidthLower(std::string_view text, size_t i, size_t& width) {
    unsigned char b = static_cast<unsigned char>(text[i]);
    if (IsSjisLeadByte(b)) {
        width = i + 1 < text.size() ? 2 : 1;
        // Full-width a to z: 0x82 0x81 .. 0x82 0x9A.
        return width == 2 && b == 0x82 && static_cast<unsigned char>(text[i + 1]) >= 0x81 &&
               static_cast<unsigned char>(text[i + 1]) <= 0x9A;
    }
    width = 1;
    return b >= 'a' && b <= 'z';
}

// The CP932 form of each character, asked of iconv once per character and
// kept: a call into iconv costs microseconds, and the window converts its
// whole text on every key press. Holds 0 for "not asked yet", Unmappable,
// a single byte, or lead byte * 256 + trail byte.
struct TUnicodeToSjisTable {
    static constexpr std::uint16_t Unknown = 0;
    static constexpr std::uint16_t Unmappable = 0xFFFF;

    std::mutex Mutex;
    std::vector<std::uint16_t> Bmp = std::vector<std::uint16_t>(0x10000, Unknown);
    TIconv Converter{"CP932", "UTF-8"};

    std::uint16_t Lookup(char32_t codePoint, std::string_view utf8) {
        if (codePoint > 0xFFFF)
            return Unmappable; // CP932 has nothing beyond the basic plane
        std::uint16_t& entry = Bmp[codePoint];
        if (entry == Unknown)
            entry = Ask(utf8);
        return entry;
    }

  private:
    std::uint16_t Ask(std::string_view utf8) {
        std::string bytes;
        if (!Converter.Convert(utf8, bytes) || bytes.empty() || bytes.size() > 2)
            return Unmappable;
        if (bytes.size() == 1)
            return static_cast<unsigned char>(bytes[0]);
        return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[0]) << 8 |
                                          static_cast<unsigned char>(bytes[1]));
    }
};

TUnicodeToSjisTable& UnicodeToSjis() {
    static TUnicodeToSjisTable table;
    return table;
}

} // namespace

size_t Utf8CharacterLength(std::string_view text, char32_t& codePoint) {
    return Utf8SequenceLength(text, codePoint);
}

bool IsSjisTrailByte(unsigned char byte) {
    return byte >= 0x40 && byte <= 0xFC && byte != 0x7F;
}

bool IsSjisLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

std::string SjisUpperCase(std::string_view text) {
    std::string result(text);
    size_t width = 1;
    for (size_t i = 0; i < result.size(); i += width) {
        if (!IsHalfOrFullWidthLower(result, i, width))
            continue;
        if (width == 1)
            result[i] = static_cast<char>(result[i] - 'a' + 'A');
        else
            result[i + 1] = static_cast<char>(static_cast<unsigned char>(result[i + 1]) - 0x21);
    }
    return result;
}

bool SjisSameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && SjisUpperCase(a) == SjisUpperCase(b);
}

std::string Utf8ToSjis(std::string_view utf8, TUnmappable policy) {
    TUnicodeToSjisTable& table = UnicodeToSjis();
    std::lock_guard<std::mutex> lock(table.Mutex);
    std::string out;
    out.reserve(utf8.size());
    while (!utf8.empty()) {
        const unsigned char first = static_cast<unsigned char>(utf8.front());
        if (first < 0x80) { // ASCII is the same in both
            out.push_back(static_cast<char>(first));
            utf8.remove_prefix(1);
            continue;
        }
        char32_t codePoint = 0;
        const size_t length = Utf8SequenceLength(utf8, codePoint);
        if (length == 0) {
            out.push_back(utf8.front()); // not UTF-8 at all: keep the byte
            utf8.remove_prefix(1);
            continue;
        }
        const std::uint16_t sjis = table.Lookup(codePoint, utf8.substr(0, length));
        if (sjis == TUnicodeToSjisTable::Unmappable) {
            if (policy == TUnmappable::Fail)
                throw EConvertError(std::string("文字 \"") + std::string(utf8.substr(0, length)) +
                                    "\" は Shift-JIS で表せません");
            out += "&#" + std::to_string(static_cast<unsigned long>(codePoint)) + ";";
        } else if (sjis > 0xFF) {
            out.push_back(static_cast<char>(sjis >> 8));
            out.push_back(static_cast<char>(sjis & 0xFF));
        } else {
            out.push_back(static_cast<char>(sjis));
        }
        utf8.remove_prefix(length);
    }
    return out;
}

std::string SjisToUtf8(std::string_view sjis) {
    TIconv converter("UTF-8", "CP932");
    std::string out;
    out.reserve(sjis.size() + sjis.size() / 2);
    while (!converter.Convert(sjis, out)) {
        size_t skip = 1;
        if (IsSjisLeadByte(static_cast<unsigned char>(sjis[0])) && sjis.size() > 1 &&
            IsSjisTrailByte(static_cast<unsigned char>(sjis[1])))
            skip = 2; // an unassigned double-byte character
        out += "\xEF\xBF\xBD";
        sjis.remove_prefix(skip);
    }
    return out;
}

bool LooksLikeUtf8Text(std::string_view bytes) {
    bool multiByte = false;
    while (!bytes.empty()) {
        char32_t codePoint = 0;
        size_t length = Utf8SequenceLength(bytes, codePoint);
        if (length == 0)
            return false;
        multiByte = multiByte || length > 1;
        bytes.remove_prefix(length);
    }
    return multiByte;
}

std::string Sjis(std::string_view utf8Literal) {
    return Utf8ToSjis(utf8Literal);
}

} // namespace varnoke
