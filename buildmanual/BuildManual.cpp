#include "buildmanual/BuildManual.h"

#include "common/Errors.h"
#include "common/FileSystem.h"
#include "common/PathNames.h"
#include "common/StagedFolder.h"
#include "convert/FrameHtml.h"
#include "convert/LineKind.h"
#include "convert/MenuHtml.h"
#include "convert/SearchIndex.h"
#include "convert/SearchPage.h"
#include "convert/TextHtml.h"
#include "convert/TitleHtml.h"
#include "css/CSSProperty.h"
#include "css/CSSPropertyClass.h"
#include "projectdata/ProjectData.h"
#include "sysdata/SystemData.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <future>
#include <optional>
#include <set>
#include <sys/stat.h>
#include <system_error>

namespace varnoke {

namespace {
// A project from elsewhere, or a collection with fewer styles (empty at
// first start), can name a style that does not exist: write the look of a
// fresh style rather than read outside the collection.
void WriteStyleSheet(const TBuildInputs& inputs, int styleIndex, const TNativePath& folder,
                     const char* sheetName, TBuildReport& report) {
    const TNativePath fileName = folder + sheetName;
    if (styleIndex >= 0 && styleIndex < inputs.Styles.Count()) {
        inputs.Styles.WriteCSS(styleIndex, fileName, inputs.SystemColors);
    } else {
        report.Fallbacks.push_back({sheetName, styleIndex});
        TCSSProperty("").WriteCSS(fileName, inputs.SystemColors);
    }
    report.Files.push_back(fileName);
}

// "text.html", or "text" and a number and ".html".
bool IsBodyPageName(const std::string& name) {
    const std::string prefix = "text";
    const std::string suffix = ".html";
    if (name.size() < prefix.size() + suffix.size() ||
        name.compare(0, prefix.size(), prefix) != 0 ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
        return false;
    const std::string number =
        name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
    return std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; });
}

constexpr size_t LinesForAMenuThread = 50000;

// Writes the manual's files into the folder, in place.
void WriteManual(const TBuildInputs& inputs, const TNativePath& folder, TBuildReport& report) {
    const TProjectData& project = inputs.Project;
    const bool frames = project.ContentsType == 1;
    // The search's data takes about as long as the pages: it is coded and
    // written on a thread of its own while they are written. The line
    // source finishes any lazy work of its own before threads share it.
    inputs.Lines.LastLineHasBreak();
    std::future<void> searchIndex;
    if (project.SearchFlag) {
        searchIndex = std::async(std::launch::async, [&inputs, &folder, &project, frames] {
            WriteSearchIndex(inputs.Lines, project.FileDivideFlag, frames, folder + "search.js");
        });
    }
    WriteStyleSheet(inputs, project.StyleTitle, folder, "title.css", report);
    WriteStyleSheet(inputs, project.StyleMenu, folder, "menu.css", report);
    WriteStyleSheet(inputs, project.StyleText, folder, "text.css", report);
    const TNativePath body = folder + "text.html";
    const TSearchLinks links = SearchLinks(project.SearchFlag, frames);
    // The menu reads the same lines as the body pages and writes a file of
    // its own: for a large text a second processor writes it meanwhile. A
    // small text's menu costs less than a thread's start.
    const bool menuAside = inputs.Lines.Count() >= LinesForAMenuThread;
    std::future<void> menu =
        std::async(menuAside ? std::launch::async : std::launch::deferred, [&] {
            MakeMenuHtml(project.FileDivideFlag, inputs.Lines, folder + "menu.html", body,
                         folder + "menu.css", links.Menu != 0);
        });
    const int pages =
        MakeTextHtml(project.FileDivideFlag, inputs.Lines, body, folder + "text.css",
                     std::clamp(inputs.TabSpace, 0, MaximumTabSpace), links.Body != 0);
    for (int page = 0; page < pages; ++page)
        report.Files.push_back(
            project.FileDivideFlag ? TNativePath(SplitPageFileName(body.Name(), page)) : body);
    menu.get();
    report.Files.push_back(folder + "menu.html");
    MakeTitleHtml(project.TitleName, folder + "title.html", folder + "title.css");
    report.Files.push_back(folder + "title.html");
    MakeFrameHtml(project.TitleFrameFlag, project.FileDivideFlag, folder + "frame.html");
    report.Files.push_back(folder + "frame.html");
    if (project.SearchFlag) {
        MakeSearchPage(frames, project.FileDivideFlag, folder + "search.html", folder + "menu.css");
        report.Files.push_back(folder + "search.html");
        searchIndex.get();
        report.Files.push_back(folder + "search.js");
    }
}

// What a file is, whatever its name: a link, a hard link or another
// spelling of the path leads to the same device and inode.
struct TFileIdentity {
    dev_t Device;
    ino_t Inode;
    bool operator==(const TFileIdentity& other) const {
        return Device == other.Device && Inode == other.Inode;
    }
};

std::optional<TFileIdentity> IdentityOf(const TNativePath& path) {
    struct stat info {};
    if (path.Empty() || ::stat(path.CStr(), &info) != 0)
        return std::nullopt;
    return TFileIdentity{info.st_dev, info.st_ino};
}

// Refuses a build whose files would replace one of its inputs: the text
// named "text.html" in the output folder, a project named "frame.html".
void RefuseOverwritingInputs(const TNativePath& folder, const std::vector<std::string>& names,
                             const std::vector<TNativePath>& inputFiles) {
    std::vector<std::pair<TFileIdentity, TNativePath>> inputs;
    for (const TNativePath& input : inputFiles) {
        if (const std::optional<TFileIdentity> identity = IdentityOf(input))
            inputs.emplace_back(*identity, input);
    }
    for (const std::string& name : names) {
        const std::optional<TFileIdentity> target = IdentityOf(folder + name);
        for (const auto& [identity, input] : inputs) {
            if (target && *target == identity)
                throw EOverwritesInput(folder + name, input);
        }
    }
}

// The order of committing: the files in the order of writing, then any
// other file written into the stage.
std::vector<std::string> CommitOrder(const TBuildReport& report, const TStagedFolder& stage) {
    std::vector<std::string> names;
    for (const TNativePath& file : report.Files)
        names.push_back(ExtractFileName(file.Name()));
    std::vector<std::string> others = stage.Names();
    std::sort(others.begin(), others.end());
    for (const std::string& name : others) {
        if (std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(name);
    }
    return names;
}
} // namespace

TBuildReport BuildManual(const TBuildInputs& inputs, const TNativePath& folder) {
    TStagedFolder stage(folder, "title.css");
    TBuildReport report;
    try {
        WriteManual(inputs, stage.Path(), report);
    } catch (const EInOutError& error) {
        throw EInOutError(error.Code(), stage.FinalName(error.FileName()));
    }
    const std::vector<std::string> names = CommitOrder(report, stage);
    RefuseOverwritingInputs(folder, names, inputs.InputFiles);
    stage.Commit(names);
    for (TNativePath& file : report.Files)
        file = folder + ExtractFileName(file.Name());
    report.InputFiles = inputs.InputFiles;
    return report;
}

std::string EntryPage(const TProjectData& project) {
    if (project.ContentsType == 1)
        return "frame.html";
    return project.FileDivideFlag ? "text0.html" : "text.html";
}

void RemoveStaleBodyPages(const TNativePath& folder, const TBuildReport& report) {
    std::set<std::string> written;
    for (const TNativePath& file : report.Files)
        written.insert(ExtractFileName(file.Name()));
    std::error_code error;
    std::filesystem::directory_iterator entries(folder.Name(), error);
    std::vector<std::filesystem::path> stale;
    for (; !error && entries != std::filesystem::directory_iterator(); entries.increment(error)) {
        const std::string name = entries->path().filename().string();
        std::error_code kindError;
        if (IsBodyPageName(name) && written.count(name) == 0 && entries->is_regular_file(kindError))
            stale.push_back(entries->path());
    }
    std::vector<TFileIdentity> inputs;
    for (const TNativePath& input : report.InputFiles) {
        if (const std::optional<TFileIdentity> identity = IdentityOf(input))
            inputs.push_back(*identity);
    }
    stale.erase(std::remove_if(stale.begin(), stale.end(),
                               [&](const std::filesystem::path& page) {
                                   const auto identity = IdentityOf(TNativePath(page.string()));
                                   return identity && std::find(inputs.begin(), inputs.end(),
                                                                *identity) != inputs.end();
                               }),
                stale.end());
    for (const std::filesystem::path& page : stale)
        std::filesystem::remove(page, error);
}

} // namespace varnoke
