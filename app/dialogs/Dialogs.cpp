#include "app/dialogs/Dialogs.h"

#include "common/Errors.h"
#include "common/ShiftJis.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QSortFilterProxyModel>

namespace varnoke {

namespace {
const QString ApplicationTitle = QStringLiteral("Varnoke V2");

std::optional<QString> Chosen(const QString& name) {
    if (name.isEmpty())
        return std::nullopt;
    return name;
}

// Leaves out of a file dialog's list the files it must not offer, by their
// real names (a link to one is left out too).
class THiddenFilesFilter : public QSortFilterProxyModel {
  public:
    THiddenFilesFilter(const QStringList& hidden, QObject* parent) : QSortFilterProxyModel(parent) {
        for (const QString& file : hidden)
            hidden_ << RealName(file);
    }

  protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        const QModelIndex index = sourceModel()->index(row, 0, parent);
        const QString path = sourceModel()->data(index, QFileSystemModel::FilePathRole).toString();
        return path.isEmpty() || !hidden_.contains(RealName(path));
    }

  private:
    static QString RealName(const QString& path) {
        const QString real = QFileInfo(path).canonicalFilePath();
        return real.isEmpty() ? QFileInfo(path).absoluteFilePath() : real;
    }

    QStringList hidden_;
};

// A file dialog set up from the options; an initial path that names a file
// opens in its folder with that name filled in.
void SetUp(QFileDialog& dialog, const TFileDialogOptions& options) {
    if (!options.Hidden.isEmpty()) {
        // Only the dialog of Qt's own takes a filter of its list.
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setProxyModel(NewHiddenFilesFilter(options.Hidden, &dialog));
    }
    if (!options.Title.isEmpty())
        dialog.setWindowTitle(options.Title);
    dialog.setNameFilter(options.Filter);
    dialog.setDefaultSuffix(options.DefaultSuffix);
    const QFileInfo initial(options.InitialPath);
    if (!options.InitialPath.isEmpty() && (initial.isDir() || options.InitialPath.endsWith('/'))) {
        dialog.setDirectory(options.InitialPath);
    } else if (!options.InitialPath.isEmpty()) {
        dialog.setDirectory(initial.absolutePath());
        dialog.selectFile(initial.fileName());
    }
}

std::optional<QString> Selected(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return Chosen(dialog.selectedFiles().first());
}

bool AskReplace(QWidget* parent, const QString& name) {
    QMessageBox box(QMessageBox::Warning, ApplicationTitle,
                    QStringLiteral("%1 は既に存在します.\n置き換えますか?").arg(name),
                    QMessageBox::NoButton, parent);
    QPushButton* yes = box.addButton(QStringLiteral("はい(&Y)"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("いいえ(&N)"), QMessageBox::NoRole);
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}
} // namespace

QSortFilterProxyModel* NewHiddenFilesFilter(const QStringList& hidden, QObject* parent) {
    return new THiddenFilesFilter(hidden, parent);
}

QString WithDefaultSuffix(const QString& name, const QString& suffix) {
    if (suffix.isEmpty() || name.isEmpty() || name.endsWith('/') ||
        !QFileInfo(name).suffix().isEmpty())
        return name;
    return name + "." + suffix;
}

std::optional<QString>
SettleSaveName(const std::function<std::optional<QString>(const QString& at)>& pick,
               const std::function<bool(const QString& existing)>& mayReplace,
               const QString& defaultSuffix, const QString& initialPath) {
    QString at = initialPath;
    for (;;) {
        const std::optional<QString> picked = pick(at);
        if (!picked)
            return std::nullopt;
        const QString name = WithDefaultSuffix(*picked, defaultSuffix);
        if (!QFileInfo::exists(name) || mayReplace(name))
            return name;
        at = name;
    }
}

QString ErrorBoxText(const QString& message) {
    if (message.endsWith('.') || message.endsWith(QStringLiteral("。")))
        return message;
    return message + ".";
}

QString ErrorMessageOf(const std::exception& error) {
    const QString message = QString::fromUtf8(error.what());
    if (const auto* output = dynamic_cast<const EInOutError*>(&error))
        return QStringLiteral("ファイル \"%1\". %2")
            .arg(QString::fromStdString(output->FileName().Name()), message);
    return message;
}

void TQtDialogs::ShowError(const QString& message) {
    QMessageBox::critical(parent_, ApplicationTitle, ErrorBoxText(message));
}

void TQtDialogs::ShowWarning(const QString& message) {
    QMessageBox::warning(parent_, ApplicationTitle, message);
}

void TQtDialogs::ShowErrorMessage(const QString& message) {
    QMessageBox::critical(parent_, ApplicationTitle, message);
}

TAnswer TQtDialogs::AskYesNoCancel(const QString& caption, const QString& text) {
    QMessageBox box(QMessageBox::Warning, caption, text, QMessageBox::NoButton, parent_);
    QPushButton* yes = box.addButton(QStringLiteral("はい(&Y)"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("いいえ(&N)"), QMessageBox::NoRole);
    QPushButton* cancel = box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == yes)
        return TAnswer::Yes;
    if (box.clickedButton() == no)
        return TAnswer::No;
    return TAnswer::Cancel;
}

TAnswer TQtDialogs::AskYesOr(const QString& caption, const QString& text, TSecondButton second,
                             TAnswer defaultAnswer) {
    QMessageBox box(QMessageBox::Warning, caption, text, QMessageBox::NoButton, parent_);
    QPushButton* yes = box.addButton(QStringLiteral("はい(&Y)"), QMessageBox::YesRole);
    QPushButton* other = second == TSecondButton::No
                             ? box.addButton(QStringLiteral("いいえ(&N)"), QMessageBox::NoRole)
                             : box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
    box.setDefaultButton(defaultAnswer == TAnswer::Yes ? yes : other);
    box.setEscapeButton(other);
    box.exec();
    if (box.clickedButton() == yes)
        return TAnswer::Yes;
    return second == TSecondButton::No ? TAnswer::No : TAnswer::Cancel;
}

std::optional<QString> TQtDialogs::OpenFile(const TFileDialogOptions& options) {
    QFileDialog dialog(parent_);
    SetUp(dialog, options);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(options.MustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    const std::optional<QString> name = Selected(dialog);
    if (!name)
        return std::nullopt;
    // A dialog of the desktop may hand the name back as typed.
    return WithDefaultSuffix(*name, options.DefaultSuffix);
}

std::optional<QString> TQtDialogs::SaveFile(const TFileDialogOptions& options) {
    const auto pick = [&](const QString& at) {
        TFileDialogOptions shown = options;
        shown.InitialPath = at;
        QFileDialog dialog(parent_);
        SetUp(dialog, shown);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        // The question is asked below, about the name with its suffix.
        dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
        return Selected(dialog);
    };
    return SettleSaveName(
        pick, [this](const QString& name) { return AskReplace(parent_, name); },
        options.DefaultSuffix, options.InitialPath);
}

std::optional<QString> TQtDialogs::ChooseFolder(const QString& title, const QString& initial) {
    return Chosen(QFileDialog::getExistingDirectory(
        parent_, title.isEmpty() ? QStringLiteral("フォルダの選択") : title, initial));
}

namespace {
// An input box that tells why a text cannot be taken and stays open.
class TCheckedInputDialog : public QInputDialog {
  public:
    TCheckedInputDialog(QWidget* parent, TInputRefusal refuse)
        : QInputDialog(parent), refuse_(std::move(refuse)) {}

    void done(int result) override {
        if (result == QDialog::Accepted && refuse_) {
            if (const std::optional<QString> why = refuse_(textValue())) {
                QMessageBox::critical(this, ApplicationTitle, *why);
                if (auto* field = findChild<QLineEdit*>()) {
                    field->setFocus();
                    field->selectAll();
                }
                return;
            }
        }
        QInputDialog::done(result);
    }

  private:
    TInputRefusal refuse_;
};
} // namespace

std::optional<QString> TQtDialogs::InputBox(const QString& caption, const QString& prompt,
                                            const QString& initial, const TInputRefusal& refuse) {
    TCheckedInputDialog dialog(parent_, refuse);
    dialog.setWindowTitle(caption);
    dialog.setLabelText(prompt);
    dialog.setTextValue(initial);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

std::optional<QColor> TQtDialogs::ChooseColor(const QColor& initial) {
    QColor color = QColorDialog::getColor(initial, parent_);
    if (!color.isValid())
        return std::nullopt;
    return color;
}

} // namespace varnoke
