#include "app/dialogs/FolderDialog.h"

#include "app/dialogs/Dialogs.h"
#include "common/Errors.h"
#include "common/FileSystem.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace varnoke {

namespace {

// TRootFolder and TSelectFolder list the same folders in the same order.
enum class TKnownFolder {
    Desktop,
    Manual,
    Drives,
    DesktopDir,
    Favorites,
    Programs,
    Recent,
    SendTo,
    StartMenu,
    Startup,
    Templates,
};

bool IsFolder(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isDir();
}

QString Home() {
    QString home = QDir::homePath();
    return IsFolder(home) ? home : QDir::rootPath();
}

QString Standard(QStandardPaths::StandardLocation location, const QString& below = QString()) {
    QString path = QStandardPaths::writableLocation(location);
    if (!path.isEmpty() && !below.isEmpty())
        path += "/" + below;
    return IsFolder(path) ? path : Home();
}

QString KnownFolder(TKnownFolder folder) {
    switch (folder) {
    case TKnownFolder::Drives:
        return QDir::rootPath();
    case TKnownFolder::DesktopDir:
        return Standard(QStandardPaths::DesktopLocation);
    case TKnownFolder::Programs:
    case TKnownFolder::StartMenu:
        return Standard(QStandardPaths::ApplicationsLocation);
    case TKnownFolder::Startup:
        return Standard(QStandardPaths::GenericConfigLocation, QStringLiteral("autostart"));
    case TKnownFolder::Templates:
        return Standard(QStandardPaths::HomeLocation, QStringLiteral("Templates"));
    case TKnownFolder::Desktop:
    case TKnownFolder::Manual:
    case TKnownFolder::Favorites:
    case TKnownFolder::Recent:
    case TKnownFolder::SendTo:
        break;
    }
    return Home();
}

// A manual path (CP932) when it names a folder, else the well-known folder.
QString ResolveFolder(TKnownFolder folder, const std::string& manualPath) {
    const TNativePath manual = NativePathOrEmpty(manualPath);
    if (folder == TKnownFolder::Manual && DirectoryExists(manual))
        return QString::fromStdString(manual.Name());
    return KnownFolder(folder);
}

} // namespace

TSHBrowseForFolderEx::TSHBrowseForFolderEx(TDialogs& dialogs, QObject* owner)
    : QObject(owner), dialogs_(dialogs) {}

bool TSHBrowseForFolderEx::Execute() {
    folderPath_.clear();
    displayName_.clear();

    // Qt's dialog cannot be confined to a subtree, so the root only decides
    // whether there is anything to browse at all.
    if (ResolveFolder(static_cast<TKnownFolder>(rootFolder_), rootFolderName_).isEmpty())
        return false;
    QString initial = ResolveFolder(static_cast<TKnownFolder>(selectFolder_), selectFolderName_);

    std::optional<QString> chosen = dialogs_.ChooseFolder(caption_, initial);
    if (!chosen || chosen->isEmpty())
        return false;

    // A full path without a trailing separator, except the root, which is
    // nothing but its separator.
    QString path = QDir::cleanPath(QFileInfo(*chosen).absoluteFilePath());
    QString name = QFileInfo(path).fileName();
    if (name.isEmpty())
        name = path;

    std::string sjisPath;
    std::string sjisName;
    try {
        sjisPath = SjisPathFromNative(TNativePath(path.toStdString()));
        sjisName = SjisPathFromNative(TNativePath(name.toStdString()));
    } catch (const EConvertError& error) {
        // Storing an altered name would build the manual into a folder the
        // user did not choose.
        dialogs_.ShowError(QStringLiteral("フォルダ \"%1\" は使えません。%2")
                               .arg(path, QString::fromUtf8(error.what())));
        return false;
    }
    folderPath_ = std::move(sjisPath);
    displayName_ = std::move(sjisName);
    return true;
}

void TSHBrowseForFolderEx::DoSelectionChanged(QWidget* wnd, const std::string& path,
                                              QString& showText, TOKButtonState& okButtonState) {
    if (onSelectionChanged_)
        onSelectionChanged_(this, wnd, path, showText, okButtonState);
}

} // namespace varnoke
