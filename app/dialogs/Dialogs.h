// Every dialog the window shows goes through this interface, so that tests
// can answer them without a person and without a display.
#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <exception>
#include <functional>
#include <optional>

class QObject;
class QSortFilterProxyModel;
class QWidget;

namespace varnoke {

enum class TAnswer { Yes, No, Cancel };
// The second button of a two-button question; Escape chooses it.
enum class TSecondButton { No, Cancel };

struct TFileDialogOptions {
    QString Title;           // empty: the platform's default title
    QString Filter;          // Qt filter text, e.g. "ﾌﾟﾛｼﾞｪｸﾄﾌｧｲﾙ (*.vkp)"
    QString DefaultSuffix;   // without the dot, e.g. "vkp"; added to a name that has none
    QString InitialPath;     // a folder, or a file to start at (UTF-8)
    bool MustExist = true;   // an open dialog: only an existing file may be chosen
    QStringList Hidden = {}; // files (native full names) the dialog does not offer
};

// Why a text typed into an input box cannot be taken; nullopt: it can.
using TInputRefusal = std::function<std::optional<QString>(const QString& text)>;

class TDialogs {
  public:
    virtual ~TDialogs() = default;

    // The common error box: critical icon, caption "Varnoke V2", a full stop
    // appended when the message has none.
    virtual void ShowError(const QString& message) = 0;
    // An OK-only box with a warning or an error icon.
    virtual void ShowWarning(const QString& message) = 0;
    virtual void ShowErrorMessage(const QString& message) = 0;
    // Yes / No / Cancel with Yes as default and Escape as Cancel.
    virtual TAnswer AskYesNoCancel(const QString& caption, const QString& text) = 0;
    // Yes and No, or Yes and Cancel, with a warning icon; `defaultAnswer` is
    // the button that Enter chooses.
    virtual TAnswer AskYesOr(const QString& caption, const QString& text, TSecondButton second,
                             TAnswer defaultAnswer) = 0;
    // File names in UTF-8 as Qt gives them, with the default suffix added to
    // a name typed without one; nullopt when cancelled.
    virtual std::optional<QString> OpenFile(const TFileDialogOptions& options) = 0;
    // Asks before replacing an existing file: the file of the name with its
    // default suffix, which is the file that will be written.
    virtual std::optional<QString> SaveFile(const TFileDialogOptions& options) = 0;
    // title: the dialog's caption (a default one when empty).
    virtual std::optional<QString> ChooseFolder(const QString& title, const QString& initial) = 0;
    // A text that `refuse` refuses is told in an error message, and the box
    // stays open with the text selected.
    virtual std::optional<QString> InputBox(const QString& caption, const QString& prompt,
                                            const QString& initial,
                                            const TInputRefusal& refuse = {}) = 0;
    virtual std::optional<QColor> ChooseColor(const QColor& initial) = 0;
};

// The real dialogs, parented to a window.
class TQtDialogs : public TDialogs {
  public:
    explicit TQtDialogs(QWidget* parent) : parent_(parent) {}
    void ShowError(const QString& message) override;
    void ShowWarning(const QString& message) override;
    void ShowErrorMessage(const QString& message) override;
    TAnswer AskYesNoCancel(const QString& caption, const QString& text) override;
    TAnswer AskYesOr(const QString& caption, const QString& text, TSecondButton second,
                     TAnswer defaultAnswer) override;
    std::optional<QString> OpenFile(const TFileDialogOptions& options) override;
    std::optional<QString> SaveFile(const TFileDialogOptions& options) override;
    std::optional<QString> ChooseFolder(const QString& title, const QString& initial) override;
    std::optional<QString> InputBox(const QString& caption, const QString& prompt,
                                    const QString& initial,
                                    const TInputRefusal& refuse = {}) override;
    std::optional<QColor> ChooseColor(const QColor& initial) override;

  private:
    QWidget* parent_;
};

// The name a save dialog settles on. `pick` shows the dialog at a name and
// returns the name chosen (nullopt: cancelled); the default suffix goes onto
// a name without one before anything else, and a name whose file exists is
// taken only when `mayReplace` agrees, else the dialog is shown again.
std::optional<QString>
SettleSaveName(const std::function<std::optional<QString>(const QString& at)>& pick,
               const std::function<bool(const QString& existing)>& mayReplace,
               const QString& defaultSuffix, const QString& initialPath);

// The list filter of a file dialog that does not offer the `hidden` files
// (native full names); rows of a QFileSystemModel.
QSortFilterProxyModel* NewHiddenFilesFilter(const QStringList& hidden, QObject* parent);

// A name with the suffix appended when its file name has none.
QString WithDefaultSuffix(const QString& name, const QString& suffix);

// The text of the common error box: the message with a full stop at its end.
QString ErrorBoxText(const QString& message);

// What the window says about a failure: its message, and for a page or
// style sheet that could not be written, first the file's full name (the
// other file errors name their file already).
QString ErrorMessageOf(const std::exception& error);

} // namespace varnoke
