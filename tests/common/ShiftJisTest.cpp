#include "common/ShiftJis.h"
#include "common/Errors.h"

#include <gtest/gtest.h>

using namespace varnoke;

TEST(ShiftJis, ConvertsBothWaysWithoutLoss) {
    const std::string utf8 = "見出し ABC ０１２ ｱｲｳ";
    const std::string sjis = Utf8ToSjis(utf8);
    EXPECT_EQ(sjis.substr(0, 2), "\x8C\xA9");
    EXPECT_EQ(SjisToUtf8(sjis), utf8);
}

TEST(ShiftJis, CharactersWithoutShiftJisFormBecomeReferencesInText) {
    EXPECT_EQ(Utf8ToSjis("a😀b"), "a&#128512;b");
    EXPECT_EQ(Utf8ToSjis("한"), "&#54620;");
}

TEST(ShiftJis, CharactersWithoutShiftJisFormFailInFileNames) {
    EXPECT_THROW(Utf8ToSjis("/home/😀.vkp", TUnmappable::Fail), EConvertError);
    EXPECT_EQ(Utf8ToSjis("/home/表.vkp", TUnmappable::Fail), "/home/\x95\x5C.vkp");
}

TEST(ShiftJis, InvalidBytesNeverStopAConversion) {
    EXPECT_EQ(Utf8ToSjis("a\xFF"
                         "b"),
              "a\xFF"
              "b");
    EXPECT_EQ(SjisToUtf8("a\x81"), "a\xEF\xBF\xBD");
    EXPECT_EQ(SjisToUtf8("\x81\r\n"), "\xEF\xBF\xBD\r\n"); // a lone lead byte keeps the line break
}

TEST(ShiftJis, UpperCasingLeavesTrailBytesAlone) {
    const std::string ha = "\x83\x6E"; // ハ: its trail byte is the letter n
    EXPECT_EQ(SjisUpperCase(ha), ha);
    EXPECT_EQ(SjisUpperCase("abc" + ha + "xyz"), "ABC" + ha + "XYZ");
    EXPECT_EQ(SjisUpperCase(Utf8ToSjis("ａｂｚ")), Utf8ToSjis("ＡＢＺ"));
    EXPECT_TRUE(SjisSameText("Style", "STYLE"));
    EXPECT_FALSE(SjisSameText(ha, "\x83\x4E")); // ハ is not ノ
}

TEST(ShiftJis, RecognisesUtf8Text) {
    EXPECT_TRUE(LooksLikeUtf8Text("見出し"));
    EXPECT_FALSE(LooksLikeUtf8Text("plain ascii"));
    EXPECT_FALSE(LooksLikeUtf8Text(Utf8ToSjis("見出し")));
}

TEST(ShiftJis, AUtf8TextFileIsCheckedAndConvertedInOnePass) {
    EXPECT_EQ(Utf8TextToSjis("見出し\n"), std::optional<std::string>("\x8C\xA9\x8F\x6F\x82\xB5\n"));
    EXPECT_EQ(Utf8TextToSjis("\xEF\xBB\xBF"
                             "abc"),
              std::optional<std::string>("abc"));
    // Nothing to convert: plain ASCII, CP932, and UTF-8 that turns out not
    // to be UTF-8 near its end.
    EXPECT_EQ(Utf8TextToSjis("plain ascii\r\n"), std::nullopt);
    EXPECT_EQ(Utf8TextToSjis(Utf8ToSjis("見出し")), std::nullopt);
    EXPECT_EQ(Utf8TextToSjis(std::string(100, 'a') + "見出し" + std::string(100, 'b') + "\x82"),
              std::nullopt);
    // A byte-order mark says UTF-8 whatever follows; stray bytes stay.
    EXPECT_EQ(Utf8TextToSjis("\xEF\xBB\xBF"
                             "\xFF"),
              std::optional<std::string>("\xFF"));
}

TEST(ShiftJis, RepeatedCharactersConvertTheSameEveryTime) {
    // Characters are remembered after their first conversion; the second
    // and later ones must come out the same, single-byte kana included.
    for (int pass = 0; pass < 2; ++pass) {
        EXPECT_EQ(Utf8ToSjis("ｱ表😀"), "\xB1\x95\x5C&#128512;");
        EXPECT_THROW(Utf8ToSjis("😀", TUnmappable::Fail), EConvertError);
    }
}

// The lead bytes run 0x81 to 0x9F and 0xE0 to 0xFC: a lead byte takes the
// byte after it as its trail, so that byte is never upper-cased, and the
// character after the pair is.
TEST(ShiftJis, LeadBytesEndAt0x9FAnd0xFC) {
    const std::vector<std::pair<unsigned char, bool>> rows{
        {0x80, false}, {0x81, true}, {0x9F, true}, {0xA0, false},
        {0xDF, false}, {0xE0, true}, {0xFC, true}, {0xFD, false}};
    for (const auto& [byte, lead] : rows) {
        const std::string b(1, static_cast<char>(byte));
        EXPECT_EQ(IsSjisLeadByte(byte), lead) << int(byte);
        EXPECT_EQ(SjisUpperCase(b + "ab"), b + (lead ? "aB" : "AB")) << int(byte);
        EXPECT_EQ(SjisSameText(b + "ab", b + "AB"), !lead) << int(byte);
        EXPECT_TRUE(SjisSameText(b + "ab", b + "aB")) << int(byte);
    }
    // An unassigned pair under the highest lead byte is one unreadable
    // character, not two.
    EXPECT_EQ(SjisToUtf8("\xFC\xFC"
                         "a"),
              "\xEF\xBF\xBD"
              "a");
    EXPECT_EQ(SjisToUtf8("\xFD\x41"), "\xEF\xBF\xBD"
                                      "A");
}

// Only the shortest form of a code point is UTF-8, and surrogates and code
// points beyond U+10FFFF are none: such bytes are rejected, one length each
// side of every boundary.
TEST(ShiftJis, OverlongAndSurrogateUtf8IsRejected) {
    const std::vector<std::pair<std::string, size_t>> rows{
        {"\x7F", 1},
        {"\xC0\x80", 0},         // U+0000, overlong
        {"\xC1\xBF", 0},         // U+007F, overlong
        {"\xC2\x80", 2},         // U+0080
        {"\xE0\x9F\xBF", 0},     // U+07FF, overlong
        {"\xE0\xA0\x80", 3},     // U+0800
        {"\xED\x9F\xBF", 3},     // U+D7FF
        {"\xED\xA0\x80", 0},     // U+D800, a surrogate
        {"\xED\xBF\xBF", 0},     // U+DFFF, a surrogate
        {"\xEE\x80\x80", 3},     // U+E000
        {"\xF0\x8F\xBF\xBF", 0}, // U+FFFF, overlong
        {"\xF0\x90\x80\x80", 4}, // U+10000
        {"\xF4\x8F\xBF\xBF", 4}, // U+10FFFF
        {"\xF4\x90\x80\x80", 0}, // U+110000
    };
    for (const auto& [bytes, length] : rows) {
        char32_t codePoint = 0;
        EXPECT_EQ(Utf8CharacterLength(bytes, codePoint), length) << ::testing::PrintToString(bytes);
        // A text holding the sequence is UTF-8 exactly when the sequence is.
        EXPECT_EQ(LooksLikeUtf8Text("a" + bytes), length > 1) << ::testing::PrintToString(bytes);
        EXPECT_EQ(Utf8TextToSjis("a" + bytes).has_value(), length > 1)
            << ::testing::PrintToString(bytes);
    }
}
