#include "ManualGenerator.h"

#include <iterator>
#include <random>

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

} // namespace varnoke::bench
