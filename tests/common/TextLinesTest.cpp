#include "common/TextLines.h"

#include <gtest/gtest.h>

#include <vector>

using namespace varnoke;

namespace {
std::vector<std::string> LinesOf(std::string_view text) {
    TTextLines lines(text);
    std::vector<std::string> result;
    for (int i = 0; i < lines.Count(); ++i)
        result.emplace_back(lines.Line(i));
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
