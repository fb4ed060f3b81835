// varnoke: the window program.
#include "app/Dialogs.h"
#include "app/ExternalFiles.h"
#include "app/Platform.h"
#include "common/ProgramPaths.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char** argv) {
    // The embedded browser shares the window's OpenGL contexts.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("varnoke"));
    QApplication::setApplicationVersion(QStringLiteral("2.0.0"));
    QApplication::setDesktopFileName(QStringLiteral("varnoke"));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Varnoke V2: tab-structured text to an HTML manual"));
    parser.addHelpOption();
    parser.addVersionOption();
    varnoke::AddFileArgument(parser);
    parser.process(application);

    varnoke::TPlatformEnvironment environment;
    environment.SettingsFile = varnoke::SettingsIniPath();
    environment.TempFolder = varnoke::TempFolder();
    auto window = std::make_unique<varnoke::TPlatform>(std::move(environment));
    return [&] {
        window->show();
        varnoke::OpenFileArgument(*window, parser);
        return QApplication::exec();
    }();
}
