#include "ManualGenerator.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <random>
#include <vector>

namespace varnoke::bench {

std::string GenerateManual(size_t bytes) {
    static const std::string words[] = {"\x83\x7D\x83\x6A\x83\x85\x83\x41\x83\x8B", // マニュアル
                                        "\x82\xCD",
                                        "\x95\xB6\x8F\xCD",
                                        "text ",
                                        "\x82\xF0",
                                        "\x8F\x91\x82\xAB\x82\xDC\x82\xB7",
                                        "<b>bold</b>",
                                        "\x81\x42"};
    std::mt19937 random(42);
    std::string text;
    text.reserve(bytes + 256);
    int line = 0;
    while (text.size() < bytes) {
        if (line % 60 == 0)
            text += "Chapter " + std::to_string(line / 60) + "\r\n";
        else if (line % 12 == 0)
            text += "\tSection " + std::to_string(line) + "\r\n";
        else if (line % 17 == 0)
            text += "# note to self\r\n";
        else if (line % 9 == 0)
            text += "\r\n";
        else {
            text += (line % 5 == 0) ? "\t\t\t" : "\t\t";
            int count = 4 + static_cast<int>(random() % 20);
            for (int i = 0; i < count; ++i)
                text += words[random() % std::size(words)];
            text += "\r\n";
        }
        ++line;
    }
    return text;
}

namespace {

// Two-byte codes from `first` to `last` (trail bytes 0x40..0xFC but 0x7F).
std::vector<std::string> Codes(int first, int last) {
    std::vector<std::string> codes;
    for (int code = first; code <= last; ++code) {
        const int trail = code & 0xFF;
        if (trail < 0x40 || trail > 0xFC || trail == 0x7F)
            continue;
        codes.push_back({static_cast<char>(code >> 8), static_cast<char>(trail)});
    }
    return codes;
}

// Picks from `items`, the first ones most often (weight 1 / (rank + 1)^skew).
class TLongTail {
  public:
    TLongTail(std::vector<std::string> items, double skew) : items_(std::move(items)) {
        std::vector<double> weights;
        for (size_t rank = 0; rank < items_.size(); ++rank)
            weights.push_back(1.0 / std::pow(static_cast<double>(rank + 1), skew));
        pick_ = std::discrete_distribution<size_t>(weights.begin(), weights.end());
    }
    const std::string& operator()(std::mt19937& random) { return items_[pick_(random)]; }

  private:
    std::vector<std::string> items_;
    std::discrete_distribution<size_t> pick_;
};

} // namespace

std::string GenerateVariedManual(size_t bytes) {
    std::mt19937 random(7);
    std::vector<std::string> kanjiCodes = Codes(0x889F, 0x9872); // the first level of JIS kanji
    std::shuffle(kanjiCodes.begin(), kanjiCodes.end(), random);
    TLongTail kanji(kanjiCodes, 1.0);
    TLongTail hiragana(Codes(0x829F, 0x82F1), 0.8);
    TLongTail katakana(Codes(0x8340, 0x8396), 0.8);
    TLongTail ascii({"Varnoke", "HTML", "text", "CSS", "2024", " ", "\x81\x42", "\x81\x41"}, 0.5);
    std::string text;
    text.reserve(bytes + 1024);
    for (int line = 0; text.size() < bytes; ++line) {
        if (line % 60 == 0) {
            text += "Chapter " + std::to_string(line / 60) + " " + kanji(random) + kanji(random);
        } else if (line % 12 == 0) {
            text += "\t" + katakana(random) + katakana(random) + kanji(random) + kanji(random);
        } else if (line % 17 == 0) {
            text += "# note to self";
        } else if (line % 9 != 0) {
            text += line % 5 == 0 ? "\t\t\t" : "\t\t";
            const int count = 10 + static_cast<int>(random() % 50);
            for (int i = 0; i < count; ++i) {
                const unsigned kind = random() % 10;
                text += kind < 5   ? hiragana(random)
                        : kind < 8 ? kanji(random)
                        : kind < 9 ? katakana(random)
                                   : ascii(random);
            }
        }
        text += "\r\n";
    }
    return text;
}

} // namespace varnoke::bench
