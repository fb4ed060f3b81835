#include "app/preview/PreviewPane.h"

#include "common/FileSystem.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineView>

#include <utility>

namespace varnoke {

namespace {

// The browser's page with the window's two ears: the console, where the
// page script reports a double-click, and the navigation requests, before
// which the temp folder is made complete.
class TPreviewPage : public QWebEnginePage {
  public:
    TPreviewPage(std::function<void(const QString&)> console, std::function<void()> beforeLoad,
                 QObject* parent)
        : QWebEnginePage(parent), console_(std::move(console)), beforeLoad_(std::move(beforeLoad)) {
    }

  protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString& message, int,
                                  const QString&) override {
        console_(message);
    }
    bool acceptNavigationRequest(const QUrl& url, NavigationType, bool) override {
        if (url.isLocalFile())
            beforeLoad_();
        return true;
    }

  private:
    std::function<void(const QString&)> console_;
    std::function<void()> beforeLoad_;
};

const QString PageScriptName = QStringLiteral("varnoke-preview");

// restorePlace: the reader's place for the documents of the next load (see
// the page script), or empty.
QWebEngineScript PageScript(int groupSize, const QString& restorePlace) {
    QFile file(QStringLiteral(":/preview.js"));
    file.open(QIODevice::ReadOnly);
    QString source = QString::fromUtf8(file.readAll());
    if (!restorePlace.isEmpty())
        source.prepend(QStringLiteral("var varnokeRestore = %1;\n").arg(restorePlace));
    source.prepend(QStringLiteral("var varnokeGroupSize = %1;\n").arg(groupSize));
    QWebEngineScript script;
    script.setName(PageScriptName);
    script.setSourceCode(source);
    // From the start, so that the body is grouped as it is parsed.
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setRunsOnSubFrames(true);
    return script;
}

// A page the page script named, still in the folder.
bool PageExists(const QString& page, const QString& folder) {
    return !page.isEmpty() && !page.contains(QLatin1Char('/')) &&
           QFileInfo::exists(folder + QLatin1Char('/') + page);
}

QString Json(const QJsonArray& array) {
    return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact));
}

// The reader's place (from the page script) without the frames whose page
// is gone from the folder: those show the page the frame set names.
QString PlaceOnPagesThatExist(const QString& placeJson, const QString& folder) {
    QJsonArray kept;
    const QJsonArray place = QJsonDocument::fromJson(placeJson.toUtf8()).array();
    for (const QJsonValue& shown : place) {
        if (PageExists(shown[QLatin1String("page")].toString(), folder))
            kept.append(shown);
    }
    return Json(kept);
}

} // namespace

TWebPreview::TWebPreview(QWidget* parent)
    : QWidget(parent), view_(new QWebEngineView(this)), frameLoadLimit_(new QTimer(this)) {
    // A frame that never tells it has loaded (a page the browser could not
    // show) holds the patches no longer than this; a patch that then finds
    // the page unlike the window's blocks asks for a reload.
    frameLoadLimit_->setSingleShot(true);
    frameLoadLimit_->setInterval(FrameLoadLimitMs);
    connect(frameLoadLimit_, &QTimer::timeout, this, [this] {
        framesLoading_.clear();
        if (!Busy())
            Idle();
    });
    auto* page = new TPreviewPage([this](const QString& message) { ConsoleMessage(message); },
                                  [this] {
                                      if (BeforeLoad)
                                          BeforeLoad();
                                  },
                                  view_);
    view_->setPage(page);
    InstallPageScript();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    connect(view_, &QWebEngineView::loadStarted, this, [this] {
        awaitingLoad_ = false;
        ++loadsInFlight_;
    });
    connect(view_, &QWebEngineView::loadFinished, this, [this](bool) { LoadFinished(); });
}

void TWebPreview::Navigate(const TNativePath& file) {
    const QString path = QString::fromStdString(file.Name());
    // What waits was built into the files this load reads.
    waiting_.clear();
    const int reload = ++reloads_; // a script still asking for the place is dropped
    awaitingAnswer_ = false;
    framesLoading_.clear();
    framePages_.clear();
    if (!FileExists(file)) {
        // Nothing built yet (or an unsplit page after a split build): an
        // empty preview says more than the browser's error page.
        shownPath_.clear();
        SetPageScript(QString());
        view_->setHtml(QString());
        return;
    }
    awaitingLoad_ = true;
    if (path != shownPath_) {
        shownPath_ = path;
        SetPageScript(QString());
        view_->load(QUrl::fromLocalFile(path));
        return;
    }
    // The same page again: the browser's reload shows the old picture until
    // the new one is laid out, but sends every frame back to the page the
    // frame set names, at the top. The page script of the new load puts the
    // reader back where this one had them.
    view_->page()->runJavaScript(
        QStringLiteral(
            "window.varnokePreview ? JSON.stringify(window.varnokePreview.place()) : '[]'"),
        [this, reload](const QVariant& place) {
            if (closing_ || reload != reloads_)
                return; // a later navigation took over
            SetPageScript(PlaceOnPagesThatExist(place.toString(), QFileInfo(shownPath_).path()));
            view_->triggerPageAction(QWebEnginePage::Reload);
        });
}

TWebPreview::~TWebPreview() {
    // The browser answers scripts still running as it goes; nothing of this
    // object may be touched then.
    closing_ = true;
    delete view_;
}

void TWebPreview::SetGroupSize(int blocks) {
    groupSize_ = blocks;
    InstallPageScript();
}

void TWebPreview::SetPageScript(const QString& restorePlace) {
    if (restorePlace == restorePlace_)
        return;
    restorePlace_ = restorePlace;
    InstallPageScript();
}

void TWebPreview::InstallPageScript() {
    QWebEngineScriptCollection& scripts = view_->page()->scripts();
    for (const QWebEngineScript& script : scripts.find(PageScriptName))
        scripts.remove(script);
    scripts.insert(PageScript(groupSize_, restorePlace_));
}

void TWebPreview::LoadFinished() {
    loadsInFlight_ = std::max(0, loadsInFlight_ - 1);
    if (!Busy())
        Idle();
}

void TWebPreview::Idle() {
    // The place was for the reload only, not for the reader's own clicks.
    SetPageScript(QString());
    auto waiting = std::move(waiting_);
    waiting_.clear();
    for (auto& [json, answered] : waiting)
        Patch(json, std::move(answered));
    // The caret moved while the page loaded: a long manual takes seconds,
    // and the reader would otherwise find the preview at its top.
    if (!followWaiting_.isEmpty())
        Follow(std::exchange(followWaiting_, QString()));
}

void TWebPreview::Patch(const QString& patchJson, std::function<void(bool held)> answered) {
    if (Busy()) {
        waiting_.emplace_back(patchJson, std::move(answered));
        return;
    }
    view_->page()->runJavaScript(
        QStringLiteral("window.varnokePreview ? window.varnokePreview.patch(%1) : false")
            .arg(patchJson),
        [this, answered = std::move(answered)](const QVariant& result) {
            if (!closing_)
                answered(result.toBool());
        });
}

// A place on a body page that the body frame does not show opens that
// page in it. Patches then wait until it has loaded, since the file it
// loads holds only the edits written before it was asked for.
void TWebPreview::Follow(const QString& placeJson) {
    if (Busy()) {
        followWaiting_ = placeJson;
        return;
    }
    const QString page =
        QJsonDocument::fromJson(placeJson.toUtf8())[QLatin1String("page")].toString();
    const QString bodyFrame = QStringLiteral("mainframe");
    const bool mayOpen = framePages_.contains(bodyFrame) && framePages_[bodyFrame] != page;
    if (mayOpen)
        FramesLoading({bodyFrame});
    view_->page()->runJavaScript(
        QStringLiteral("window.varnokePreview ? window.varnokePreview.follow(%1, %2) : false")
            .arg(placeJson, mayOpen ? QStringLiteral("true") : QStringLiteral("false")),
        [this, placeJson, bodyFrame, mayOpen, reload = reloads_](const QVariant& opened) {
            if (closing_ || reload != reloads_ || !mayOpen)
                return;
            if (!opened.toBool()) {
                FrameLoaded(bodyFrame);
                return;
            }
            if (followWaiting_.isEmpty())
                followWaiting_ = placeJson; // in view once it has loaded
        });
}

bool TWebPreview::LoadAfresh(std::function<bool(const QString& page)> stale) {
    if (Busy() || shownPath_.isEmpty())
        return false;
    awaitingAnswer_ = true;
    view_->page()->runJavaScript(
        QStringLiteral(
            "window.varnokePreview ? JSON.stringify(window.varnokePreview.place()) : '[]'"),
        [this, stale = std::move(stale), reload = reloads_](const QVariant& placeJson) {
            if (closing_ || reload != reloads_)
                return;
            awaitingAnswer_ = false;
            const QString folder = QFileInfo(shownPath_).path();
            const QString place = placeJson.toString();
            QJsonArray frames;
            bool topStale = false;
            for (const QJsonValue& shown : QJsonDocument::fromJson(place.toUtf8()).array()) {
                const QString page = shown[QLatin1String("page")].toString();
                const QString frame = shown[QLatin1String("frame")].toString();
                if (!stale(page))
                    continue;
                topStale = topStale || frame.isEmpty();
                QJsonObject reloaded = shown.toObject();
                if (!PageExists(page, folder))
                    reloaded[QLatin1String("page")] = QString(); // the frame set's page
                frames.append(reloaded);
            }
            if (topStale) {
                // The page shown in the window itself: all of it afresh.
                awaitingLoad_ = true;
                SetPageScript(PlaceOnPagesThatExist(place, folder));
                view_->triggerPageAction(QWebEnginePage::Reload);
                return;
            }
            QStringList names;
            for (const QJsonValue& frame : frames)
                names << frame[QLatin1String("frame")].toString();
            if (!names.isEmpty()) {
                FramesLoading(names);
                view_->page()->runJavaScript(
                    QStringLiteral("window.varnokePreview.reload(%1)").arg(Json(frames)));
            }
            if (!Busy())
                Idle();
        });
    return true;
}

void TWebPreview::FramesLoading(const QStringList& frames) {
    framesLoading_ << frames;
    frameLoadLimit_->start();
}

void TWebPreview::FrameLoaded(const QString& frame) {
    if (!framesLoading_.removeOne(frame) || !framesLoading_.isEmpty())
        return;
    frameLoadLimit_->stop();
    if (!Busy())
        Idle();
}

void TWebPreview::ConsoleMessage(const QString& message) {
    const QStringList parts = message.split(QLatin1Char('\t'));
    if (parts.size() == 3 && parts[0] == QLatin1String("varnoke-loaded")) {
        framePages_[parts[1]] = parts[2];
        FrameLoaded(parts[1]);
        return;
    }
    if (parts.size() != 4 || parts[0] != QLatin1String("varnoke-place") || !PlaceDoubleClicked)
        return;
    PlaceDoubleClicked({parts[1], parts[2].toInt(), parts[3].toInt()});
}

} // namespace varnoke
