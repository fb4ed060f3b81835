// The preview: shows a page of the temp folder. Loading happens in the
// background; Navigate returns at once.
#pragma once

#include "common/NativePath.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <string>
#include <utility>
#include <vector>

class QTimer;
class QWebEngineView;

namespace varnoke {

// A place on a shown page: its file name, the element of its body and the
// line within a paragraph.
struct TPreviewPlace {
    QString PageName;
    int Element = 0;
    int LineInBlock = 0;
};

class TPreviewNavigator {
  public:
    virtual ~TPreviewNavigator() = default;
    // sjisPath: the full path of a local file, as the model holds it.
    virtual void Navigate(const TNativePath& path) = 0;

    // Whether the shown pages can be changed in place; a navigator that
    // cannot is sent every change as a new Navigate.
    virtual bool CanPatch() const { return false; }
    // Changes the shown pages in place (see the page script for the form).
    // `answered` hears, once the pages are laid out, whether they held what
    // the patch expected; when not, the window builds and shows them afresh.
    virtual void Patch(const QString& /*patchJson*/, std::function<void(bool held)> /*answered*/) {}
    // Scrolls a shown page so that a place is in view, opening its page in
    // the frame of the body pages when it is not shown.
    virtual void Follow(const QString& /*placeJson*/) {}
    // Loads afresh, each where the reader was, the shown pages of the temp
    // folder that `stale` names; false when it cannot (the window then
    // shows all pages afresh).
    virtual bool LoadAfresh(std::function<bool(const QString& page)> /*stale*/) { return false; }

    // Runs before the browser reads a page of the temp folder, which must
    // then be complete.
    std::function<void()> BeforeLoad;
    // A double-click on a shown page.
    std::function<void(const TPreviewPlace&)> PlaceDoubleClicked;
};

// The embedded browser. Reloading the page it already shows keeps each
// frame's page (while it exists) and scroll position: authors edit near the end of long
// manuals and must not be thrown back to the top. Patches that arrive while
// a page loads wait for it.
class TWebPreview : public QWidget, public TPreviewNavigator {
    Q_OBJECT

  public:
    explicit TWebPreview(QWidget* parent = nullptr);
    ~TWebPreview() override;
    void Navigate(const TNativePath& path) override;
    bool CanPatch() const override { return true; }
    void Patch(const QString& patchJson, std::function<void(bool held)> answered) override;
    void Follow(const QString& placeJson) override;
    bool LoadAfresh(std::function<bool(const QString& page)> stale) override;
    QWebEngineView* View() const { return view_; }
    // The number of blocks in each group a body is shown in (see the page
    // script), for the pages loaded from now on.
    void SetGroupSize(int blocks);
    // Loading, or a load asked for and not yet started, or frames loading
    // that the preview opened.
    bool Busy() const {
        return awaitingLoad_ || loadsInFlight_ > 0 || awaitingAnswer_ || !framesLoading_.isEmpty();
    }
    // How long frames the preview opened may take to tell they have loaded.
    static constexpr int FrameLoadLimitMs = 30000;

  private:
    void LoadFinished();
    void Idle(); // what waited while busy
    void FramesLoading(const QStringList& frames);
    void FrameLoaded(const QString& frame);
    void SetPageScript(const QString& restorePlace);
    void InstallPageScript(); // with the group size and place it has now
    void ConsoleMessage(const QString& message);

    QWebEngineView* view_;
    QString shownPath_;
    QString restorePlace_; // what the page script now hands a new load
    int groupSize_ = 256;
    int reloads_ = 0;
    bool closing_ = false;
    bool awaitingLoad_ = false;
    int loadsInFlight_ = 0;
    bool awaitingAnswer_ = false;        // a script that may open frames has not answered
    QStringList framesLoading_;          // frames opened and not yet loaded
    QHash<QString, QString> framePages_; // the page each frame has loaded last
    QTimer* frameLoadLimit_;
    std::vector<std::pair<QString, std::function<void(bool)>>> waiting_; // patches held while busy
    QString followWaiting_; // the caret's last place asked for while busy
};

} // namespace varnoke
