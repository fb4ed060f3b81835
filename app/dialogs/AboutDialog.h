// The about box: built from the properties each time it is shown (icon,
// application name, version line, credit line and a close button) and
// thrown away when it closes. Reads and writes nothing.
#pragma once

#include <QFont>
#include <QIcon>
#include <QObject>
#include <QString>

#include <memory>

class QDialog;
class QWidget;

namespace varnoke {

enum class TFPosition {
    fpDesigned,        // at FormLeft, FormTop
    fpScreenCenter,    // centred on the primary screen
    fpMainFormCenter,  // centred over the application's main window
    fpOwnerFormCenter, // centred over the window of the component's owner
};

class TAboutDialog : public QObject {
    Q_OBJECT

  public:
    // The owner's window is the one fpOwnerFormCenter centres over, and the
    // box's parent, so that it stays above it.
    explicit TAboutDialog(QObject* owner = nullptr);

    // Shows the box modally and frees it once closed.
    void Execute();

    // Builds the box without showing it: its client area, position, close
    // button ("CloseButton"), image ("Image") and labels ("AppName",
    // "Version", "Memo"), all in place. The client area is FormWidth x
    // FormHeight, grown where the labels need more room: no label runs
    // under the image or over another.
    std::unique_ptr<QDialog> CreateDialog() const;

    const QString& AppName() const { return appName_; }
    void SetAppName(const QString& value) { appName_ = value; }
    const QString& Caption() const { return caption_; }
    void SetCaption(const QString& value) { caption_ = value; }
    const QString& CloseButton() const { return closeButton_; }
    void SetCloseButton(const QString& value) { closeButton_ = value; }
    int FormLeft() const { return formLeft_; }
    void SetFormLeft(int value) { formLeft_ = value; }
    int FormTop() const { return formTop_; }
    void SetFormTop(int value) { formTop_ = value; }
    int FormWidth() const { return formWidth_; }
    void SetFormWidth(int value) { formWidth_ = value; }
    int FormHeight() const { return formHeight_; }
    void SetFormHeight(int value) { formHeight_ = value; }
    TFPosition FormPosition() const { return formPosition_; }
    void SetFormPosition(TFPosition value) { formPosition_ = value; }
    const QString& Memo() const { return memo_; }
    void SetMemo(const QString& value) { memo_ = value; }
    const QString& Version() const { return version_; }
    void SetVersion(const QString& value) { version_ = value; }
    // Both are copied in; the box gets copies again when it is built.
    const QFont& Font() const { return font_; }
    void SetFont(const QFont& value) { font_ = value; }
    const QIcon& Icon() const { return icon_; }
    void SetIcon(const QIcon& value) { icon_ = value; }

  private:
    QWidget* OwnerWindow() const;
    QWidget* MainWindow() const;

    QString appName_;
    QString caption_;
    QString closeButton_;
    int formLeft_ = 0;
    int formTop_ = 0;
    int formWidth_ = 320;
    int formHeight_ = 120;
    TFPosition formPosition_ = TFPosition::fpDesigned;
    QString memo_;
    QString version_;
    QFont font_;
    QIcon icon_;
};

// The about box's version line for a release and its date ("2004-03-31"):
// "バージョン 2.00α 【2004年3月31日(水)】". A date that does not parse is
// left out.
QString AboutVersionLine(const QString& version, const QString& isoDate);

} // namespace varnoke
