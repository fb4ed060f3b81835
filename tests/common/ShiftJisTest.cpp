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
