// Where the window's file and folder dialogs open: where the user works, so
// that saving a project or finding its text does not start at the folder the
// program happened to be started from.
#pragma once

#include <QString>

#include <string>

namespace varnoke {

// What the places are worked out from (CP932, as the model holds them).
struct TWorkPlace {
    std::string ProjectFile; // the current or remembered project file
    bool ProjectChosen;      // opened or saved under that name in this run
    std::string TextName;    // as the project holds it: relative to the project
    std::string OutputPath;  // likewise
    // Where the author's files are while nothing above tells (a native
    // folder): the documents folder, else the home folder.
    QString AuthorsFolder;
};

// The documents folder when it exists, else the home folder (native).
QString AuthorsFolderOf(const QString& documentsFolder);

// The project file itself once it has been chosen in this run; before
// that the folder of the text, else the folder of the remembered project,
// else the author's folder.
QString ProjectSavePlace(const TWorkPlace& place);
// The folder of the current or remembered project, else the author's.
QString ProjectOpenPlace(const TWorkPlace& place);
// The project's folder once it has been chosen; before that the folder of
// the text, else that of the remembered project, else the author's. Also
// where a new text is saved and where styles are imported from.
QString TextOpenPlace(const TWorkPlace& place);
// The output folder, or the nearest folder above it that exists (CP932, as
// the folder dialog takes it); empty when there is none.
std::string OutputFolderPlace(const TWorkPlace& place);

} // namespace varnoke
