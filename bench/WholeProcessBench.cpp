// What the user of varnoke-build waits for: the whole process, from exec to
// exit, on a generated manual written to a memory-backed folder. The floor
// is a plain copy of the tool's own output folder (`cp -r`), timed in the
// same run, round for round, so that a busy machine slows both alike. Prints
// the ratio of the two, the tool's peak memory, and the CPU time a 1 MB
// manual takes beyond the bare start of the process. Then the build with
// the search against the build without it, round for round, and the size
// of search.js against the text's headings and body, on the generated
// manual and on one of varied Japanese characters.
//
//     whole_process_bench [--megabytes N] [--rounds N] [--utf8]
#include "ManualGenerator.h"
#include "common/ShiftJis.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <string_view>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace {

struct TProcessFigures {
    double WallSeconds = 0;
    double CpuSeconds = 0; // user + system
    long PeakKilobytes = 0;
};

double Seconds(const timeval& time) {
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
}

double Now() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// Runs a program with its output thrown away; the figures come from the
// kernel's account of that one child.
TProcessFigures Run(const std::vector<std::string>& command) {
    std::vector<char*> argv;
    for (const std::string& argument : command)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const double start = Now();
    pid_t child = 0;
    if (posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        std::perror(argv[0]);
        std::exit(1);
    }
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    TProcessFigures figures;
    figures.WallSeconds = Now() - start;
    posix_spawn_file_actions_destroy(&actions);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s failed\n", argv[0]);
        std::exit(1);
    }
    figures.CpuSeconds = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
    figures.PeakKilobytes = usage.ru_maxrss;
    return figures;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Decimal megabytes, as the sizes of texts are usually given.
double Megabytes(double bytes) {
    return bytes / 1e6;
}

uintmax_t FolderBytes(const fs::path& folder) {
    uintmax_t total = 0;
    for (const auto& entry : fs::directory_iterator(folder))
        total += entry.file_size();
    return total;
}

// A project beside its text; the styles are the example manual's, so that
// the figures do not depend on the machine's settings file.
struct TManual {
    fs::path Project;
    uintmax_t TextBytes = 0;
    uintmax_t ShownBytes = 0; // of the headings and body lines, without their tabs
};

uintmax_t ShownBytes(const std::string& text) {
    uintmax_t bytes = 0;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        const std::string_view line(text.data() + start, end - start);
        if (!line.empty() && line[0] != '#') {
            const size_t tabs = line[0] != '\t' ? 0 : line.size() > 1 && line[1] == '\t' ? 2 : 1;
            bytes += line.size() - tabs;
        }
        start = end + 2;
    }
    return bytes;
}

// The text is written and dropped before any child starts: a child
// inherits the parent's memory until exec, and the kernel counts that in
// the child's peak.
TManual WriteManual(const fs::path& folder, size_t bytes, bool utf8, bool varied = false) {
    fs::create_directories(folder);
    uintmax_t shown = 0;
    {
        std::string text = varied ? varnoke::bench::GenerateVariedManual(bytes)
                                  : varnoke::bench::GenerateManual(bytes);
        shown = ShownBytes(text);
        if (utf8)
            text = varnoke::SjisToUtf8(text);
        std::ofstream(folder / "manual.txt", std::ios::binary) << text;
    }
    std::ofstream(folder / "manual.vkp", std::ios::binary)
        << "[PROJECT]\r\nTEXTNAME=manual.txt\r\nCONTENTSTYPE=1\r\nSTYLETITLE=2\r\nSTYLEMENU=1\r\n";
    return {folder / "manual.vkp", fs::file_size(folder / "manual.txt"), shown};
}

std::vector<std::string> ToolCommand(const TManual& manual, const fs::path& out) {
    return {
        VARNOKE_BUILD_TOOL,     "--styles", VARNOKE_EXAMPLES "/styles.INI", "--out", out.string(),
        manual.Project.string()};
}

struct TOptions {
    size_t Megabytes = 20;
    int Rounds = 15;
    bool Utf8 = false;
};

TOptions ParseOptions(int argc, char** argv) {
    TOptions options;
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        if (argument == "--megabytes" && i + 1 < argc)
            options.Megabytes = std::strtoul(argv[++i], nullptr, 10);
        else if (argument == "--rounds" && i + 1 < argc)
            options.Rounds = std::max(1, std::atoi(argv[++i]));
        else if (argument == "--utf8")
            options.Utf8 = true;
        else {
            std::fprintf(stderr, "usage: %s [--megabytes N] [--rounds N] [--utf8]\n", argv[0]);
            std::exit(2);
        }
    }
    return options;
}

// The large manual: the tool and the copy of its output, alternating.
void CompareWithCopy(const fs::path& base, const TOptions& options) {
    const TManual manual = WriteManual(base / "large", options.Megabytes * 1'000'000, options.Utf8);
    const fs::path out = base / "large-out";
    const fs::path copy = base / "large-copy";
    Run(ToolCommand(manual, out)); // warms the page cache and creates the folder
    std::vector<double> toolTimes, copyTimes, toolCpu;
    long peak = 0;
    for (int round = 0; round < options.Rounds; ++round) {
        TProcessFigures tool = Run(ToolCommand(manual, out));
        toolTimes.push_back(tool.WallSeconds);
        toolCpu.push_back(tool.CpuSeconds);
        peak = std::max(peak, tool.PeakKilobytes);
        fs::remove_all(copy);
        copyTimes.push_back(Run({"cp", "-r", out.string(), copy.string()}).WallSeconds);
    }
    const double toolTime = Median(toolTimes);
    const double copyTime = Median(copyTimes);
    const double toolBest = *std::min_element(toolTimes.begin(), toolTimes.end());
    const double copyBest = *std::min_element(copyTimes.begin(), copyTimes.end());
    std::printf("text      %.1f MB %s, output %.1f MB, %d rounds on %s\n",
                Megabytes(static_cast<double>(manual.TextBytes)),
                options.Utf8 ? "UTF-8" : "Shift-JIS",
                Megabytes(static_cast<double>(FolderBytes(out))), options.Rounds,
                base.parent_path().c_str());
    std::printf("tool      %7.1f ms wall (median), %7.1f ms best, %7.1f ms CPU, peak %.1f MB\n",
                toolTime * 1e3, toolBest * 1e3, Median(toolCpu) * 1e3,
                static_cast<double>(peak) * 1024.0 / 1e6);
    std::printf("cp -r     %7.1f ms wall (median), %7.1f ms best\n", copyTime * 1e3,
                copyBest * 1e3);
    // On a busy machine the best round of each says more than the median.
    std::printf("ratio     %7.2f median, %.2f best  (tool / cp -r; target at most 2)\n",
                toolTime / copyTime, toolBest / copyBest);
    std::printf("memory    %7.1f MB above the text (target at most 16)\n",
                static_cast<double>(peak) * 1024.0 / 1e6 -
                    Megabytes(static_cast<double>(manual.TextBytes)));
}

// A 1 MB manual's CPU time, less what the bare process costs: an empty
// program linked against the same runtime libraries, started and ended.
void SmallManualCpu(const fs::path& base, const TOptions& options) {
    const TManual manual = WriteManual(base / "small", 1'000'000, options.Utf8);
    const fs::path out = base / "small-out";
    Run(ToolCommand(manual, out));
    std::vector<double> build, start;
    for (int round = 0; round < std::max(options.Rounds, 21); ++round) {
        build.push_back(Run(ToolCommand(manual, out)).CpuSeconds);
        start.push_back(Run({VARNOKE_EMPTY_PROGRAM}).CpuSeconds);
    }
    const double buildCpu = Median(build);
    const double startCpu = Median(start);
    std::printf("1 MB      %7.2f ms CPU, of which start %.2f ms: %.2f ms beyond the start "
                "(target under 5)\n",
                buildCpu * 1e3, startCpu * 1e3, (buildCpu - startCpu) * 1e3);
}

} // namespace

// The build with the search against the build without it, alternating, and
// the size of the search's data against the text it holds.
void CompareSearch(const fs::path& base, const TOptions& options, bool varied) {
    const TManual manual = WriteManual(base / (varied ? "varied" : "search"),
                                       options.Megabytes * 1'000'000, options.Utf8, varied);
    const fs::path out = base / (varied ? "varied-out" : "search-out");
    std::vector<std::string> on = ToolCommand(manual, out), off = on;
    on.insert(on.end() - 1, "--search");
    off.insert(off.end() - 1, "--no-search");
    Run(on);
    std::vector<double> onTimes, offTimes, onCpu, offCpu;
    for (int round = 0; round < options.Rounds; ++round) {
        const TProcessFigures with = Run(on), without = Run(off);
        onTimes.push_back(with.WallSeconds);
        offTimes.push_back(without.WallSeconds);
        onCpu.push_back(with.CpuSeconds);
        offCpu.push_back(without.CpuSeconds);
    }
    const double script = static_cast<double>(fs::file_size(out / "search.js"));
    std::printf("search    %s manual: %7.1f ms with, %7.1f ms without (median): ratio %.2f, "
                "best %.2f (target at most 1.3)\n",
                varied ? "varied" : "generated", Median(onTimes) * 1e3, Median(offTimes) * 1e3,
                Median(onTimes) / Median(offTimes),
                *std::min_element(onTimes.begin(), onTimes.end()) /
                    *std::min_element(offTimes.begin(), offTimes.end()));
    // The data is coded on a second thread: the wall time gains from it
    // only where a second core is free, the CPU time never.
    std::printf("          CPU %7.1f ms with, %7.1f ms without (median): ratio %.2f\n",
                Median(onCpu) * 1e3, Median(offCpu) * 1e3, Median(onCpu) / Median(offCpu));
    std::printf("search.js %.1f MB for %.1f MB of headings and body: ratio %.2f (target at most "
                "1.2)\n",
                Megabytes(script), Megabytes(static_cast<double>(manual.ShownBytes)),
                script / static_cast<double>(manual.ShownBytes));
}

int main(int argc, char** argv) {
    const TOptions options = ParseOptions(argc, argv);
    const fs::path memory =
        fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    const fs::path base = memory / ("varnoke-whole-process-" + std::to_string(::getpid()));
    CompareWithCopy(base, options);
    SmallManualCpu(base, options);
    CompareSearch(base, options, false);
    CompareSearch(base, options, true);
    fs::remove_all(base);
    return 0;
}
