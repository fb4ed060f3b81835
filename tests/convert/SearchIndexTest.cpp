#include "convert/SearchIndex.h"
#include "TestSupport.h"
#include "common/ShiftJis.h"
#include "common/TextLines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using namespace varnoke;
using namespace varnoke::test;

namespace {

std::u16string Text(const char* utf8Manual) {
    return SearchText(TTextLines(Sjis(utf8Manual)));
}

// What the page's script reads of the data: a number, or the string after
// `key:"`.
std::string Field(const std::string& script, const std::string& key) {
    const size_t start = script.find(key + ":", script.find("varnokeSearch.load({"));
    EXPECT_NE(start, std::string::npos) << key;
    const size_t value = start + key.size() + 1;
    if (script[value] != '"')
        return script.substr(value, script.find_first_of(",}", value) - value);
    return script.substr(value + 1, script.find('"', value + 1) - value - 1);
}

// The data decoded as the script decodes it.
std::u16string Decoded(const std::string& script) {
    std::string alphabet;
    for (char c = 32; c < 127; ++c)
        if (c != '"' && c != '\\')
            alphabet += c;
    const auto value = [&](char c) { return static_cast<int>(alphabet.find(c)); };
    const std::string tableField = Field(script, "table");
    std::u16string table;
    for (size_t i = 0; i + 2 < tableField.size(); i += 3)
        table += static_cast<char16_t>((value(tableField[i]) * 93 + value(tableField[i + 1])) * 93 +
                                       value(tableField[i + 2]));
    const int singles = std::stoi(Field(script, "singles"));
    const int doubles = std::stoi(Field(script, "doubles"));
    const std::string text = Field(script, "text");
    std::u16string decoded;
    for (size_t i = 0; i < text.size();) {
        const int v = value(text[i++]);
        const auto next = [&] { return value(text[i++]); };
        if (v < singles)
            decoded += table.at(static_cast<size_t>(v));
        else if (v < singles + doubles)
            decoded += table.at(static_cast<size_t>(singles + (v - singles) * 93 + next()));
        else if (v < 92) {
            const int high = (v - singles - doubles) * 93 + next();
            decoded += table.at(static_cast<size_t>(singles + doubles * 93 + high * 93 + next()));
        } else {
            const int high = next() * 93 + next();
            decoded += static_cast<char16_t>(high * 93 + next());
        }
    }
    return decoded;
}

// A text of many different characters: far more than one symbol can name,
// some only once, so that every kind of code is used.
std::string ManyCharacters() {
    std::string text = "Kanji\r\n";
    int n = 0;
    for (int lead = 0x88; lead <= 0x9F; ++lead) {
        text += "\t\t";
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (trail == 0x7F)
                continue;
            const int repeat = 1 + (n++ % 7 == 0 ? 40 : 0);
            for (int r = 0; r < repeat; ++r) {
                text += static_cast<char>(lead);
                text += static_cast<char>(trail);
            }
        }
        text += "&#8364;&#x1F600;\r\n";
    }
    return text;
}

} // namespace

TEST(SearchText, IsWhatTheReaderSeesSectionBySection) {
    const struct {
        const char* Manual;
        std::u16string Text;
    } cases[] = {
        {"", u""},
        {"# only a comment\r\n\r\n", u""},
        {"Main\r\n\tHead\r\n\t\tbody one\r\n\r\n# note\r\n\t\t\t\tindented\r\n",
         u"\1Main\2Head\nbody one\nindented"},
        {"\t\tbefore any heading\r\nMain\r\n", u"\3\nbefore any heading\1Main"},
        {"\t#not a comment\r\n \tspace first\r\n\t\r\n", u"\2#not a comment\1  space first\2"},
        {"\t\t<b>bold</b> <a href=\"x.html\">link</a> a < b, a<3 &\r\n",
         u"\3\nbold link a < b, a<3 &"},
        {"\t\t&#9829; &#x1F600; &amp;&lt;&gt;&quot;&nbsp;&#65;\r\n",
         u"\3\n\u2665 \U0001F600 &<>\" A"},
        {"\t\t&#55296; &#xZZ; &#0; &#1114112; &bogus;\r\n",
         u"\3\n&#55296; &#xZZ; &#0; &#1114112; &bogus;"},
        {"\t\tｶﾀｶﾅ 漢字\ttab\x01x\r\n", u"\3\n\uFF76\uFF80\uFF76\uFF85 \u6F22\u5B57 tab x"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Text(c.Manual), c.Text) << c.Manual;
}

std::string Repeated(const std::string& text, int times) {
    std::string repeated;
    for (int i = 0; i < times; ++i)
        repeated += text;
    return repeated;
}

TEST(SearchIndex, IsAsciiAndDecodesToTheText) {
    const std::string manuals[] = {
        "",
        Sjis("はじめに\r\n\tインストール\r\n\t\tダウンロード &#9829; して<b>ください</b>。\r\n"),
        ManyCharacters(),
        // Lead bytes without their trail: before a space, a tag, a line's end.
        "\t\t\x82 a\x82<b>\x88\r\n\t\t\x81\r\n",
        // Large texts are coded in two halves at once: a heading, a body
        // line and a reference may fall on either side of the middle, and
        // the body before the first heading may start in the second half.
        Repeated(Sjis("はじめに\r\n\tインストール\r\n\t\tダウンロード &#9829; して。\r\n"), 200001),
        Repeated("# note\r\n", 30000) + Repeated("\t\tbody\r\n", 30000),
    };
    for (const std::string& manual : manuals) {
        const TTextLines lines(manual);
        const TByteBuffer script = SearchIndexScript(lines, true, false);
        const std::string bytes(script.View());
        EXPECT_TRUE(std::all_of(bytes.begin(), bytes.end(), [](char c) {
            return c == '\r' || c == '\n' || (c >= 32 && c < 127);
        }));
        EXPECT_EQ(Field(bytes, "split"), "1");
        EXPECT_EQ(Field(bytes, "frames"), "0");
        EXPECT_EQ(Decoded(bytes), SearchText(lines)) << manual.substr(0, 40);
        // A build writes the same script into its file a piece at a time.
        TScratchFolder folder;
        WriteSearchIndex(lines, true, false, folder.Native("search.js"));
        EXPECT_EQ(ReadFile(folder.File("search.js")), bytes);
    }
}
