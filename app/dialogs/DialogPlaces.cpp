#include "app/dialogs/DialogPlaces.h"

#include "common/FileSystem.h"
#include "common/PathNames.h"

#include <QDir>
#include <QFileInfo>

namespace varnoke {

namespace {

QString Native(const std::string& sjisPath) {
    return QString::fromStdString(NativePathOrEmpty(sjisPath).Name());
}

// A name of the project, as the project's own files are read: relative to
// the project's folder.
std::string InProject(const TWorkPlace& place, const std::string& name) {
    if (place.ProjectFile.empty())
        return name;
    return ResolveAgainst(ExtractFilePath(place.ProjectFile), name);
}

std::string ExistingFolderOf(std::string path) {
    while (!path.empty()) {
        if (DirectoryExists(NativePathOrEmpty(path)))
            return IncludeTrailingPathDelimiter(path);
        if (path == "/")
            break;
        // Up one level: the folder part of the path without its last "/".
        if (path.back() == PathDelimiter)
            path.pop_back();
        path = ExtractFilePath(path);
    }
    return std::string();
}

// The folder of the text when the project names one that can be found.
std::string TextFolder(const TWorkPlace& place) {
    if (place.TextName.empty())
        return std::string();
    const std::string text = InProject(place, place.TextName);
    if (text.empty() || text[0] != PathDelimiter)
        return std::string();
    return ExistingFolderOf(ExtractFilePath(text));
}

std::string ProjectFolder(const TWorkPlace& place) {
    return place.ProjectFile.empty() ? std::string()
                                     : ExistingFolderOf(ExtractFilePath(place.ProjectFile));
}

// A folder of the work, else the author's folder: never the folder the
// program was started from, which holds the program's own files.
QString OrAuthors(const TWorkPlace& place, const std::string& folder) {
    return folder.empty() ? place.AuthorsFolder : Native(folder);
}

} // namespace

QString AuthorsFolderOf(const QString& documentsFolder) {
    if (!documentsFolder.isEmpty() && QFileInfo(documentsFolder).isDir())
        return QDir(documentsFolder).absolutePath() + QLatin1Char('/');
    return QDir::homePath() + QLatin1Char('/');
}

QString ProjectSavePlace(const TWorkPlace& place) {
    if (place.ProjectChosen && !place.ProjectFile.empty())
        return Native(place.ProjectFile);
    const std::string text = TextFolder(place);
    return OrAuthors(place, text.empty() ? ProjectFolder(place) : text);
}

QString ProjectOpenPlace(const TWorkPlace& place) {
    return OrAuthors(place, ProjectFolder(place));
}

QString TextOpenPlace(const TWorkPlace& place) {
    if (place.ProjectChosen) {
        const std::string project = ProjectFolder(place);
        if (!project.empty())
            return Native(project);
    }
    const std::string text = TextFolder(place);
    return OrAuthors(place, text.empty() ? ProjectFolder(place) : text);
}

std::string OutputFolderPlace(const TWorkPlace& place) {
    if (place.OutputPath.empty())
        return std::string();
    const std::string folder = InProject(place, place.OutputPath);
    if (folder.empty() || folder[0] != PathDelimiter)
        return std::string();
    return ExistingFolderOf(folder);
}

} // namespace varnoke
