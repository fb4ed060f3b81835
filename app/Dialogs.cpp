#include "app/Dialogs.h"

#include "common/Errors.h"
#include "common/ShiftJis.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace varnoke {

namespace {
const QString ApplicationTitle = QStringLiteral("Varnoke V2");

std::optional<QString> Chosen(const QString& name) {
    if (name.isEmpty())
        return std::nullopt;
    return name;
}

QString WithSuffix(QString name, const QString& suffix) {
    if (!suffix.isEmpty() && QFileInfo(name).suffix().isEmpty())
        name += "." + suffix;
    return name;
}
} // namespace

QString ErrorBoxText(const QString& message) {
    if (message.endsWith('.') || message.endsWith(QStringLiteral("。")))
        return message;
    return message + ".";
}

QString ErrorMessageOf(const std::exception& error) {
    const QString message = QString::fromUtf8(error.what());
    if (const auto* output = dynamic_cast<const EInOutError*>(&error))
        return QStringLiteral("ファイル \"%1\". %2")
            .arg(QString::fromStdString(SjisToUtf8(output->FileName())), message);
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

std::optional<QString> TQtDialogs::OpenFile(const TFileDialogOptions& options) {
    return Chosen(
        QFileDialog::getOpenFileName(parent_, options.Title, options.InitialPath, options.Filter));
}

std::optional<QString> TQtDialogs::SaveFile(const TFileDialogOptions& options) {
    QFileDialog dialog(parent_, options.Title, options.InitialPath, options.Filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(options.DefaultSuffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return WithSuffix(dialog.selectedFiles().first(), options.DefaultSuffix);
}

std::optional<QString> TQtDialogs::ChooseFolder(const QString& title, const QString& initial) {
    return Chosen(QFileDialog::getExistingDirectory(parent_, title, initial));
}

std::optional<QString> TQtDialogs::InputBox(const QString& caption, const QString& prompt,
                                            const QString& initial) {
    bool accepted = false;
    QString text =
        QInputDialog::getText(parent_, caption, prompt, QLineEdit::Normal, initial, &accepted);
    if (!accepted)
        return std::nullopt;
    return text;
}

std::optional<QColor> TQtDialogs::ChooseColor(const QColor& initial) {
    QColor color = QColorDialog::getColor(initial, parent_);
    if (!color.isValid())
        return std::nullopt;
    return color;
}

} // namespace varnoke
