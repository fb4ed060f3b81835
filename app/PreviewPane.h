// The preview: shows a page of the temp folder. Loading happens in the
// background; Navigate returns at once.
#pragma once

#include <QWidget>
#include <string>

class QWebEngineView;

namespace varnoke {

class TPreviewNavigator {
  public:
    virtual ~TPreviewNavigator() = default;
    // sjisPath: the full path of a local file, as the model holds it.
    virtual void Navigate(const std::string& sjisPath) = 0;
};

// The embedded browser. Reloading the page it already shows keeps the
// scroll positions (of the page and of each frame): authors edit near the
// end of long manuals and must not be thrown back to the top on every key.
class TWebPreview : public QWidget, public TPreviewNavigator {
    Q_OBJECT

  public:
    explicit TWebPreview(QWidget* parent = nullptr);
    void Navigate(const std::string& sjisPath) override;
    QWebEngineView* View() const { return view_; }

  private:
    void Restore();

    QWebEngineView* view_;
    QString shownPath_;
    QString savedPositions_; // JSON from the page, restored after a reload of it
    int pendingLoads_ = 0;
};

} // namespace varnoke
