#include "app/PreviewPane.h"

#include "common/FileSystem.h"

#include <QUrl>
#include <QVBoxLayout>
#include <QWebEngineView>

namespace varnoke {

namespace {
// Scroll offsets of the page and of every frame, as a JSON list.
const QString CaptureScript =
    QStringLiteral("JSON.stringify([[window.scrollX, window.scrollY]].concat("
                   "Array.from(window.frames).map(function (f) {"
                   " try { return [f.scrollX, f.scrollY]; } catch (e) { return [0, 0]; } })))");

QString RestoreScript(const QString& positions) {
    return QStringLiteral("(function (p) { window.scrollTo(p[0][0], p[0][1]);"
                          " for (var i = 0; i < window.frames.length && i + 1 < p.length; ++i) {"
                          "  try { var f = window.frames[i]; var q = p[i + 1];"
                          "   var go = function () { f.scrollTo(q[0], q[1]); };"
                          "   if (f.document.readyState === 'complete') go();"
                          "   else f.addEventListener('load', go); } catch (e) {} } })(") +
           positions + ")";
}
} // namespace

TWebPreview::TWebPreview(QWidget* parent) : QWidget(parent), view_(new QWebEngineView(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    connect(view_, &QWebEngineView::loadFinished, this, [this](bool) { Restore(); });
}

void TWebPreview::Navigate(const std::string& sjisPath) {
    const QString path = QString::fromStdString(NativePath(sjisPath));
    const QUrl url = QUrl::fromLocalFile(path);
    if (!FileExists(sjisPath)) {
        // Nothing built yet (or an unsplit page after a split build): an
        // empty preview says more than the browser's error page.
        shownPath_.clear();
        view_->setHtml(QString());
        return;
    }
    if (path != shownPath_) {
        shownPath_ = path;
        savedPositions_.clear();
        view_->load(url);
        return;
    }
    // The same page again: remember where the reader was, then reload.
    ++pendingLoads_;
    view_->page()->runJavaScript(CaptureScript, [this, url](const QVariant& result) {
        if (--pendingLoads_ > 0)
            return; // a newer reload is on its way; it will capture again
        savedPositions_ = result.toString();
        view_->load(url);
    });
}

void TWebPreview::Restore() {
    if (!savedPositions_.isEmpty())
        view_->page()->runJavaScript(RestoreScript(savedPositions_));
}

} // namespace varnoke
