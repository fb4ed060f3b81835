#include "app/window/ExternalFiles.h"

#include "app/dialogs/Dialogs.h"
#include "app/window/Platform.h"
#include "common/Errors.h"
#include "common/FileSystem.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

#include <cerrno>

namespace varnoke {

namespace {

// The first local file a drag carries, or an empty string.
QString DraggedFile(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls())
        return {};
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            return url.toLocalFile();
    }
    return {};
}

} // namespace

bool IsProjectFileName(const QString& path) {
    return QFileInfo(path).suffix().compare(QLatin1String("vkp"), Qt::CaseInsensitive) == 0;
}

void OpenExternalFile(TPlatform& window, const QString& path) {
    try {
        const QFileInfo file(path);
        const TNativePath native(file.absoluteFilePath().toStdString());
        // A project that does not exist would open as an empty one, naming
        // no text: say plainly that the file is missing instead.
        if (!file.exists())
            throw EFOpenError(native, SystemErrorReason(ENOENT));
        // The model keeps the name: one CP932 cannot hold is refused here.
        const std::string name = SjisPathFromNative(native);
        // The questions of the menu commands come first: a dropped file
        // must not drop the author's unsaved work either.
        if (!window.ConfirmTextSave())
            return;
        if (IsProjectFileName(path)) {
            if (window.ConfirmSave())
                window.OpenProjectFile(name);
        } else {
            window.OpenTextFile(name);
        }
    } catch (const std::exception& error) {
        window.Dialogs().ShowError(QString::fromUtf8(error.what()));
    }
}

void AddFileArgument(QCommandLineParser& parser) {
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("A project (.vkp) or a text file to open."),
                                 QStringLiteral("[FILE]"));
}

void OpenFileArgument(TPlatform& window, const QCommandLineParser& parser) {
    const QStringList files = parser.positionalArguments();
    if (!files.isEmpty())
        OpenExternalFile(window, files.first());
}

void OpenAtStart(TPlatform& window, const QCommandLineParser& parser) {
    if (parser.positionalArguments().isEmpty())
        window.OpenGuideAtFirstStart();
    else
        OpenFileArgument(window, parser);
    window.OfferRecoveryAtStartUp();
}

TFileDropTarget::TFileDropTarget(TPlatform& window) : QObject(&window), window_(window) {
    // On the application, so that drops on any widget of the window are
    // seen before that widget takes them itself.
    qApp->installEventFilter(this);
    // Without a widget that takes drops no drag reaches the window at all.
    window_.setAcceptDrops(true);
}

bool TFileDropTarget::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != &window_)
        return false;
    auto* drop = static_cast<QDropEvent*>(event);
    const QString file = DraggedFile(drop->mimeData());
    if (file.isEmpty())
        return false;
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    if (type == QEvent::Drop)
        OpenExternalFile(window_, file);
    return true;
}

} // namespace varnoke
