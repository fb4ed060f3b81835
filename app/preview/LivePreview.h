// The live preview: every edit of the editor reaches the shown pages as a
// patch of the blocks it changed, not as a new build and reload. The temp
// folder is still written, but after the patch and coalesced, never while
// a key waits; it is complete before anything reads it (a reload, another
// preview target, a page the reader opens in the preview).
//
// What a patch cannot express (another page shown, markup the browser
// would restructure, a text the blocks lost track of) is a full build and
// reload, as before; a main heading that moves the split pages has the
// temp folder written and the moved pages that are shown, and the menu,
// loaded afresh where the reader was.
#pragma once

#include "app/preview/PreviewPane.h"
#include "convert/BodyBlocks.h"
#include "convert/SearchPage.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>

class QPlainTextEdit;
class QToolButton;

namespace varnoke {

class TLineCache;

// What the live preview asks of the window.
struct TLivePreviewHost {
    std::function<void()> Rebuild;         // build the temp folder and show it
    std::function<bool()> WriteTempFolder; // build the temp folder only
    std::function<bool()> ShowsBody;       // the preview shows the manual
    std::function<bool()> Split;
    std::function<int()> TabCount;
    // The search links before the blocks of the shown pages.
    std::function<TSearchLinks()> SearchLinks = [] { return TSearchLinks(); };
};

class TLivePreview : public QObject {
    Q_OBJECT

  public:
    using THost = TLivePreviewHost;

    // Follows the editor's lines and caret; a double-click on a shown page
    // puts the editor's caret on the line the place came from.
    TLivePreview(QPlainTextEdit& editor, const TLineCache& lines, TPreviewNavigator& navigator,
                 THost host, QObject* parent = nullptr);

    // An edit of the editor has ended (the editor's Changed).
    void TextEdited();
    // A full build of the current lines has just been written (and shown
    // when it succeeded): patches start from its pages.
    void Rebuilt(bool succeeded);
    // Writes the temp folder now when an edit has not yet reached it.
    void Flush();
    // The window shows the pages afresh from the temp folder, just made
    // complete: the edits not yet sent, or sent and not yet answered, are in
    // them, and an answer from the pages that go no longer counts.
    void ShownAfresh();

    // No patch waits for the end of its turn or for the pages' answer.
    bool Idle() const { return !patchInFlight_ && !sendTimer_.isActive(); }

    bool Following() const { return following_; }
    void SetFollowing(bool follow);
    // Keeps the block of the line in view on the shown page.
    void Follow(int line);
    // Where a line is shown on the body pages (a line between blocks with
    // the block before it); false when the preview shows no body pages.
    bool PlaceOf(int line, TPreviewPlace& place) const;
    // The line a place on a shown page came from, or -1.
    int LineOf(const TPreviewPlace& place) const;

    // How long a write of the temp folder waits for typing to pause.
    static constexpr int WriteDelayMs = 300;
    // A patch not answered in this time is taken as lost: the next edit
    // reloads.
    static constexpr int PatchAnswerLimitMs = 5000;

  private:
    void LinesChanged(int first, int removed, int added);
    // atOnce: a patch that restructures the pages goes now rather than at
    // the end of this turn of the event loop.
    void Patch(bool atOnce);
    void SendPatch();
    void LoadMovedPages(int from);
    QString PageName(int page) const;
    int PageNumber(const QString& name) const;
    QString PatchJson(const TPagePatch& patch) const;

    QPlainTextEdit& editor_;
    const TLineCache& lines_;
    TPreviewNavigator& navigator_;
    THost host_;
    TBodyBlocks blocks_;
    TPagePatch pending_; // the edits the shown pages have not had
    // One patch at a time: the one the page has not answered yet, and the
    // pages' generation it was sent to (a rebuild starts a new one).
    bool patchInFlight_ = false;
    unsigned pagesGeneration_ = 0;
    QElapsedTimer patchSent_;
    QTimer writeTimer_;
    QTimer sendTimer_;   // the end of the turn of the event loop
    QTimer followTimer_; // one follow for all the caret's moves of an event
    bool writePending_ = false;
    bool following_ = true;
};

// The preview tool bar's toggle of the following.
QToolButton* NewFollowButton();

} // namespace varnoke
