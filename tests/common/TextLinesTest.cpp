#include "common/TextLines.h"
#include "TestSupport.h"
#include "common/Errors.h"

#include <gtest/gtest.h>

#include <vector>

using namespace varnoke;

namespace {
// Each line as a page writes it: its bytes, then its break.
std::vector<std::string> LinesOf(std::string_view text) {
    TTextLines lines{std::string(text)};
    std::vector<std::string> result;
    for (size_t i = 0; i < lines.Count(); ++i)
        result.push_back(std::string(lines.Line(i)) + std::string(lines.LineBreak(i)));
    return result;
}
using Lines = std::vector<std::string>;
} // namespace

TEST(TextLines, EveryLineBreakBecomesCrLf) {
    EXPECT_EQ(LinesOf("a\r\nb\nc\rd"), (Lines{"a\r\n", "b\r\n", "c\r\n", "d"}));
    EXPECT_EQ(LinesOf("a\n\nb\n"), (Lines{"a\r\n", "\r\n", "b\r\n"}));
    EXPECT_EQ(LinesOf("\r\r\n"), (Lines{"\r\n", "\r\n"}));
}

TEST(TextLines, TheEmptyLineAfterTheLastBreakIsNotCounted) {
    EXPECT_EQ(LinesOf(""), Lines{});
    EXPECT_EQ(LinesOf("\r\n"), Lines{"\r\n"});
    EXPECT_EQ(LinesOf("x"), Lines{"x"});
}

TEST(TextLines, LongLinesAreHandedOutWhole) {
    std::string longLine(1'000'000, 'x');
    auto lines = LinesOf("\t\t" + longLine + "\n");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].size(), longLine.size() + 4);
}

TEST(TextLines, ShiftJisTextIsTakenAsItIs) {
    const std::string sjis = "\x8C\xA9\x8F\x6F\x82\xB5\r\n"; // 見出し
    EXPECT_EQ(DecodeTextFile(sjis), sjis);
    EXPECT_EQ(DecodeTextFile("\x83"), "\x83"); // broken bytes pass through
}

TEST(TextLines, Utf8FilesAreConvertedToShiftJis) {
    EXPECT_EQ(DecodeTextFile("見出し\n"), "\x8C\xA9\x8F\x6F\x82\xB5\n");
    EXPECT_EQ(DecodeTextFile("\xEF\xBB\xBF"
                             "abc"),
              "abc");
    EXPECT_EQ(DecodeTextFile("\xEF\xBB\xBF"
                             "😀"),
              "&#128512;");
}

TEST(TextLines, LinesComeWithoutTheirBreaksWhichThePagesAdd) {
    TTextLines lines{std::string("a\r\nb\rc")};
    ASSERT_EQ(lines.Count(), 3u);
    EXPECT_EQ(lines.Line(0), "a");
    EXPECT_EQ(lines.Line(1), "b");
    EXPECT_EQ(lines.LineBreak(1), "\r\n");
    EXPECT_EQ(lines.Line(2), "c");
    EXPECT_EQ(lines.LineBreak(2), "");
    EXPECT_FALSE(lines.LastLineHasBreak());
    EXPECT_TRUE(TTextLines(std::string("c\n")).LastLineHasBreak());
    EXPECT_FALSE(TTextLines().LastLineHasBreak());
}

TEST(TextLines, LinesReadInAnyOrderAreTheSame) {
    // Writers read in order; anything else starts again from a nearby line.
    std::string text;
    std::vector<std::string> expected;
    for (int i = 0; i < 1000; ++i) {
        expected.push_back("line " + std::to_string(i));
        text += expected.back() + (i % 3 == 0 ? "\r\n" : i % 3 == 1 ? "\n" : "\r");
    }
    const TTextLines lines(text);
    ASSERT_EQ(lines.Count(), 1000u);
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(lines.Line(i), expected[static_cast<size_t>(i)]);
    for (int i = 999; i >= 0; i -= 7)
        ASSERT_EQ(lines.Line(i), expected[static_cast<size_t>(i)]);
    EXPECT_EQ(lines.Line(256), "line 256");
    EXPECT_EQ(lines.Line(255), "line 255");
}

TEST(TextLines, TextFilesAreReadInPlaceOrConverted) {
    test::TScratchFolder folder;
    const std::string sjis = "\x8C\xA9\x8F\x6F\x82\xB5"; // 見出し
    test::WriteFile(folder.File("sjis.txt"), sjis + "\r\n\t\tx");
    test::WriteFile(folder.File("utf8.txt"), "見出し\n");
    TTextLines lines;
    ASSERT_TRUE(LoadTextLines(folder.Native("sjis.txt"), lines));
    ASSERT_EQ(lines.Count(), 2u);
    EXPECT_EQ(lines.Line(0), sjis);
    EXPECT_EQ(lines.Line(1), "\t\tx");
    EXPECT_FALSE(lines.LastLineHasBreak());

    ASSERT_TRUE(LoadTextLines(folder.Native("utf8.txt"), lines));
    ASSERT_EQ(lines.Count(), 1u);
    EXPECT_EQ(lines.Line(0), sjis);
    EXPECT_TRUE(lines.LastLineHasBreak());

    EXPECT_FALSE(LoadTextLines(folder.Native("missing.txt"), lines));
    EXPECT_THROW(LoadTextLines(folder.Native(), lines), EFOpenError);
}

TEST(TextLines, BreaksAreFoundWhereverTheyFallInTheText) {
    // Lines are looked for many bytes at a time: a CR LF split between two
    // such steps is still one break, a CR at the end of a step followed by
    // anything else is a break of its own, and a step may hold any number
    // of breaks.
    for (size_t prefix = 0; prefix < 140; ++prefix) {
        const std::string a(prefix, 'a');
        EXPECT_EQ(LinesOf(a + "\r\nb"), (Lines{a + "\r\n", "b"})) << prefix;
        EXPECT_EQ(LinesOf(a + "\rb\n"), (Lines{a + "\r\n", "b\r\n"})) << prefix;
        EXPECT_EQ(LinesOf(a + "\r\r\n\n"), (Lines{a + "\r\n", "\r\n", "\r\n"})) << prefix;
    }
    EXPECT_EQ(LinesOf(std::string(200, '\n')), Lines(200, "\r\n"));
    EXPECT_EQ(LinesOf(std::string(201, '\r') + "\n"), Lines(201, "\r\n"));
    std::string mixed;
    for (int i = 0; i < 100; ++i)
        mixed += i % 3 == 0 ? "x\r\n" : i % 3 == 1 ? "\n" : "yy\r";
    const Lines lines = LinesOf(mixed);
    ASSERT_EQ(lines.size(), 100u);
    EXPECT_EQ(lines[97], "\r\n");
    EXPECT_EQ(lines[98], "yy\r\n");
    EXPECT_EQ(lines[99], "x\r\n");
}

TEST(TextLines, ALargeTextReadInTwoHalvesIsTheWholeText) {
    // A large text is read and scanned in two halves at once: wherever its
    // middle falls (inside a CR LF, between two breaks, inside a line), the
    // lines are those of the text read from one end to the other.
    test::TScratchFolder folder;
    std::string body;
    for (int i = 0; body.size() < 5'000'000; ++i)
        body += i % 5 == 0 ? "\t\tline\r\n" : i % 5 == 1 ? "\n" : i % 5 == 2 ? "\tab\r" : "xyz\r\n";
    // The middle falls inside a line, after a lone CR, after an LF, between
    // two LFs, and inside a CR LF.
    for (const size_t shift : {0, 4, 12, 14, 16}) {
        const std::string text = std::string(shift, 'x') + body;
        test::WriteFile(folder.File("large.txt"), text);
        TTextLines lines;
        ASSERT_TRUE(LoadTextLines(folder.Native("large.txt"), lines));
        Lines expected;
        for (size_t begin = 0; begin < text.size();) {
            const size_t end = std::min(text.find_first_of("\r\n", begin), text.size());
            expected.push_back(text.substr(begin, end - begin));
            begin = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
        }
        ASSERT_EQ(lines.Count(), expected.size()) << shift;
        size_t same = 0;
        while (same < expected.size() && lines.Line(same) == expected[same])
            ++same;
        EXPECT_EQ(same, expected.size()) << shift << ": line " << same << " differs";
    }
}
