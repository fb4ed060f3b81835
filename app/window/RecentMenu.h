// The recent-project list in the File menu: binds TFileNameKeep to the
// "プロジェクト履歴" submenu, one entry per filled slot, and writes the list
// back to the settings file when the window lets it go.
#pragma once

#include "FileNameKeeper/FileNameKeep.h"

#include <QAction>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <string>
#include <vector>

namespace varnoke {

// The chosen entry's file name, CP932, as its caption shows it (without the
// slot number and the spaces before the name).
using TFileNameSelectEvent = std::function<void(const std::string& selectFileName)>;
// The message of a failed write of the list at destruction (UTF-8).
using TFileNameSaveErrorEvent = std::function<void(const QString& message)>;

class TFileNameKeepMenu : public QObject {
    Q_OBJECT

  public:
    // iniFile is the settings file (SettingsIniPath()); fileExists decides
    // which stored names survive loading (by default: the file exists).
    explicit TFileNameKeepMenu(TNativePath iniFile, QObject* owner = nullptr,
                               TFileNameKeep::TFileExists fileExists = nullptr);
    // Writes the list (SaveList) when it was ever loaded. A failure goes to
    // OnSaveError, or to the Qt warning log when none is set: a destructor
    // must not throw.
    ~TFileNameKeepMenu() override;

    TFileNameKeepMenu(const TFileNameKeepMenu&) = delete;
    TFileNameKeepMenu& operator=(const TFileNameKeepMenu&) = delete;

    QMenu* ParentMenu() const { return parentMenu_; }
    // Binds the entries to the menu. The first binding loads the stored
    // list; binding again moves the entries to the new menu, since loading
    // twice would shuffle the stored names over the ones added since.
    void SetParentMenu(QMenu* menu);

    // Puts the name (CP932) on top of the list. Does nothing before the list
    // is bound to a menu, or for an empty name.
    void Add(const std::string& fileName);

    const TFileNameSelectEvent& OnSelect() const { return onSelect_; }
    void SetOnSelect(TFileNameSelectEvent handler) { onSelect_ = std::move(handler); }
    // Called from the destructor, so it must not reach objects the window
    // has already destroyed by then.
    const TFileNameSaveErrorEvent& OnSaveError() const { return onSaveError_; }
    void SetOnSaveError(TFileNameSaveErrorEvent handler) { onSaveError_ = std::move(handler); }

    // The list behind the entries.
    const TFileNameKeep& List() const { return keep_; }

  private:
    void ItemClick(int slot);
    void UpdateCaptions();
    void UpdateEnabled();

    TFileNameKeep keep_;
    QPointer<QMenu> parentMenu_;
    // One per filled slot, slot 1 first; owned by this object.
    std::vector<QPointer<QAction>> items_;
    bool loaded_ = false;
    TFileNameSelectEvent onSelect_;
    TFileNameSaveErrorEvent onSaveError_;
};

} // namespace varnoke
