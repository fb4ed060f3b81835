#include "cli/BuildCommand.h"

#include "cli/EndSignals.h"
#include "cli/WatchCommand.h"

#include "buildmanual/BuildManual.h"
#include "common/Errors.h"
#include "common/FileSystem.h"
#include "common/PathNames.h"
#include "common/ProgramPaths.h"
#include "common/ShiftJis.h"
#include "common/TextLines.h"
#include "common/Version.h"
#include "projectdata/ProjectData.h"
#include "sysdata/SystemData.h"

#include <charconv>
#include <optional>
#include <ostream>
#include <system_error>

namespace varnoke {

namespace {

constexpr const char* Program = "varnoke-build";
constexpr int MaximumTabWidth = MaximumTabSpace;

const char* const HelpText =
    "使い方: varnoke-build [--styles INI] [--out DIR] [--tab N] [--search | --no-search]\n"
    "                     [--watch] PROJECT.vkp\n"
    "\n"
    "プロジェクトファイルからマニュアル (HTML ページと CSS) を作成します。\n"
    "\n"
    "  --styles INI  スタイルを読むファイル (既定: varnoke の設定ファイル)\n"
    "  --out DIR     出力フォルダ (既定: プロジェクトの出力フォルダ。無ければ作成)\n"
    "  --tab N       本文の先頭タブ 1 つあたりの &nbsp; の数 (既定: 設定の TABSPACE、無ければ 2)\n"
    "  --search      検索ページ (search.html と search.js) と検索へのリンクを付けます\n"
    "                (プロジェクトの SEARCHFLAG より優先)\n"
    "  --no-search   検索を付けません (プロジェクトの SEARCHFLAG より優先)\n"
    "  --watch       作成のあと、プロジェクト・テキスト・スタイルのファイルが変わるたびに\n"
    "                作り直します (Ctrl+C で終了)\n"
    "  --help        この説明を表示します\n"
    "  --version     版を表示します\n"
    "\n"
    "終了コード: 0 成功、1 ファイルに書き込めない、2 使い方の誤り・ファイルが見つからない・\n"
    "入力のファイルを上書きする\n"
    "\n"
    "This help and the messages are in Japanese; man varnoke-build describes them in English.\n";

// What a text with NUL characters is told, in the words of the window,
// which asks before it reads one.
const char* const NulCharacters =
    " NUL 文字が含まれています。テキストではないか、文字コードが違う可能性があります";

// A usage problem: the message is shown and the command ends with exit 2.
// A mistake in the command line itself also points to --help.
struct TUsageError {
    std::string Message;
    bool PointToHelp = false;
};

struct TOptions {
    std::optional<std::string> Styles;
    std::optional<std::string> OutputFolder;
    std::optional<int> TabWidth;
    std::optional<bool> Search; // over the project's SEARCHFLAG
    std::string ProjectFile;
    bool Help = false;
    bool Version = false;
    bool Watch = false;
};

int ParseTabWidth(const std::string& text) {
    int value = -1;
    auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size() || value < 0 ||
        value > MaximumTabWidth)
        throw TUsageError{"--tab には 0 から " + std::to_string(MaximumTabWidth) +
                          " までの数を指定してください: " + text};
    return value;
}

TOptions ParseCommandLine(const std::vector<std::string>& arguments);

TOptions ParseOptions(const std::vector<std::string>& arguments) {
    try {
        return ParseCommandLine(arguments);
    } catch (TUsageError& error) {
        error.PointToHelp = true;
        throw;
    }
}

TOptions ParseCommandLine(const std::vector<std::string>& arguments) {
    TOptions options;
    for (size_t i = 0; i < arguments.size(); ++i) {
        std::string argument = arguments[i];
        std::optional<std::string> attached;
        if (argument.rfind("--", 0) == 0 && argument.find('=') != std::string::npos) {
            attached = argument.substr(argument.find('=') + 1);
            argument = argument.substr(0, argument.find('='));
        }
        auto value = [&]() -> std::string {
            if (attached)
                return *attached;
            if (i + 1 >= arguments.size())
                throw TUsageError{argument + " には値が必要です"};
            return arguments[++i];
        };
        if (argument == "--help" || argument == "-h")
            options.Help = true;
        else if (argument == "--version")
            options.Version = true;
        else if (argument == "--watch")
            options.Watch = true;
        else if (argument == "--search" || argument == "--no-search")
            options.Search = argument == "--search";
        else if (argument == "--styles")
            options.Styles = value();
        else if (argument == "--out")
            options.OutputFolder = value();
        else if (argument == "--tab")
            options.TabWidth = ParseTabWidth(value());
        else if (argument.size() > 1 && argument[0] == '-')
            throw TUsageError{"不明なオプションです: " + argument};
        else if (!options.ProjectFile.empty())
            throw TUsageError{"プロジェクトファイルは 1 つだけ指定してください"};
        else
            options.ProjectFile = argument;
    }
    if (!options.Help && !options.Version && options.ProjectFile.empty())
        throw TUsageError{"プロジェクトファイルを指定してください"};
    return options;
}

// The names on the command line are the system's: none of them goes into
// the model, so any character will do.
const std::string& Shown(const TNativePath& path) {
    return path.Name();
}

TProjectData LoadProject(const TNativePath& projectFile) {
    if (!FileExists(projectFile))
        throw TUsageError{"プロジェクトファイルが見つかりません: " + Shown(projectFile)};
    TProjectData project;
    project.LoadFromFile(projectFile);
    return project;
}

// A name the project holds, as a file beside the project file; a name that
// is not CP932 raises EConvertError naming it.
TNativePath ProjectRelativeFile(const TNativePath& projectFile, const std::string& sjisName) {
    return ResolveAgainst(FolderOf(projectFile), NativePath(sjisName));
}

TNativePath TextFile(const TProjectData& project, const TNativePath& projectFile) {
    return ProjectRelativeFile(projectFile, project.TextName);
}

TTextLines LoadText(const TProjectData& project, const TNativePath& projectFile,
                    std::ostream& err) {
    if (project.TextName.empty())
        throw TUsageError{"プロジェクトにテキストファイル (TEXTNAME) がありません: " +
                          Shown(projectFile)};
    const TNativePath textFile = TextFile(project, projectFile);
    TTextLines lines;
    TTextFileSigns signs;
    if (DirectoryExists(textFile) || !LoadTextLines(textFile, lines, &signs))
        throw TUsageError{"テキストファイルが見つかりません: " + Shown(textFile)};
    // The window asks before it reads such a file; here the build goes on.
    if (signs.NulBytes)
        err << Program << ": 警告: テキストファイル \"" << Shown(textFile) << "\" には"
            << NulCharacters << "\n";
    return lines;
}

TNativePath OutputFolder(const TOptions& options, const TProjectData& project,
                         const TNativePath& projectFile) {
    TNativePath folder;
    if (options.OutputFolder)
        folder = TNativePath(*options.OutputFolder);
    else if (!project.OutputPath.empty())
        folder = ProjectRelativeFile(projectFile, project.OutputPath);
    else
        throw TUsageError{"出力フォルダがありません。--out で指定してください"};
    if (folder.Empty())
        throw TUsageError{"--out に空のフォルダ名は使えません"};
    return AsFolder(folder);
}

// What one build did: its exit code (the error already shown) and the page
// to open.
struct TBuildOutcome {
    int ExitCode = ExitSuccess;
    std::string EntryPage; // as shown to the user
};

TNativePath StylesFile(const TOptions& options, const TNativePath& windowExecutable) {
    if (options.Styles)
        return TNativePath(*options.Styles);
    return SettingsIniPathOfProgram(windowExecutable);
}

// The text as the build reads it, asking every few thousand lines whether
// an end signal waits: a build of the longest text then stops within a
// millisecond or two of the signal, and unwinds through BuildManual, which
// removes what it had written.
class TStoppableLines : public TTextLines {
  public:
    TStoppableLines(TTextLines lines, const TEndSignals* signals)
        : TTextLines(std::move(lines)), signals_(signals) {}
    // The text's own Line, called directly: a page asks for every line.
    // The search's data is made on threads of its own, which read the
    // lines at the same time: each thread counts its own lines, so that
    // none waits on a count the others keep writing.
    std::string_view Line(size_t index) const override {
        thread_local unsigned asked = 0;
        if ((++asked & 0xFFF) == 0)
            StopWhenAsked(signals_);
        return TTextLines::Line(index);
    }

    static void StopWhenAsked(const TEndSignals* signals) {
        if (signals && signals->Pending())
            throw TBuildStopped{};
    }

  private:
    const TEndSignals* signals_;
};

// The inputs of one build, as read.
struct TInputs {
    TNativePath ProjectFile;
    TProjectData Project;
    TTextLines Lines;
    TNativePath SettingsFile;
    std::optional<TSystemData> Settings;
};

// Reads the project, its text and the styles. Nothing is written yet, so an
// end signal meanwhile ends the program at once, however long the text.
void ReadInputs(const TOptions& options, const TNativePath& windowExecutable,
                const TWillRead& willRead, const TEndSignals* signals, std::ostream& err,
                TInputs& inputs) {
    std::optional<TEndSignals::TLetThrough> letThrough;
    if (signals)
        letThrough.emplace(*signals);
    inputs.ProjectFile = TNativePath(options.ProjectFile);
    willRead(inputs.ProjectFile.Name());
    inputs.Project = LoadProject(inputs.ProjectFile);
    inputs.Project.SearchFlag = options.Search.value_or(inputs.Project.SearchFlag);
    if (!inputs.Project.TextName.empty())
        willRead(TextFile(inputs.Project, inputs.ProjectFile).Name());
    inputs.Lines = LoadText(inputs.Project, inputs.ProjectFile, err);

    inputs.SettingsFile = StylesFile(options, windowExecutable);
    willRead(inputs.SettingsFile.Name());
    if (options.Styles && !FileExists(inputs.SettingsFile))
        throw TUsageError{"スタイルファイルが見つかりません: " + *options.Styles};
    TSystemData& settings = inputs.Settings.emplace(inputs.SettingsFile);
    settings.Load();
    settings.Styles.LoadFromFile(inputs.SettingsFile);
}

// willRead hears of every input file before it is read (see TWillRead).
void Build(const TOptions& options, const TNativePath& windowExecutable, const TWillRead& willRead,
           const TEndSignals* signals, std::ostream& err, TBuildOutcome& outcome) {
    TInputs read;
    ReadInputs(options, windowExecutable, willRead, signals, err, read);
    TStoppableLines::StopWhenAsked(signals);
    const TNativePath& projectFile = read.ProjectFile;
    const TProjectData& project = read.Project;
    const TNativePath& settingsFile = read.SettingsFile;
    const TSystemData& settings = *read.Settings;
    const int tabWidth = options.TabWidth.value_or(settings.TabSpace);

    const TNativePath folder = OutputFolder(options, project, projectFile);
    ForceDirectories(folder);
    const TStoppableLines stoppable(std::move(read.Lines), signals);
    TBuildInputs inputs{project, settings.Styles, stoppable, tabWidth};
    inputs.InputFiles = {projectFile, TextFile(project, projectFile), settingsFile};
    TBuildReport report = BuildManual(inputs, folder);
    for (const auto& fallback : report.Fallbacks)
        err << Program << ": 警告: スタイル番号 " << fallback.StyleIndex << " は "
            << Shown(settingsFile) << " にありません。" << fallback.SheetName
            << " は初期状態のスタイルで作成しました\n";
    const char* entryPage = project.ContentsType == 1 ? "frame.html" : "text.html";
    if (project.ContentsType != 1 && project.FileDivideFlag)
        entryPage = "text0.html";
    outcome.EntryPage = Shown(folder) + entryPage;
}

// One build with every failure shown on `err` and turned into an exit code;
// a build stopped by a signal raises TBuildStopped.
TBuildOutcome BuildOnce(const TOptions& options, const TNativePath& windowExecutable,
                        const TWillRead& willRead, const TEndSignals* signals, std::ostream& err) {
    TBuildOutcome outcome;
    const auto fail = [&](int exitCode, const std::string& message) {
        err << Program << ": " << message << "\n";
        outcome.ExitCode = exitCode;
    };
    try {
        Build(options, windowExecutable, willRead, signals, err, outcome);
    } catch (const TUsageError& error) {
        fail(ExitUsage, error.Message);
        if (error.PointToHelp)
            err << "詳しくは varnoke-build --help を見てください\n";
    } catch (const EInOutError& error) {
        fail(ExitWriteFailed, Shown(error.FileName()) + ": " + error.what());
    } catch (const EFOpenError& error) {
        fail(ExitUsage, error.what());
    } catch (const EConvertError& error) {
        fail(ExitUsage, error.what()); // a name in the project that names no file
    } catch (const EOverwritesInput& error) {
        fail(ExitUsage, error.what());
    } catch (const std::exception& error) {
        fail(ExitWriteFailed, error.what());
    }
    return outcome;
}

// Rebuilds on every change of the inputs; the page to open is shown at the
// start and whenever the project moves it.
int Watch(const TOptions& options, const TNativePath& windowExecutable, std::ostream& out,
          std::ostream& err) {
    std::string shownEntryPage;
    return WatchAndRebuild(
        [&](const TWillRead& willRead, const TEndSignals& signals) {
            const TBuildOutcome outcome =
                BuildOnce(options, windowExecutable, willRead, &signals, err);
            err.flush();
            if (!outcome.EntryPage.empty() && outcome.EntryPage != shownEntryPage) {
                shownEntryPage = outcome.EntryPage;
                out << shownEntryPage << "\n";
            }
            return outcome.ExitCode == ExitSuccess;
        },
        out, err);
}

// A single build. A signal stops it as it stops a build of the watch, with
// nothing left half written; then the signal, let through again, ends the
// program as it would have.
int BuildOnceUntilStopped(const TOptions& options, const TNativePath& windowExecutable,
                          std::ostream& out, std::ostream& err) {
    std::optional<TEndSignals> signals;
    try {
        signals.emplace(false);
    } catch (const std::system_error&) {
        // Not held back then: a signal ends the build where it is.
    }
    try {
        const TBuildOutcome outcome = BuildOnce(
            options, windowExecutable, [](const std::string&) {}, signals ? &*signals : nullptr,
            err);
        if (outcome.ExitCode == ExitSuccess)
            out << outcome.EntryPage << "\n";
        return outcome.ExitCode;
    } catch (const TBuildStopped&) {
        return ExitWriteFailed;
    }
}

} // namespace

int RunBuildCommand(const std::vector<std::string>& arguments, const TNativePath& windowExecutable,
                    std::ostream& out, std::ostream& err) {
    try {
        TOptions options = ParseOptions(arguments);
        if (options.Help) {
            out << HelpText;
            return ExitSuccess;
        }
        if (options.Version) {
            out << Program << " " << ProgramVersion() << "\n";
            return ExitSuccess;
        }
        if (options.Watch)
            return Watch(options, windowExecutable, out, err);
        return BuildOnceUntilStopped(options, windowExecutable, out, err);
    } catch (const TUsageError& error) {
        err << Program << ": " << error.Message << "\n";
        if (error.PointToHelp)
            err << "詳しくは varnoke-build --help を見てください\n";
        return ExitUsage;
    }
}

} // namespace varnoke
