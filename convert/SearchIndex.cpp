#include "convert/SearchIndex.h"

#include "common/ShiftJis.h"
#include "common/TextFileWriter.h"
#include "convert/LineKind.h"
#include "convert/SearchScript.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <numeric>
#include <vector>

namespace varnoke {

namespace {

// A character of the text as the scan meets it: a CP932 code (a single
// byte, or lead byte * 256 + trail byte) below CodeKeys, or a UTF-16 unit
// from a character reference at CodeKeys and above.
using TKey = std::uint32_t;
constexpr TKey CodeKeys = 0x10000;

// "&#12354;", "&#x3042;" or one of the names authors type: the length of
// the reference at the start of text (0 when there is none) and its
// character.
size_t ReadReference(std::string_view text, char32_t& character) {
    static constexpr std::pair<std::string_view, char32_t> Names[] = {
        {"&amp;", '&'},  {"&lt;", '<'},    {"&gt;", '>'},
        {"&quot;", '"'}, {"&apos;", '\''}, {"&nbsp;", ' '}};
    for (const auto& [name, named] : Names)
        if (text.substr(0, name.size()) == name) {
            character = named;
            return name.size();
        }
    if (text.size() < 4 || text[1] != '#')
        return 0;
    const bool hex = text[2] == 'x' || text[2] == 'X';
    size_t i = hex ? 3 : 2;
    char32_t value = 0;
    const size_t digitsStart = i;
    for (; i < text.size() && i - digitsStart < 8; ++i) {
        const char c = text[i];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (hex && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            break;
        value = value * (hex ? 16 : 10) + static_cast<char32_t>(digit);
    }
    if (i == digitsStart || i >= text.size() || text[i] != ';' || value == 0 || value > 0x10FFFF ||
        (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    character = value;
    return i + 1;
}

// A "<" that opens a tag (or a comment or declaration), not a lone "<" of
// the text.
bool OpensTag(std::string_view text, size_t i) {
    if (i + 1 >= text.size())
        return false;
    const char c = text[i + 1];
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '/' || c == '!' || c == '?';
}

bool IsDoubleByte(std::string_view text, size_t i) {
    return IsSjisLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() &&
           IsSjisTrailByte(static_cast<unsigned char>(text[i + 1]));
}

// The characters a reader sees of one line: markup left out, references
// read, control characters as spaces.
template <class TSink> void ScanText(std::string_view text, TSink& sink) {
    for (size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte >= 0x80) {
            if (IsDoubleByte(text, i)) {
                sink(static_cast<TKey>(byte << 8 | static_cast<unsigned char>(text[i + 1])));
                i += 2;
            } else {
                sink(byte);
                ++i;
            }
            continue;
        }
        if (byte == '<' && OpensTag(text, i)) {
            const size_t close = text.find('>', i);
            if (close != std::string_view::npos) {
                i = close + 1;
                continue;
            }
        }
        char32_t character = 0;
        const size_t reference = byte == '&' ? ReadReference(text.substr(i), character) : 0;
        if (reference == 0) {
            sink(byte < 0x20 || byte == 0x7F ? TKey(' ') : TKey(byte));
            ++i;
            continue;
        }
        i += reference;
        if (character < 0x80)
            sink(character < 0x20 || character == 0x7F ? TKey(' ') : TKey(character));
        else if (character < 0x10000)
            sink(CodeKeys + character);
        else {
            sink(CodeKeys + 0xD800 + ((character - 0x10000) >> 10));
            sink(CodeKeys + 0xDC00 + ((character - 0x10000) & 0x3FF));
        }
    }
}

// The body line without its two tabs and the tabs that indent it.
std::string_view BodyText(std::string_view line) {
    line.remove_prefix(2);
    while (!line.empty() && line.front() == '\t')
        line.remove_prefix(1);
    return line;
}

// The whole text as keys, section by section (see SearchText).
template <class TSink> void ScanSections(const TLineSource& lines, TSink& sink) {
    bool sectionOpen = false;
    for (int index = 0, count = lines.Count(); index < count; ++index) {
        const std::string_view line = lines.Line(index);
        switch (ClassifyLine(line)) {
        case TLineKind::Empty:
        case TLineKind::Comment:
            break;
        case TLineKind::MainHeading:
            sink(SectionMainHeading);
            ScanText(line, sink);
            sectionOpen = true;
            break;
        case TLineKind::Heading:
            sink(SectionHeading);
            ScanText(line.substr(1), sink);
            sectionOpen = true;
            break;
        case TLineKind::Body:
            if (!sectionOpen)
                sink(SectionTop);
            sectionOpen = true;
            sink('\n');
            ScanText(BodyText(line), sink);
            break;
        }
    }
}

// The unit a CP932 code stands for, where no converter is needed.
char16_t SingleByteCharacter(TKey key) {
    if (key < 0x80)
        return static_cast<char16_t>(key);
    if (key >= 0xA1 && key <= 0xDF) // half-width katakana
        return static_cast<char16_t>(0xFF61 + key - 0xA1);
    return u'\uFFFD';
}

// The data's alphabet: printable ASCII but the quote and the backslash.
struct TSymbols {
    std::array<char, 93> Of{};
    TSymbols() {
        size_t value = 0;
        for (char c = 32; c < 127; ++c)
            if (c != '"' && c != '\\')
                Of[value++] = c;
    }
};
constexpr int Base = 93;
constexpr int Escape = 92; // the symbol before a unit given by itself

// How many symbols start a code of one, two and three symbols; the last
// symbol is the escape.
struct TCodeLayout {
    int Singles = Escape;
    int Doubles = 0;
    int Triples = 0;
    size_t Capacity() const {
        return static_cast<size_t>(Singles) + static_cast<size_t>(Doubles) * Base +
               static_cast<size_t>(Triples) * Base * Base;
    }
};

// The layout that makes the text shortest, given the keys' counts in
// falling order: frequent characters take one symbol, rare ones three, and
// each character of the table costs three symbols of its own.
TCodeLayout ShortestLayout(const std::vector<std::uint64_t>& counts) {
    std::vector<std::uint64_t> before(counts.size() + 1, 0);
    std::partial_sum(counts.begin(), counts.end(), before.begin() + 1);
    const auto sumTo = [&](size_t rank) { return before[std::min(rank, counts.size())]; };
    TCodeLayout best;
    std::uint64_t bestCost = UINT64_MAX;
    for (int singles = 0; singles <= Escape; ++singles)
        for (int doubles = 0; singles + doubles <= Escape; ++doubles) {
            const TCodeLayout layout{singles, doubles, Escape - singles - doubles};
            const size_t one = static_cast<size_t>(singles);
            const size_t two = one + static_cast<size_t>(doubles) * Base;
            const size_t three = layout.Capacity();
            const std::uint64_t cost =
                sumTo(one) + 2 * (sumTo(two) - sumTo(one)) + 3 * (sumTo(three) - sumTo(two)) +
                4 * (sumTo(counts.size()) - sumTo(three)) + 3 * std::min(three, counts.size());
            if (cost < bestCost) {
                bestCost = cost;
                best = layout;
            }
        }
    return best;
}

// The text's characters by their counts, the codes they get, and the table
// that turns codes back into characters.
class TSearchCoder {
  public:
    explicit TSearchCoder(const TLineSource& lines) : counts_(CodeKeys, 0) {
        CountKeys(lines);
        std::vector<TKey> keys;
        for (TKey key = 0; key < CodeKeys; ++key)
            if (counts_[key] != 0)
                keys.push_back(key);
        std::stable_sort(keys.begin(), keys.end(),
                         [&](TKey a, TKey b) { return counts_[a] > counts_[b]; });
        std::vector<std::uint64_t> sorted;
        for (TKey key : keys)
            sorted.push_back(counts_[key]);
        layout_ = ShortestLayout(sorted);
        const std::vector<char16_t> units = Characters(keys);
        escapeUnits_.assign(CodeKeys, 0);
        for (size_t rank = 0; rank < keys.size(); ++rank)
            escapeUnits_[keys[rank]] = units[rank];
        const size_t tableSize = std::min(keys.size(), layout_.Capacity());
        ranked_.assign(keys.begin(), keys.begin() + static_cast<std::ptrdiff_t>(tableSize));
        units_.assign(units.begin(), units.begin() + static_cast<std::ptrdiff_t>(tableSize));
        codes_.assign(CodeKeys, 0);
        for (size_t rank = 0; rank < ranked_.size(); ++rank)
            codes_[ranked_[rank]] = CodeOfRank(rank);
    }

    const TCodeLayout& Layout() const { return layout_; }

    // The table: each character's unit in three symbols, in rank order.
    void AppendTable(std::string& out) const {
        for (char16_t unit : units_)
            AppendUnit(out, unit);
    }

    void Append(std::string& out, TKey key) const {
        const std::uint32_t code = key < CodeKeys ? codes_[key] : 0;
        if (code == 0) {
            out += symbols_.Of[Escape];
            AppendUnit(out, key < CodeKeys ? UnitOf(key) : static_cast<char16_t>(key - CodeKeys));
            return;
        }
        for (std::uint32_t length = code >> 24, i = 0; i < length; ++i)
            out += static_cast<char>(code >> (16 - 8 * i) & 0xFF);
    }

  private:
    // The characters as they stand in the file, not as the reader sees
    // them: counting every byte is fast, and its order is near enough.
    void CountKeys(const TLineSource& lines) {
        for (int index = 0, count = lines.Count(); index < count; ++index) {
            const std::string_view line = lines.Line(index);
            switch (ClassifyLine(line)) {
            case TLineKind::Empty:
            case TLineKind::Comment:
                continue;
            case TLineKind::MainHeading:
                ++counts_[SectionMainHeading];
                break;
            case TLineKind::Heading:
                ++counts_[SectionHeading];
                break;
            case TLineKind::Body:
                ++counts_['\n'];
                break;
            }
            for (size_t i = 0; i < line.size();) {
                if (IsDoubleByte(line, i)) {
                    ++counts_[static_cast<unsigned char>(line[i]) << 8 |
                              static_cast<unsigned char>(line[i + 1])];
                    i += 2;
                } else {
                    ++counts_[static_cast<unsigned char>(line[i])];
                    ++i;
                }
            }
        }
        ++counts_[SectionTop];
    }

    std::vector<char16_t> Characters(const std::vector<TKey>& keys) const {
        std::vector<std::uint16_t> doubleBytes;
        for (TKey key : keys)
            if (key > 0xFF)
                doubleBytes.push_back(static_cast<std::uint16_t>(key));
        const std::vector<char16_t> converted = SjisDoubleByteCharacters(doubleBytes);
        std::vector<char16_t> characters;
        size_t next = 0;
        for (TKey key : keys)
            characters.push_back(key > 0xFF ? converted[next++] : SingleByteCharacter(key));
        return characters;
    }

    // A code of the file beyond the table's capacity, or a single byte
    // that only a reference or the scan made (a "<" of "&lt;", a space for
    // a control character) and so was never counted.
    char16_t UnitOf(TKey key) const {
        return counts_[key] != 0 ? escapeUnits_[key] : SingleByteCharacter(key);
    }

    // The code's length in the top byte, its symbols below.
    std::uint32_t CodeOfRank(size_t rank) const {
        const auto symbol = [&](size_t value) {
            return static_cast<std::uint32_t>(static_cast<unsigned char>(symbols_.Of[value]));
        };
        const size_t singles = static_cast<size_t>(layout_.Singles);
        const size_t doubles = static_cast<size_t>(layout_.Doubles);
        if (rank < singles)
            return 1u << 24 | symbol(rank) << 16;
        rank -= singles;
        if (rank < doubles * Base)
            return 2u << 24 | symbol(singles + rank / Base) << 16 | symbol(rank % Base) << 8;
        rank -= doubles * Base;
        return 3u << 24 | symbol(singles + doubles + rank / (Base * Base)) << 16 |
               symbol(rank / Base % Base) << 8 | symbol(rank % Base);
    }

    void AppendUnit(std::string& out, char16_t unit) const {
        out += symbols_.Of[unit / (Base * Base)];
        out += symbols_.Of[unit / Base % Base];
        out += symbols_.Of[unit % Base];
    }

    TSymbols symbols_;
    std::vector<std::uint64_t> counts_;
    TCodeLayout layout_;
    std::vector<TKey> ranked_;
    std::vector<char16_t> units_;
    std::vector<char16_t> escapeUnits_;
    std::vector<std::uint32_t> codes_;
};

} // namespace

std::u16string SearchText(const TLineSource& lines) {
    std::vector<TKey> keys;
    auto keep = [&](TKey key) { keys.push_back(key); };
    ScanSections(lines, keep);
    std::vector<std::uint16_t> doubleBytes;
    for (TKey key : keys)
        if (key > 0xFF && key < CodeKeys)
            doubleBytes.push_back(static_cast<std::uint16_t>(key));
    const std::vector<char16_t> converted = SjisDoubleByteCharacters(doubleBytes);
    std::u16string text;
    size_t next = 0;
    for (TKey key : keys)
        text += key >= CodeKeys ? static_cast<char16_t>(key - CodeKeys)
                : key > 0xFF    ? converted[next++]
                                : SingleByteCharacter(key);
    return text;
}

void MakeSearchIndex(const TLineSource& lines, bool split, bool frames,
                     const std::string& fileName) {
    const TSearchCoder coder(lines);
    TTextFileWriter file(fileName);
    file.Write(SearchScript());
    const TCodeLayout& layout = coder.Layout();
    std::string out = "varnokeSearch.load({split:" + std::to_string(split ? 1 : 0) +
                      ",frames:" + std::to_string(frames ? 1 : 0) +
                      ",singles:" + std::to_string(layout.Singles) +
                      ",doubles:" + std::to_string(layout.Doubles) + ",table:\"";
    coder.AppendTable(out);
    out += "\",\ntext:\"";
    constexpr size_t Chunk = 64 * 1024;
    auto append = [&](TKey key) {
        coder.Append(out, key);
        if (out.size() >= Chunk) {
            file.Write(out);
            out.clear();
        }
    };
    ScanSections(lines, append);
    out += "\"});";
    file.WriteLine(out);
    file.Close();
}

} // namespace varnoke
