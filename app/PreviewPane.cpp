#include "app/PreviewPane.h"

#include "common/FileSystem.h"

#include <QFile>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineView>

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

QWebEngineScript PageScript() {
    QFile file(QStringLiteral(":/preview.js"));
    file.open(QIODevice::ReadOnly);
    QWebEngineScript script;
    script.setName(QStringLiteral("varnoke-preview"));
    script.setSourceCode(QString::fromUtf8(file.readAll()));
    script.setInjectionPoint(QWebEngineScript::DocumentReady);
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setRunsOnSubFrames(true);
    return script;
}

} // namespace

TWebPreview::TWebPreview(QWidget* parent) : QWidget(parent), view_(new QWebEngineView(this)) {
    auto* page = new TPreviewPage([this](const QString& message) { ConsoleMessage(message); },
                                  [this] {
                                      if (BeforeLoad)
                                          BeforeLoad();
                                  },
                                  view_);
    page->scripts().insert(PageScript());
    view_->setPage(page);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    connect(view_, &QWebEngineView::loadStarted, this, [this] {
        awaitingLoad_ = false;
        ++loadsInFlight_;
    });
    connect(view_, &QWebEngineView::loadFinished, this, [this](bool) { LoadFinished(); });
}

void TWebPreview::Navigate(const std::string& sjisPath) {
    const QString path = QString::fromStdString(NativePath(sjisPath));
    // What waits was built into the files this load reads.
    waiting_.clear();
    if (!FileExists(sjisPath)) {
        // Nothing built yet (or an unsplit page after a split build): an
        // empty preview says more than the browser's error page.
        shownPath_.clear();
        view_->setHtml(QString());
        return;
    }
    awaitingLoad_ = true;
    if (path != shownPath_) {
        shownPath_ = path;
        view_->load(QUrl::fromLocalFile(path));
        return;
    }
    // The same page again: the browser's own reload keeps each frame's
    // page and scroll position, and the old picture until the new one is
    // laid out.
    view_->triggerPageAction(QWebEnginePage::Reload);
}

void TWebPreview::LoadFinished() {
    loadsInFlight_ = std::max(0, loadsInFlight_ - 1);
    if (Busy())
        return;
    auto waiting = std::move(waiting_);
    waiting_.clear();
    for (auto& [json, failed] : waiting)
        Patch(json, std::move(failed));
}

void TWebPreview::Patch(const QString& patchJson, std::function<void()> failed) {
    if (Busy()) {
        waiting_.emplace_back(patchJson, std::move(failed));
        return;
    }
    view_->page()->runJavaScript(
        QStringLiteral("window.varnokePreview ? window.varnokePreview.patch(%1) : false")
            .arg(patchJson),
        [failed = std::move(failed)](const QVariant& result) {
            if (!result.toBool())
                failed();
        });
}

void TWebPreview::Follow(const QString& placeJson) {
    if (Busy())
        return;
    view_->page()->runJavaScript(
        QStringLiteral("window.varnokePreview && window.varnokePreview.follow(%1)").arg(placeJson));
}

void TWebPreview::ConsoleMessage(const QString& message) {
    const QStringList parts = message.split(QLatin1Char('\t'));
    if (parts.size() != 4 || parts[0] != QLatin1String("varnoke-place") || !PlaceDoubleClicked)
        return;
    PlaceDoubleClicked({parts[1], parts[2].toInt(), parts[3].toInt()});
}

} // namespace varnoke
