#include "app/window/CommandLine.h"

#include "common/Version.h"

namespace varnoke {

namespace {

// Japanese like the window and like varnoke-build's help; the last line
// tells everyone else where to read it in English.
const char* const HelpText =
    "使い方: varnoke [-h | --help] [-v | --version] [FILE]\n"
    "\n"
    "Varnoke V2 のウィンドウを開きます。FILE にプロジェクトファイル (.vkp) を指定すると\n"
    "そのプロジェクトを、ほかのファイルを指定するとそのテキストを開きます。\n"
    "\n"
    "  -h, --help     この説明を表示します\n"
    "  -v, --version  版を表示します\n"
    "\n"
    "Qt の共通オプション (-platform NAME、-style NAME など) も使えます。\n"
    "終了コード: 0 ウィンドウを閉じた、1 不明なオプション\n"
    "\n"
    "This help is in Japanese; man varnoke describes the options in English.\n";

} // namespace

std::optional<std::string> AnswerBeforeWindow(const std::vector<std::string>& arguments) {
    bool version = false;
    for (const std::string& argument : arguments) {
        if (argument == "--")
            break;
        // Help wins wherever it stands: it also tells what --version does.
        if (argument == "-h" || argument == "--help")
            return std::string(HelpText);
        if (argument == "-v" || argument == "--version")
            version = true;
    }
    if (version)
        return std::string("varnoke ") + ProgramVersion() + "\n";
    return std::nullopt;
}

} // namespace varnoke
