#include "common/ShiftJis.h"

#include "common/Errors.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
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
    // Both made at the first character beyond ASCII: most conversions (file
    // names, a command line) never need them, and a short-lived tool
    // should not pay for them at start.
    std::vector<std::uint16_t> Bmp;
    std::optional<TIconv> Converter;

    std::uint16_t Lookup(char32_t codePoint, std::string_view utf8) {
        if (codePoint > 0xFFFF)
            return Unmappable; // CP932 has nothing beyond the basic plane
        if (Bmp.empty())
            Bmp.assign(0x10000, Unknown);
        std::uint16_t& entry = Bmp[codePoint];
        if (entry == Unknown)
            entry = Ask(utf8);
        return entry;
    }

  private:
    std::uint16_t Ask(std::string_view utf8) {
        if (!Converter)
            Converter.emplace("CP932", "UTF-8");
        std::string bytes;
        if (!Converter->Convert(utf8, bytes) || bytes.empty() || bytes.size() > 2)
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

// The number of ASCII bytes at the start of `text`, eight at a time: they
// are the same in UTF-8 and CP932, and most of a manual is ASCII.
size_t AsciiRunLength(std::string_view text) {
    size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + i, 8);
        if (word & 0x8080808080808080u)
            break;
    }
    while (i < text.size() && static_cast<unsigned char>(text[i]) < 0x80)
        ++i;
    return i;
}

enum class TInvalidUtf8 {
    PassThrough, // keep the byte as it is
    Stop,        // give up: the text is not UTF-8
};

// The two kinds of output a conversion writes into.
void AppendBytes(std::string& out, std::string_view bytes) {
    out.append(bytes);
}
void AppendBytes(TByteBuffer& out, std::string_view bytes) {
    out.Append(bytes);
}
void ReserveBytes(std::string& out, size_t size) {
    out.reserve(size);
}
void ReserveBytes(TByteBuffer& out, size_t size) {
    out.Reserve(size);
}

// Appends the CP932 form of UTF-8 text to `out` (a std::string or a
// TByteBuffer); false when told to stop at a byte that is not valid UTF-8.
template <class TOutput>
bool AppendUtf8AsSjis(std::string_view utf8, TOutput& out, TUnmappable policy,
                      TInvalidUtf8 invalid) {
    TUnicodeToSjisTable& table = UnicodeToSjis();
    std::lock_guard<std::mutex> lock(table.Mutex);
    for (;;) {
        const size_t ascii = AsciiRunLength(utf8);
        AppendBytes(out, utf8.substr(0, ascii));
        utf8.remove_prefix(ascii);
        if (utf8.empty())
            return true;
        char32_t codePoint = 0;
        const size_t length = Utf8SequenceLength(utf8, codePoint);
        if (length == 0) {
            if (invalid == TInvalidUtf8::Stop)
                return false;
            AppendBytes(out, utf8.substr(0, 1));
            utf8.remove_prefix(1);
            continue;
        }
        const std::uint16_t sjis = table.Lookup(codePoint, utf8.substr(0, length));
        if (sjis == TUnicodeToSjisTable::Unmappable) {
            if (policy == TUnmappable::Fail)
                throw EConvertError(std::string("文字 \"") + std::string(utf8.substr(0, length)) +
                                    "\" は Shift-JIS で表せません");
            const std::string reference =
                "&#" + std::to_string(static_cast<unsigned long>(codePoint)) + ";";
            AppendBytes(out, reference);
        } else if (sjis > 0xFF) {
            const char pair[] = {static_cast<char>(sjis >> 8), static_cast<char>(sjis & 0xFF)};
            AppendBytes(out, std::string_view(pair, 2));
        } else {
            const char single = static_cast<char>(sjis);
            AppendBytes(out, std::string_view(&single, 1));
        }
        utf8.remove_prefix(length);
    }
}

// The conversion of a text file's bytes into `out` when they are UTF-8 text.
template <class TOutput> bool ConvertUtf8Text(std::string_view fileBytes, TOutput& out) {
    constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";
    const bool marked = fileBytes.substr(0, 3) == byteOrderMark;
    if (marked) {
        fileBytes.remove_prefix(3);
    } else {
        // Most CP932 texts show at their first non-ASCII character that
        // they are not UTF-8; plain ASCII is the same in both.
        const size_t ascii = AsciiRunLength(fileBytes);
        char32_t codePoint = 0;
        if (ascii == fileBytes.size() ||
            Utf8SequenceLength(fileBytes.substr(ascii), codePoint) == 0)
            return false;
    }
    ReserveBytes(out, fileBytes.size());
    // With the mark the file says it is UTF-8, so stray bytes stay.
    return AppendUtf8AsSjis(fileBytes, out, TUnmappable::CharacterReference,
                            marked ? TInvalidUtf8::PassThrough : TInvalidUtf8::Stop);
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
    std::string out;
    out.reserve(utf8.size());
    AppendUtf8AsSjis(utf8, out, policy, TInvalidUtf8::PassThrough);
    return out;
}

std::optional<std::string> Utf8TextToSjis(std::string_view fileBytes) {
    std::string out;
    if (!ConvertUtf8Text(fileBytes, out))
        return std::nullopt;
    return out;
}

bool Utf8TextToSjis(std::string_view fileBytes, TByteBuffer& sjis) {
    sjis.Resize(0);
    return ConvertUtf8Text(fileBytes, sjis);
}

std::string SjisToUtf8(std::string_view sjis) {
    // ASCII is the same in both: most paths and messages need no converter.
    if (AsciiRunLength(sjis) == sjis.size())
        return std::string(sjis);
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

std::vector<char16_t> SjisDoubleByteCharacters(const std::vector<std::uint16_t>& codes) {
    TIconv converter("UTF-16LE", "CP932");
    std::vector<char16_t> characters;
    characters.reserve(codes.size());
    std::string unit;
    for (const std::uint16_t code : codes) {
        const char bytes[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
        std::string_view in(bytes, 2);
        unit.clear();
        if (converter.Convert(in, unit) && unit.size() == 2)
            characters.push_back(static_cast<char16_t>(static_cast<unsigned char>(unit[0]) |
                                                       static_cast<unsigned char>(unit[1]) << 8));
        else
            characters.push_back(u'\uFFFD');
    }
    return characters;
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
