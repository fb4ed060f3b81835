// The window's status line. On the left it says what became of the last
// thing the window did on its own behalf: an Execute that has finished (with
// a button that opens the manual in the desktop's browser), and a preview
// build that keeps failing, which stays until a build succeeds. The right
// end is free for facts that stay, added as permanent widgets.
#pragma once

#include <QStatusBar>
#include <QString>
#include <QUrl>

#include <functional>

class QLabel;
class QToolButton;

namespace varnoke {

class TStatusLine : public QStatusBar {
    Q_OBJECT

  public:
    // Opens a page in the desktop's browser; false when that failed.
    using TOpenUrl = std::function<bool(const QUrl& url)>;

    explicit TStatusLine(TOpenUrl openUrl, QWidget* parent = nullptr);

    // Execute wrote `fileCount` files into `folder` in `microseconds`, shown
    // to the millisecond (a large manual takes a few); the button opens
    // `entryPage` (a local file, UTF-8 path).
    void ShowBuildFinished(const QString& folder, int fileCount, qint64 microseconds,
                           const QString& entryPage);
    // A failure that is told here rather than in a box: the user did not ask
    // for the work that failed (a refresh after a resize, say).
    void ShowNote(const QString& message);

    // The preview could not be built; said until ClearPreviewFailure.
    void ShowPreviewFailure(const QString& message);
    void ClearPreviewFailure();
    bool PreviewFailing() const { return previewFailing_; }

    QString MessageText() const;
    QString PreviewFailureText() const;
    // The button that opens the finished manual; hidden when there is none.
    QToolButton* OpenButton() const { return openButton_; }

  private:
    void OpenEntryPage();

    TOpenUrl openUrl_;
    QLabel* message_;
    QToolButton* openButton_;
    QLabel* previewFailure_;
    QUrl entryPage_;
    bool previewFailing_ = false;
};

} // namespace varnoke
