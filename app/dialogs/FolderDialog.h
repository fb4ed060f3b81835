// The folder chooser behind the output folder's "参照" button: a modal
// dialog opened on the computer's drives that accepts only file-system
// folders and yields the chosen folder's full path, or reports a cancel.
//
// The properties mirror the shell browser the program was first built on,
// so a layout that sets them keeps working; the dialog itself is Qt's folder
// dialog, reached through TDialogs so that tests can answer it. Paths are
// CP932 like everything in the model; UTF-8 appears only at the dialog.
#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <initializer_list>
#include <string>

class QWidget;

namespace varnoke {

class TDialogs;

// The well-known folders, in the order the layouts store them. The comments
// give the folder each opens on this system.
enum class TRootFolder {
    rfDesktop,    // the user's home folder
    rfManual,     // RootFolderName; the desktop when that is empty or no folder
    rfDrives,     // "/", where every mounted drive lives
    rfDesktopDir, // the desktop folder
    rfFavorites,  // the home folder
    rfPrograms,   // the applications folder
    rfRecent,     // the home folder
    rfSendTo,     // the home folder
    rfStartMenu,  // the applications folder
    rfStartup,    // the autostart folder
    rfTemplates,  // the templates folder
};

enum class TSelectFolder {
    sfDesktop,
    sfManual,
    sfDrives,
    sfDesktopDir,
    sfFavorites,
    sfPrograms,
    sfRecent,
    sfSendTo,
    sfStartMenu,
    sfStartup,
    sfTemplates,
};

enum class TSHBrowseOption {
    sboDontGoBelowDomain,
    sboReturnFSAncestors,
    sboReturnOnlyFSDirs,
    sboStatusTextAndShowPath,
    sboStatusText,
};

// A set of TSHBrowseOption.
class TSHBrowseOptions {
  public:
    TSHBrowseOptions() = default;
    TSHBrowseOptions(std::initializer_list<TSHBrowseOption> options) {
        for (TSHBrowseOption option : options)
            Include(option);
    }
    bool Contains(TSHBrowseOption option) const { return (bits_ & Bit(option)) != 0; }
    TSHBrowseOptions& Include(TSHBrowseOption option) {
        bits_ |= Bit(option);
        return *this;
    }
    TSHBrowseOptions& Exclude(TSHBrowseOption option) {
        bits_ &= ~Bit(option);
        return *this;
    }
    bool operator==(const TSHBrowseOptions& other) const { return bits_ == other.bits_; }
    bool operator!=(const TSHBrowseOptions& other) const { return bits_ != other.bits_; }

  private:
    static unsigned Bit(TSHBrowseOption option) { return 1u << static_cast<unsigned>(option); }
    unsigned bits_ = 0;
};

enum class TShowStyle { ssNone, ssCenterScreen, ssClient };

enum class TOKButtonState { obsDefault, obsEnabled, obsDisabled };

// Sender, the dialog's window, the newly selected path (CP932, empty when
// the item has none), and what the handler wants shown: a status text and
// the state of the OK button.
using TSHBrowseEvent = std::function<void(QObject* sender, QWidget* wnd, const std::string& path,
                                          QString& showText, TOKButtonState& okButtonState)>;

class TSHBrowseForFolderEx : public QObject {
    Q_OBJECT

  public:
    // The dialogs must outlive the component.
    explicit TSHBrowseForFolderEx(TDialogs& dialogs, QObject* owner = nullptr);

    // Shows the dialog modally. True when the user confirmed a folder that
    // the model can hold; FolderPath and DisplayName then describe it.
    // False on a cancel, and on a folder whose name CP932 cannot hold, which
    // is refused with an error box rather than stored altered.
    virtual bool Execute();

    // Results: cleared at the start of every Execute.
    const std::string& FolderPath() const { return folderPath_; }
    const std::string& DisplayName() const { return displayName_; }

    TSelectFolder SelectFolder() const { return selectFolder_; }
    void SetSelectFolder(TSelectFolder value) { selectFolder_ = value; }
    const std::string& SelectFolderName() const { return selectFolderName_; }
    void SetSelectFolderName(const std::string& value) { selectFolderName_ = value; }
    // The instruction text; Qt's dialog shows it as its title.
    const QString& Caption() const { return caption_; }
    void SetCaption(const QString& value) { caption_ = value; }
    TSHBrowseOptions Options() const { return options_; }
    void SetOptions(TSHBrowseOptions value) { options_ = value; }
    const TSHBrowseEvent& OnSelectionChanged() const { return onSelectionChanged_; }
    void SetOnSelectionChanged(TSHBrowseEvent value) { onSelectionChanged_ = std::move(value); }
    TRootFolder RootFolder() const { return rootFolder_; }
    void SetRootFolder(TRootFolder value) { rootFolder_ = value; }
    const std::string& RootFolderName() const { return rootFolderName_; }
    void SetRootFolderName(const std::string& value) { rootFolderName_ = value; }
    // Qt places its dialogs itself (over the owner window); kept so that a
    // layout that sets it still loads.
    TShowStyle ShowStyle() const { return showStyle_; }
    void SetShowStyle(TShowStyle value) { showStyle_ = value; }

  protected:
    // Fires OnSelectionChanged when a handler is set. Qt's folder dialog
    // reports no live selection through TDialogs, so this runs only for a
    // subclass or a dialog that calls it.
    virtual void DoSelectionChanged(QWidget* wnd, const std::string& path, QString& showText,
                                    TOKButtonState& okButtonState);

  private:
    TDialogs& dialogs_;
    std::string folderPath_;
    std::string displayName_;
    TSelectFolder selectFolder_ = TSelectFolder::sfDrives;
    std::string selectFolderName_;
    QString caption_;
    TSHBrowseOptions options_{TSHBrowseOption::sboReturnOnlyFSDirs};
    TSHBrowseEvent onSelectionChanged_;
    TRootFolder rootFolder_ = TRootFolder::rfDesktop;
    std::string rootFolderName_;
    TShowStyle showStyle_ = TShowStyle::ssClient;
};

} // namespace varnoke
