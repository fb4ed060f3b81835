#include "common/TextEncoding.h"
#include "TestSupport.h"
#include "common/Errors.h"
#include "common/ShiftJis.h"

#include <gtest/gtest.h>

using namespace varnoke;
using varnoke::test::Utf16File;

namespace {
// A file read and written back unchanged, with the form it was read in.
void ExpectRoundTrip(const std::string& file, TTextEncoding encoding, TLineBreak lineBreak) {
    const TDecodedText text = DecodeText(file);
    EXPECT_EQ(text.Format.Encoding, encoding);
    EXPECT_EQ(text.Format.LineBreak, lineBreak);
    EXPECT_FALSE(text.Suspicious());
    EXPECT_EQ(text.Utf8.find('\r'), std::string::npos);
    EXPECT_EQ(EncodeText(text.Utf8, text.Format), file);
}
} // namespace

TEST(TextEncoding, FilesComeBackByteForByte) {
    ExpectRoundTrip(Sjis("見出し\r\n\t本文\r\n"), TTextEncoding::ShiftJis, TLineBreak::CrLf);
    ExpectRoundTrip(Sjis("見出し\n\t本文"), TTextEncoding::ShiftJis, TLineBreak::Lf);
    ExpectRoundTrip("plain\rold mac\r", TTextEncoding::ShiftJis, TLineBreak::Cr);
    // é, U+2212 MINUS SIGN and an emoji: none survives a trip through CP932.
    const std::string utf8 = "caf\xC3\xA9 \xE2\x88\x92 \xF0\x9F\x98\x80\r\n\tx\r\n";
    ExpectRoundTrip(utf8, TTextEncoding::Utf8, TLineBreak::CrLf);
    ExpectRoundTrip("\xEF\xBB\xBF" + utf8, TTextEncoding::Utf8WithBom, TLineBreak::CrLf);
    ExpectRoundTrip("\xEF\xBB\xBF"
                    "ascii\n",
                    TTextEncoding::Utf8WithBom, TLineBreak::Lf);
    ExpectRoundTrip("", TTextEncoding::ShiftJis, TLineBreak::CrLf);
}

TEST(TextEncoding, CharactersCodedTwiceKeepTheFilesOwnCodes) {
    // Half-width katakana HI and Roman numeral seven in its IBM code: with
    // the NEC code the converter writes, the bytes would read as UTF-8.
    ExpectRoundTrip("\xCB\xFA\x50\r\n", TTextEncoding::ShiftJis, TLineBreak::CrLf);
    // A NEC-selected IBM kanji, and the NEC code of the same numeral
    // beside its IBM code: every one comes back as the file first wrote it.
    ExpectRoundTrip("\xED\x40\x87\x5A\n", TTextEncoding::ShiftJis, TLineBreak::Lf);
    const TDecodedText mixed = DecodeText("\x87\x5A\xFA\x50\n");
    EXPECT_EQ(EncodeText(mixed.Utf8, mixed.Format), "\xFA\x50\xFA\x50\n");
    // A new text, or one typed in the editor, gets the usual codes.
    EXPECT_EQ(EncodeText(SjisToUtf8("\xFA\x50"), TTextFormat{}), "\x87\x5A");
}

TEST(TextEncoding, TheEditorGetsTheRealCharacters) {
    EXPECT_EQ(DecodeText("caf\xC3\xA9 \xE2\x88\x92\n").Utf8, "caf\xC3\xA9 \xE2\x88\x92\n");
    EXPECT_EQ(DecodeText(Sjis("あ") + "\r\n").Utf8, "あ\n");
    // Mixed line breaks all become "\n"; the first one decides the form.
    const TDecodedText mixed = DecodeText("a\nb\r\nc\rd");
    EXPECT_EQ(mixed.Utf8, "a\nb\nc\nd");
    EXPECT_EQ(mixed.Format.LineBreak, TLineBreak::Lf);
    EXPECT_EQ(EncodeText(mixed.Utf8, {TTextEncoding::ShiftJis, TLineBreak::CrLf}),
              "a\r\nb\r\nc\r\nd");
}

TEST(TextEncoding, ShiftJisNeverGetsCharacterReferences) {
    const TTextFormat sjis;
    EXPECT_EQ(EncodeText("\xE2\x88\x92", sjis), "\x81\x7C"); // U+2212 has a CP932 form
    EXPECT_THROW(EncodeText("x \xF0\x9F\x98\x80", sjis), EConvertError);
    EXPECT_THROW(EncodeText("caf\xC3\xA9", sjis), EConvertError);
    EXPECT_EQ(EncodeText("caf\xC3\xA9\n", {TTextEncoding::Utf8, TLineBreak::CrLf}),
              "caf\xC3\xA9\r\n");
}

TEST(TextEncoding, NulBytesAndUnreadableBytesAreNoticed) {
    EXPECT_TRUE(DecodeText(std::string("a\0b", 3)).HasNulBytes);
    EXPECT_FALSE(DecodeText(std::string("a\0b", 3)).HasUnreadableBytes);
    // A lead byte at the end, a lead byte before a byte that cannot follow it.
    const TDecodedText cut = DecodeText("abc\x83");
    EXPECT_TRUE(cut.HasUnreadableBytes);
    EXPECT_EQ(cut.Format.Encoding, TTextEncoding::ShiftJis);
    EXPECT_TRUE(DecodeText("\x81\x0A").Suspicious());
    // A byte-order mark before bytes that are not UTF-8.
    const TDecodedText broken = DecodeText("\xEF\xBB\xBF"
                                           "a\xFF"
                                           "b");
    EXPECT_TRUE(broken.HasUnreadableBytes);
    EXPECT_EQ(broken.Utf8, "a\xEF\xBF\xBD"
                           "b");
    EXPECT_FALSE(DecodeText(Sjis("正しい") + "\r\n").Suspicious());
}

namespace {
struct TUtf16Row {
    const char* Name;
    std::string File;
    TTextEncoding Encoding;
    TLineBreak LineBreak;
    std::string Utf8; // what the editor shows; empty: only the round trip counts
};
} // namespace

TEST(TextEncoding, Utf16TextsComeBackByteForByteWithTheirRealCharacters) {
    // é, the snowman and an emoji (a surrogate pair): Shift-JIS has none.
    const std::u16string text = u"\u898B\u51FA\u3057\r\n\t\t caf\u00E9 \u2603 \U0001F600\r\n";
    const std::string shown = "見出し\n\t\t caf\xC3\xA9 \xE2\x98\x83 \xF0\x9F\x98\x80\n";
    const TUtf16Row rows[] = {
        {"LittleEndianCrLf", Utf16File(text, false), TTextEncoding::Utf16Le, TLineBreak::CrLf,
         shown},
        {"BigEndianCrLf", Utf16File(text, true), TTextEncoding::Utf16Be, TLineBreak::CrLf, shown},
        {"LittleEndianLf", Utf16File(u"a\n\tb\n", false), TTextEncoding::Utf16Le, TLineBreak::Lf,
         "a\n\tb\n"},
        {"BigEndianCrWithoutLastBreak", Utf16File(u"a\rb", true), TTextEncoding::Utf16Be,
         TLineBreak::Cr, "a\nb"},
        {"OnlyTheMark", Utf16File(u"", false), TTextEncoding::Utf16Le, TLineBreak::CrLf, ""},
    };
    for (const TUtf16Row& row : rows) {
        SCOPED_TRACE(row.Name);
        ExpectRoundTrip(row.File, row.Encoding, row.LineBreak);
        EXPECT_EQ(DecodeText(row.File).Utf8, row.Utf8);
    }
    // A new line typed into such a text is written in the text's own form.
    EXPECT_EQ(EncodeText("\xE2\x98\x83\n", {TTextEncoding::Utf16Be, TLineBreak::CrLf}),
              Utf16File(u"\u2603\r\n", true));
}

TEST(TextEncoding, BrokenUtf16IsNoticed) {
    const struct {
        const char* Name;
        std::string File;
        bool Nul, Unreadable;
    } rows[] = {
        {"LoneHighSurrogate",
         Utf16File(u"a\xD83D"
                   u"b",
                   false),
         false, true},
        {"LoneLowSurrogateAtTheEnd", Utf16File(u"a\xDE00", true), false, true},
        {"OddLastByte", Utf16File(u"ab", false) + "c", false, true},
        {"NulCharacter", Utf16File(std::u16string(u"a\0b", 3), false), true, false},
        // Its NUL bytes are the high halves of ASCII: no sign of anything.
        {"AsciiOnly", Utf16File(u"plain\r\n", false), false, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Name);
        const TDecodedText text = DecodeText(row.File);
        EXPECT_EQ(text.HasNulBytes, row.Nul);
        EXPECT_EQ(text.HasUnreadableBytes, row.Unreadable);
        EXPECT_NE(text.Format.Encoding, TTextEncoding::ShiftJis);
    }
}
