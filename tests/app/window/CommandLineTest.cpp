#include "app/window/CommandLine.h"

#include "common/Version.h"

#include <gtest/gtest.h>

#include <ostream>

using namespace varnoke;

namespace {

enum class TAnswer { None, Help, Version };

struct TCommandLineCase {
    std::vector<std::string> Arguments;
    TAnswer Expected;
};

void PrintTo(const TCommandLineCase& row, std::ostream* out) {
    for (const std::string& argument : row.Arguments)
        *out << argument << " ";
}

class AnswerBeforeWindowRows : public ::testing::TestWithParam<TCommandLineCase> {};

TEST_P(AnswerBeforeWindowRows, AnswersOnlyHelpAndVersion) {
    const TCommandLineCase& row = GetParam();
    const std::optional<std::string> answer = AnswerBeforeWindow(row.Arguments);
    switch (row.Expected) {
    case TAnswer::None:
        EXPECT_FALSE(answer.has_value()) << *answer;
        break;
    case TAnswer::Help:
        ASSERT_TRUE(answer.has_value());
        EXPECT_EQ(answer->rfind("使い方: varnoke ", 0), 0u) << *answer;
        break;
    case TAnswer::Version:
        EXPECT_EQ(answer, std::string("varnoke ") + ProgramVersion() + "\n");
        break;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, AnswerBeforeWindowRows,
    ::testing::Values(TCommandLineCase{{}, TAnswer::None},
                      TCommandLineCase{{"guide.vkp"}, TAnswer::None},
                      TCommandLineCase{{"--help"}, TAnswer::Help},
                      TCommandLineCase{{"-h"}, TAnswer::Help},
                      TCommandLineCase{{"--version"}, TAnswer::Version},
                      TCommandLineCase{{"-v", "guide.vkp"}, TAnswer::Version},
                      // Help tells what --version does as well, wherever each stands.
                      TCommandLineCase{{"--version", "--help"}, TAnswer::Help},
                      // The toolkit's options are for the application object to read.
                      TCommandLineCase{{"-platform", "offscreen", "--version"}, TAnswer::Version},
                      TCommandLineCase{{"-style", "fusion", "guide.txt"}, TAnswer::None},
                      // After "--" only file names: a text may be called "--help".
                      TCommandLineCase{{"--", "--help"}, TAnswer::None},
                      // Only whole options: a file named like an option's prefix opens.
                      TCommandLineCase{{"--helpful.txt"}, TAnswer::None}));

} // namespace
