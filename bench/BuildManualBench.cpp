// How fast the whole manual is rebuilt: the window does it on every
// keystroke, so a 1 MB manual must build in well under the time between two
// keys. Writes into /dev/shm (memory) so the figures measure our code, not
// the disk.
#include "ManualGenerator.h"
#include "buildmanual/BuildManual.h"
#include "common/TextLines.h"
#include "css/CSSPropertyClass.h"
#include "projectdata/ProjectData.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace varnoke;
using varnoke::bench::GenerateManual;
namespace fs = std::filesystem;

namespace {

fs::path ScratchFolder() {
    fs::path base = fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    fs::path folder = base / ("varnoke-bench-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    return folder;
}

void BM_BuildManual(benchmark::State& state) {
    const size_t bytes = static_cast<size_t>(state.range(0));
    const bool split = state.range(1) != 0;
    const std::string text = GenerateManual(bytes);
    const TTextLines lines(text);
    TProjectData project;
    project.FileDivideFlag = split;
    project.ContentsType = 1;
    TCSSPropertyClass styles;
    styles.Add("standard");
    const fs::path folder = ScratchFolder();
    const std::string target = folder.string() + "/";
    for (auto _ : state)
        BuildManual({project, styles, lines, 4}, TNativePath(target));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(text.size()));
    fs::remove_all(folder);
}
BENCHMARK(BM_BuildManual)
    ->ArgsProduct({{100'000, 1'000'000, 10'000'000}, {0, 1}})
    ->ArgNames({"bytes", "split"})
    ->Unit(benchmark::kMillisecond);

// The same through the command-line tool: reading and decoding the file,
// loading the project and styles, and starting the process.
void BM_CommandLineTool(benchmark::State& state) {
    const size_t bytes = static_cast<size_t>(state.range(0));
    const fs::path folder = ScratchFolder();
    std::ofstream(folder / "manual.txt", std::ios::binary) << GenerateManual(bytes);
    std::ofstream(folder / "manual.vkp", std::ios::binary)
        << "[PROJECT]\r\nTEXTNAME=manual.txt\r\nCONTENTSTYPE=1\r\nOUTPUTPATH=out\r\n";
    const std::string command = std::string(VARNOKE_BUILD_TOOL) +
                                " --styles " VARNOKE_EXAMPLES "/styles.INI " +
                                (folder / "manual.vkp").string() + " >/dev/null 2>&1";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("varnoke-build failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
    fs::remove_all(folder);
}
BENCHMARK(BM_CommandLineTool)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Arg(10'000'000)
    ->ArgName("bytes")
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
