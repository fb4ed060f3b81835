// Files that reach the window from outside its own dialogs: dropped on it,
// or named on the command line ("varnoke FILE", which the desktop entry
// uses for a double-click in a file manager). A project file (".vkp") opens
// as the project, any other file as the text, each by the same window
// command as when the file is chosen in that command's dialog.
#pragma once

#include <QObject>
#include <QString>

class QCommandLineParser;
class QWidget;

namespace varnoke {

class TPlatform;

bool IsProjectFileName(const QString& path);

// Opens a file named as the system names it (UTF-8, absolute or relative to
// the current folder). A failure, a missing file among them, shows in the
// window's error box.
void OpenExternalFile(TPlatform& window, const QString& path);

// The optional FILE argument of the window program, declared and read.
void AddFileArgument(QCommandLineParser& parser);
void OpenFileArgument(TPlatform& window, const QCommandLineParser& parser);

// What the window program does once its window shows: opens the FILE
// argument (at a first start without one, the guide), then offers what an
// earlier run left unsaved. In this order a
// recovery copy of the FILE's own text is offered as that text opens; offered
// first, it would be in the editor when the FILE opens, and opening it would
// ask to save or drop the recovered work.
void OpenAtStart(TPlatform& window, const QCommandLineParser& parser);

// Takes drops of local files anywhere in the window, the editor and the
// preview included (which would otherwise insert the file's name or show
// the file), and opens the first one.
class TFileDropTarget : public QObject {
    Q_OBJECT

  public:
    explicit TFileDropTarget(TPlatform& window);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    TPlatform& window_;
};

} // namespace varnoke
