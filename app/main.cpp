// varnoke: the window program.
#include "app/dialogs/Dialogs.h"
#include "app/window/CommandLine.h"
#include "app/window/ExternalFiles.h"
#include "app/window/Guide.h"
#include "app/window/Platform.h"
#include "app/window/QtTranslation.h"
#include "common/ProgramPaths.h"
#include "common/Version.h"
#include "controls/ExtMemo.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QTimer>

#include <iostream>

namespace {

// Test hook of the crash-recovery test, and nothing else: when the
// environment variable VARNOKE_TYPE_AT_START names a UTF-8 file, its
// characters are typed into the editor once the window is up, as a user
// would: keys for ASCII, line breaks and tabs, input-method commits for
// everything else. The test then kills the process and checks that the next
// start offers the text back.
void TypeAtStart(QWidget& editor) {
    const QByteArray fileName = qgetenv("VARNOKE_TYPE_AT_START");
    if (fileName.isEmpty())
        return;
    QFile file(QString::fromLocal8Bit(fileName));
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QString text = QString::fromUtf8(file.readAll());
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\n') || c == QLatin1Char('\t') ||
            (c.unicode() >= 0x20 && c.unicode() < 0x7F)) {
            int key = c.toUpper().unicode();
            if (c == QLatin1Char('\n'))
                key = Qt::Key_Return;
            else if (c == QLatin1Char('\t'))
                key = Qt::Key_Tab;
            const QString typed = c == QLatin1Char('\n') ? QStringLiteral("\r") : QString(c);
            QCoreApplication::postEvent(
                &editor, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, typed));
            QCoreApplication::postEvent(
                &editor, new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier, typed));
            continue;
        }
        const int length = c.isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        auto* commit = new QInputMethodEvent;
        commit->setCommitString(text.mid(i, length));
        QCoreApplication::postEvent(&editor, commit);
        i += length - 1;
    }
}

} // namespace

int main(int argc, char** argv) {
    if (const auto answer = varnoke::AnswerBeforeWindow({argv + 1, argv + argc})) {
        std::cout << *answer;
        return 0;
    }
    // The embedded browser shares the window's OpenGL contexts.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("varnoke"));
    QApplication::setApplicationVersion(QString::fromUtf8(varnoke::ProgramVersion()));
    QApplication::setDesktopFileName(QStringLiteral("org.varnoke.Varnoke"));
    // Before the options are read, so that a mistake in them is told in Japanese too.
    varnoke::InstallQtJapanese();
    QCommandLineParser parser;
    varnoke::AddFileArgument(parser);
    parser.process(application);

    varnoke::TPlatformEnvironment environment;
    environment.SettingsFile = varnoke::SettingsIniPath();
    environment.TempFolder = varnoke::TempFolder();
    environment.RecoveryFolder = varnoke::RecoveryFolder();
    environment.DocumentsFolder = varnoke::UserDocumentsFolder();
    environment.GuideFolder = varnoke::FindBundledGuide(QCoreApplication::applicationDirPath());
    auto window = std::make_unique<varnoke::TPlatform>(std::move(environment));
    return [&] {
        window->show();
        varnoke::OpenAtStart(*window, parser);
        TypeAtStart(window->Editor());
        return QApplication::exec();
    }();
}
