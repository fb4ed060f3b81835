#include "common/TextEncoding.h"
#include "common/Errors.h"
#include "common/ShiftJis.h"

#include <gtest/gtest.h>

using namespace varnoke;

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
