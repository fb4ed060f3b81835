// Each program's --help and --version, run without a display, against its
// man page and the release in debian/changelog: an option added to one and
// not the other, or a version written by hand anywhere, fails here.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <sys/wait.h>

namespace {

struct TProgram {
    const char* Name;
    const char* Path;
};

void PrintTo(const TProgram& program, std::ostream* out) {
    *out << program.Name;
}

const TProgram Programs[] = {
    {"varnoke-build", VARNOKE_BUILD_TOOL},
#ifdef VARNOKE_WINDOW_PROGRAM
    {"varnoke", VARNOKE_WINDOW_PROGRAM},
#endif
};

struct TRun {
    int ExitCode = -1;
    std::string Output;
};

// Runs the program with one option, with no display to connect to.
TRun RunProgram(const std::string& path, const std::string& option) {
    const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '" + path +
                                "' " + option + " 2>/dev/null";
    TRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return run;
    char buffer[4096];
    size_t count = 0;
    while ((count = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.Output.append(buffer, count);
    const int status = pclose(pipe);
    run.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// The man page as a reader sees it: "\-" is a dash, font changes vanish.
std::string ManPageText(const std::string& name) {
    std::string text = ReadFile(std::string(VARNOKE_MAN_FOLDER) + "/" + name + ".1");
    text = std::regex_replace(text, std::regex(R"(\\-)"), "-");
    return std::regex_replace(text, std::regex(R"(\\f[BIRP])"), "");
}

std::string ChangelogVersion() {
    std::smatch match;
    const std::string changelog = ReadFile(VARNOKE_CHANGELOG);
    if (!std::regex_search(changelog, match, std::regex(R"(^varnoke \(([^)]+)\))")))
        return "(no version in debian/changelog)";
    return match[1];
}

// Every option the help names: "-h", "--tab", "-platform".
std::set<std::string> OptionsIn(const std::string& help) {
    std::set<std::string> options;
    const std::regex option(R"((?:^|[\s\[|(,])(--?[A-Za-z][A-Za-z-]*))");
    for (auto it = std::sregex_iterator(help.begin(), help.end(), option);
         it != std::sregex_iterator(); ++it)
        options.insert((*it)[1]);
    return options;
}

bool Names(const std::string& manPage, const std::string& option) {
    return std::regex_search(manPage, std::regex("(^|[^A-Za-z-])" + option + "($|[^A-Za-z-])"));
}

class ProgramDocs : public ::testing::TestWithParam<TProgram> {};

TEST_P(ProgramDocs, HelpNamesOnlyWhatTheManPageDescribes) {
    const TProgram& program = GetParam();
    const TRun help = RunProgram(program.Path, "--help");
    ASSERT_EQ(help.ExitCode, 0) << help.Output;
    const std::string manPage = ManPageText(program.Name);
    ASSERT_FALSE(manPage.empty());

    const std::set<std::string> options = OptionsIn(help.Output);
    EXPECT_TRUE(options.count("--help") && options.count("--version")) << help.Output;
    for (const std::string& option : options)
        EXPECT_TRUE(Names(manPage, option))
            << option << " is missing from " << program.Name << "(1)";

    // The help is Japanese; its last line tells everyone else so in English.
    const size_t lastLine = help.Output.rfind('\n', help.Output.size() - 2) + 1;
    const std::string last = help.Output.substr(lastLine);
    EXPECT_NE(last.find("in English"), std::string::npos) << last;
    for (const unsigned char c : last)
        EXPECT_LT(c, 0x80) << last;
}

TEST_P(ProgramDocs, VersionIsTheChangelogsEverywhere) {
    const TProgram& program = GetParam();
    const std::string version = ChangelogVersion();
    const TRun run = RunProgram(program.Path, "--version");
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_EQ(run.Output, std::string(program.Name) + " " + version + "\n");
    const std::string manPage = ManPageText(program.Name);
    EXPECT_NE(manPage.substr(0, manPage.find('\n')).find("\"Varnoke " + version + "\""),
              std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Programs, ProgramDocs, ::testing::ValuesIn(Programs), [](const auto& row) {
    std::string name = row.param.Name;
    return std::regex_replace(name, std::regex("-"), "_");
});

} // namespace
