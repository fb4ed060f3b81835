#include "app/window/Guide.h"

#include "common/Errors.h"
#include "common/FileSystem.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>

namespace varnoke {

namespace {

QString Folder(const QString& path) {
    return QDir::cleanPath(path) + QLatin1Char('/');
}

bool HoldsGuide(const QString& folder) {
    return QFileInfo(folder + GuideProjectName).isFile();
}

[[noreturn]] void CannotCreate(const QString& path) {
    // The reason of the last failed call, as the file errors give it.
    const int error = errno != 0 ? errno : EACCES;
    throw EFCreateError(TNativePath(path.toStdString()), std::strerror(error));
}

} // namespace

QString FindBundledGuide(const QString& programFolder) {
    const QStringList candidates = {
        Folder(programFolder + QStringLiteral("/guide")),
        Folder(programFolder + QStringLiteral("/../share/varnoke/guide")),
    };
    for (const QString& candidate : candidates) {
        if (HoldsGuide(candidate))
            return candidate;
    }
    const QString installed =
        QStandardPaths::locate(QStandardPaths::GenericDataLocation, QStringLiteral("varnoke/guide"),
                               QStandardPaths::LocateDirectory);
    return !installed.isEmpty() && HoldsGuide(Folder(installed)) ? Folder(installed) : QString();
}

QString UserDocumentsFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

TGuideCopy CopyOfGuide(const QString& guideFolder, const QString& documentsFolder) {
    const QString target = Folder(documentsFolder + QStringLiteral("/Varnoke/guide"));
    const QString project = target + GuideProjectName;
    const bool fresh = !QFileInfo::exists(project);
    errno = 0;
    if (!QDir().mkpath(target))
        CannotCreate(target);
    const QDir source(guideFolder);
    for (const QString& name : source.entryList(QDir::Files)) {
        const QString copy = target + name;
        if (QFileInfo::exists(copy) || QFileInfo(copy).isSymLink())
            continue;
        errno = 0;
        if (!QFile::copy(source.filePath(name), copy))
            CannotCreate(copy);
        // The installed files are read-only; the author's copy is theirs.
        QFile::setPermissions(copy, QFile::permissions(copy) | QFile::WriteOwner);
    }
    return {project, fresh};
}

} // namespace varnoke
