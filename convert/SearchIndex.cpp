#include "convert/SearchIndex.h"

#include "common/ByteBuffer.h"
#include "common/ShiftJis.h"
#include "common/TextFileWriter.h"
#include "convert/LineKind.h"
#include "convert/SearchScript.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <functional>
#include <future>
#include <mutex>
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

// What a byte of the text asks of the scan, looked up rather than tested:
// the scan meets every byte of the manual.
enum TByteClass : std::uint8_t { Plain, Lead, Markup, Control };
constexpr std::array<std::uint8_t, 256> ByteClasses = [] {
    std::array<std::uint8_t, 256> classes{};
    for (int byte = 0; byte < 256; ++byte)
        classes[static_cast<size_t>(byte)] =
            byte < 0x20 || byte == 0x7F                                        ? Control
            : byte == '<' || byte == '&'                                       ? Markup
            : (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC) ? Lead
                                                                               : Plain;
    return classes;
}();
constexpr bool IsTrail(unsigned char byte) {
    return byte >= 0x40 && byte <= 0xFC && byte != 0x7F;
}

// A reference or a tag at text[i]: what it gives to the sink, and the
// bytes it takes (1 for a "<" or "&" that is the text's own).
template <class TSink> size_t ScanMarkup(std::string_view text, size_t i, TSink& sink) {
    if (text[i] == '<') {
        const size_t close = OpensTag(text, i) ? text.find('>', i) : std::string_view::npos;
        if (close == std::string_view::npos) {
            sink(TKey('<'));
            return 1;
        }
        return close + 1 - i;
    }
    char32_t character = 0;
    const size_t length = ReadReference(text.substr(i), character);
    if (length == 0)
        sink(TKey('&'));
    else if (character < 0x20 || character == 0x7F)
        sink(TKey(' '));
    else if (character < 0x80)
        sink(TKey(character));
    else if (character < 0x10000)
        sink(CodeKeys + character);
    else {
        sink(CodeKeys + 0xD800 + ((character - 0x10000) >> 10));
        sink(CodeKeys + 0xDC00 + ((character - 0x10000) & 0x3FF));
    }
    return length == 0 ? 1 : length;
}

// The characters a reader sees of one line: markup left out, references
// read, control characters as spaces.
template <class TSink> void ScanText(std::string_view text, TSink& sink) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const size_t size = text.size();
    for (size_t i = 0; i < size;) {
        const unsigned char byte = bytes[i];
        switch (ByteClasses[byte]) {
        case Plain:
            sink(byte);
            ++i;
            break;
        case Lead:
            if (i + 1 < size && IsTrail(bytes[i + 1])) {
                sink(static_cast<TKey>(byte << 8 | bytes[i + 1]));
                i += 2;
            } else {
                sink(byte);
                ++i;
            }
            break;
        case Control:
            sink(TKey(' '));
            ++i;
            break;
        default:
            i += ScanMarkup(text, i, sink);
            break;
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
// Lines [first, end) of it, in a section already open or not.
template <class TSink>
void ScanSections(const TLineSource& lines, int first, int end, bool sectionOpen, TSink& sink) {
    for (int index = first; index < end; ++index) {
        const std::string_view line = lines.Line(index);
        sink.Reserve(line.size());
        switch (ClassifyLine(line)) {
        case TLineKind::Empty:
        case TLineKind::Comment:
            break;
        case TLineKind::MainHeading:
            sink(SectionMainHeading);
            sink.Text(line);
            sectionOpen = true;
            break;
        case TLineKind::Heading:
            sink(SectionHeading);
            sink.Text(line.substr(1));
            sectionOpen = true;
            break;
        case TLineKind::Body:
            if (!sectionOpen)
                sink(SectionTop);
            sectionOpen = true;
            sink('\n');
            sink.Text(BodyText(line));
            break;
        }
    }
}

template <class TSink> void ScanSections(const TLineSource& lines, TSink& sink) {
    ScanSections(lines, 0, lines.Count(), false, sink);
}

// Whether a section is open after the lines before `end`: any heading or
// body line opens one.
bool SectionOpenBefore(const TLineSource& lines, int end) {
    for (int index = 0; index < end; ++index) {
        const TLineKind kind = ClassifyLine(lines.Line(index));
        if (kind != TLineKind::Empty && kind != TLineKind::Comment)
            return true;
    }
    return false;
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
        keys.resize(std::min(keys.size(), layout_.Capacity()));
        ranked_ = std::move(keys);
        units_ = Characters(ranked_);
        codes_.assign(CodeKeys, 0);
        knownUnits_.assign(CodeKeys, 0);
        for (size_t rank = 0; rank < ranked_.size(); ++rank) {
            codes_[ranked_[rank]] = CodeOfRank(rank);
            knownUnits_[ranked_[rank]] = units_[rank];
        }
    }

    const TCodeLayout& Layout() const { return layout_; }

    // The table: each character's unit in three symbols, in rank order.
    void AppendTable(std::string& out) const {
        char unit[3];
        for (char16_t character : units_) {
            WriteUnit(unit, character);
            out.append(unit, 3);
        }
    }

    // A key's symbols, the first in the lowest byte, and their number in
    // the top byte; 0 for a key that takes the escape.
    // for each key below CodeKeys.
    const std::uint32_t* Codes() const { return codes_.data(); }

    // The escape and the key's unit: four symbols.
    void WriteEscape(char* out, TKey key) {
        out[0] = symbols_.Of[Escape];
        WriteUnit(out + 1, key >= CodeKeys ? static_cast<char16_t>(key - CodeKeys) : UnitOf(key));
    }

  private:
    // The characters as they stand in the file, not as the reader sees
    // them, and the sections' marks, in a large text only on every few
    // lines, so that the count reads a few hundred kilobytes however long
    // the text: the order comes out near enough, and a character the count
    // missed takes the escape.
    void CountKeys(const TLineSource& lines) {
        const int count = lines.Count();
        const int stride = 1 + count / SampledLines;
        for (int index = 0; index < count; index += stride) {
            const std::string_view line = lines.Line(index);
            switch (ClassifyLine(line)) {
            case TLineKind::Empty:
            case TLineKind::Comment:
                continue;
            case TLineKind::MainHeading:
                counts_[SectionMainHeading] += stride;
                break;
            case TLineKind::Heading:
                counts_[SectionHeading] += stride;
                break;
            case TLineKind::Body:
                counts_['\n'] += stride;
                break;
            }
            const auto* bytes = reinterpret_cast<const unsigned char*>(line.data());
            for (size_t i = 0, size = line.size(); i < size;) {
                if (ByteClasses[bytes[i]] == Lead && i + 1 < size && IsTrail(bytes[i + 1])) {
                    counts_[bytes[i] << 8 | bytes[i + 1]] += stride;
                    i += 2;
                } else {
                    counts_[bytes[i]] += stride;
                    ++i;
                }
            }
        }
        ++counts_[SectionTop];
    }
    static constexpr int SampledLines = 1 << 13;

    static std::vector<char16_t> Characters(const std::vector<TKey>& keys) {
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

    // The unit of a code outside the table, converted when first met. The
    // halves of a large text are coded on two threads: this rare path
    // takes turns.
    char16_t UnitOf(TKey key) {
        const std::lock_guard<std::mutex> lock(knownUnitsMutex_);
        char16_t& unit = knownUnits_[key];
        if (unit == 0)
            unit = Characters({key}).front();
        return unit;
    }

    std::uint32_t CodeOfRank(size_t rank) const {
        const auto symbol = [&](size_t value) {
            return static_cast<std::uint32_t>(static_cast<unsigned char>(symbols_.Of[value]));
        };
        const size_t singles = static_cast<size_t>(layout_.Singles);
        const size_t doubles = static_cast<size_t>(layout_.Doubles);
        if (rank < singles)
            return 1u << 24 | symbol(rank);
        rank -= singles;
        if (rank < doubles * Base)
            return 2u << 24 | symbol(singles + rank / Base) | symbol(rank % Base) << 8;
        rank -= doubles * Base;
        return 3u << 24 | symbol(singles + doubles + rank / (Base * Base)) |
               symbol(rank / Base % Base) << 8 | symbol(rank % Base) << 16;
    }

    void WriteUnit(char* out, char16_t unit) const {
        out[0] = symbols_.Of[unit / (Base * Base)];
        out[1] = symbols_.Of[unit / Base % Base];
        out[2] = symbols_.Of[unit % Base];
    }

    TSymbols symbols_;
    std::vector<std::uint32_t> counts_;
    TCodeLayout layout_;
    std::vector<TKey> ranked_;
    std::vector<char16_t> units_;
    std::vector<char16_t> knownUnits_; // 0 where not converted yet
    std::mutex knownUnitsMutex_;
    std::vector<std::uint32_t> codes_;
};

// Where the coded script goes: a buffer that is handed on whenever it holds
// a piece, so that a large script never sits in memory whole, or the whole
// script in one buffer.
class TScriptOutput {
  public:
    using TPieceWriter = std::function<void(std::string_view piece)>;
    explicit TScriptOutput(TPieceWriter writePiece = {}) : writePiece_(std::move(writePiece)) {}

    TByteBuffer& Buffer() { return buffer_; }
    // Hands the buffer on once it holds a piece; called between lines.
    void PassOnPiece() {
        if (writePiece_ && buffer_.Size() >= PieceSize)
            PassOnAll();
    }
    void PassOnAll() {
        if (!writePiece_)
            return;
        writePiece_(buffer_.View());
        buffer_.Resize(0);
    }
    // Bytes coded elsewhere, after what the buffer holds: handed on as they
    // are when there is a writer, not copied first.
    void Append(std::string_view bytes) {
        if (!writePiece_)
            return buffer_.Append(bytes);
        PassOnAll();
        writePiece_(bytes);
    }

  private:
    static constexpr size_t PieceSize = 1 << 20;
    TPieceWriter writePiece_;
    TByteBuffer buffer_;
};

// The coded text, appended to the script through room that each line
// makes first, so that a character costs a store and no test.
class TCodeSink {
  public:
    TCodeSink(TSearchCoder& coder, TScriptOutput& output)
        : coder_(coder), output_(output), out_(output.Buffer()), codes_(coder.Codes()) {}

    // A character takes at most four symbols, and a reference two
    // characters for its five bytes and more; the section's marks come
    // with the line. Four bytes more for the store of a whole code.
    void Reserve(size_t lineBytes) {
        output_.PassOnPiece();
        const size_t needed = out_.Size() + 4 * lineBytes + 16;
        if (out_.Capacity() < needed)
            out_.Reserve(std::max(needed, 2 * out_.Capacity()));
    }
    void operator()(TKey key) {
        char* at = out_.Data() + out_.Size();
        Put(at, codes_, key);
        out_.Resize(static_cast<size_t>(at - out_.Data()));
    }

    // The scan of ScanText, with the place to write in a register: a store
    // through a char pointer could change any variable in memory, so the
    // compiler would reload and store it for every character. The common
    // case, a character with a code, stays in the loop; all else (markup,
    // control characters, escapes, a lead byte without its trail) is a call,
    // so that the loop keeps its few variables in registers.
    void Text(std::string_view text) {
        const auto* const begin = reinterpret_cast<const unsigned char*>(text.data());
        const auto* const end = begin + text.size();
        char* at = out_.Data() + out_.Size();
        const std::uint32_t* const codes = codes_;
        for (const unsigned char* p = begin; p < end;) {
            const unsigned byte = *p;
            const std::uint8_t kind = ByteClasses[byte];
            std::uint32_t code = 0;
            if (kind == Plain)
                code = codes[byte];
            else if (kind == Lead && p + 1 < end)
                code = codes[byte << 8 | p[1]]; // 0 for a byte that is no trail
            if (code != 0) {
                std::memcpy(at, &code, 4); // the fourth byte is overwritten next
                at += code >> 24;
                p += 1 + (kind == Lead);
            } else {
                p = begin + Uncommon(text, static_cast<size_t>(p - begin), at);
            }
        }
        out_.Resize(static_cast<size_t>(at - out_.Data()));
    }

  private:
    // One step of the scan at text[i] that the loop leaves out; returns the
    // index after it.
    [[gnu::noinline]] size_t Uncommon(std::string_view text, size_t i, char*& at) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
        const unsigned char byte = bytes[i];
        const std::uint32_t* const codes = codes_;
        switch (ByteClasses[byte]) {
        case Lead:
            if (i + 1 < text.size() && IsTrail(bytes[i + 1])) {
                Put(at, codes, static_cast<TKey>(byte << 8 | bytes[i + 1]));
                return i + 2;
            }
            Put(at, codes, byte);
            return i + 1;
        case Plain:
            Put(at, codes, byte);
            return i + 1;
        case Control:
            Put(at, codes, ' ');
            return i + 1;
        default: {
            auto put = [&](TKey key) { Put(at, codes, key); };
            return i + ScanMarkup(text, i, put);
        }
        }
    }

    [[gnu::always_inline]] void Put(char*& at, const std::uint32_t* codes, TKey key) {
        const std::uint32_t code = key < CodeKeys ? codes[key] : 0;
        if (code == 0) {
            coder_.WriteEscape(at, key);
            at += 4;
            return;
        }
        std::memcpy(at, &code, 4); // the fourth byte is overwritten next
        at += code >> 24;
    }

    TSearchCoder& coder_;
    TScriptOutput& output_;
    TByteBuffer& out_;
    const std::uint32_t* codes_;
};

// The keys themselves, for the plain text.
struct TKeySink {
    std::vector<TKey> Keys;
    void Reserve(size_t) {}
    void operator()(TKey key) { Keys.push_back(key); }
    void Text(std::string_view text) { ScanText(text, *this); }
};

} // namespace

std::u16string SearchText(const TLineSource& lines) {
    TKeySink sink;
    ScanSections(lines, sink);
    std::vector<std::uint16_t> doubleBytes;
    for (TKey key : sink.Keys)
        if (key > 0xFF && key < CodeKeys)
            doubleBytes.push_back(static_cast<std::uint16_t>(key));
    const std::vector<char16_t> converted = SjisDoubleByteCharacters(doubleBytes);
    std::u16string text;
    size_t next = 0;
    for (TKey key : sink.Keys)
        text += key >= CodeKeys ? static_cast<char16_t>(key - CodeKeys)
                : key > 0xFF    ? converted[next++]
                                : SingleByteCharacter(key);
    return text;
}

namespace {

constexpr int LinesCodedInHalves = 20000;

// Coded, the text takes fewer bytes than it has: room for all of them is
// room enough but for unusual texts.
size_t BytesOfLines(const TLineSource& lines, int first, int end) {
    size_t bytes = 0;
    for (int index = first; index < end; ++index)
        bytes += lines.Line(index).size() + 1;
    return bytes;
}

// The coded text into the output. A large text is coded in two halves at
// once, the second into memory, so that with the pages written meanwhile
// the build keeps two processors busy instead of waiting on one.
void CodeText(const TLineSource& lines, TSearchCoder& coder, TScriptOutput& output) {
    const int count = lines.Count();
    if (count < LinesCodedInHalves) {
        TCodeSink sink(coder, output);
        ScanSections(lines, sink);
        return;
    }
    const int middle = count / 2;
    std::future<TByteBuffer> secondHalf = std::async(std::launch::async, [&] {
        TScriptOutput inMemory;
        inMemory.Buffer().Reserve(BytesOfLines(lines, middle, count) + 64 * 1024);
        TCodeSink sink(coder, inMemory);
        ScanSections(lines, middle, count, SectionOpenBefore(lines, middle), sink);
        return std::move(inMemory.Buffer());
    });
    TCodeSink sink(coder, output);
    ScanSections(lines, 0, middle, false, sink);
    output.PassOnAll(); // while the second half is still coded
    const TByteBuffer coded = secondHalf.get();
    output.Append(coded.View());
}

// The script into the output: the search code, the coded text, then the
// table, which holds what the count saw.
void CodeSearchIndex(const TLineSource& lines, bool split, bool frames, TScriptOutput& output) {
    TSearchCoder coder(lines);
    TByteBuffer& script = output.Buffer();
    script.Append(SearchScript());
    script.Append("varnokeSearch.load({split:" + std::to_string(split ? 1 : 0) +
                  ",frames:" + std::to_string(frames ? 1 : 0) +
                  ",singles:" + std::to_string(coder.Layout().Singles) +
                  ",doubles:" + std::to_string(coder.Layout().Doubles) + ",\ntext:\"");
    CodeText(lines, coder, output);
    std::string table = "\",\ntable:\"";
    coder.AppendTable(table);
    table += "\"});\r\n";
    script.Append(table);
    output.PassOnAll();
}

} // namespace

TByteBuffer SearchIndexScript(const TLineSource& lines, bool split, bool frames) {
    TScriptOutput output;
    output.Buffer().Reserve(SearchScript().size() + BytesOfLines(lines, 0, lines.Count()) +
                            64 * 1024);
    CodeSearchIndex(lines, split, frames, output);
    return std::move(output.Buffer());
}

void WriteSearchIndex(const TLineSource& lines, bool split, bool frames,
                      const TNativePath& fileName) {
    TTextFileWriter file(fileName);
    TScriptOutput output([&file](std::string_view piece) { file.Write(piece); });
    CodeSearchIndex(lines, split, frames, output);
    file.Close();
}

} // namespace varnoke
