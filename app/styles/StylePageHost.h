// What the style page needs of the window around it: the settings and their
// styles, the refresh and preview operations, the folders and the dialogs.
#pragma once

#include "css/CSSNames.h"

#include "common/NativePath.h"

#include <QString>
#include <QStringList>

#include <exception>

#include <string>

namespace varnoke {

class TDialogs;
class TSystemData;

class TStylePageHost {
  public:
    virtual ~TStylePageHost() = default;
    virtual TSystemData& SystemData() = 0;
    virtual void SetRefreshPending() = 0;
    virtual void RefreshAll() = 0;
    virtual void ShowPreview() = 0;
    virtual void MakePreview() = 0;
    // The temp folder with its trailing "/", and the style file.
    virtual TNativePath TempFolder() const = 0;
    virtual TNativePath StyleFile() const = 0;
    virtual TDialogs& Dialogs() = 0;
    virtual TSystemColorResolver SystemColors() const = 0;
    // Tells of a failure of work the user did not ask for, without a box.
    virtual void Note(const QString& message) = 0;
    // Tells of a failure of a command, in the common error box.
    virtual void ShowError(const std::exception& error) = 0;
    // Which of the open project's choices (タイトル, メニュー, 本文) use the
    // style; and the project following the deletion of a style.
    virtual QStringList ProjectChoicesOf(int style) const = 0;
    virtual void StyleDeleted(int style) = 0;
};

} // namespace varnoke
