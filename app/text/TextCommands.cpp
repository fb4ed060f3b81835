// The text's commands: saving it, the question before a command drops it,
// and what the window shows of its state (the title, overwrite save).
#include "app/dialogs/DialogPlaces.h"
#include "app/text/TextDocument.h"
#include "app/window/MainMenus.h"
#include "app/window/Platform.h"
#include "app/window/StatusLine.h"
#include "common/PathNames.h"
#include "common/ShiftJis.h"
#include "controls/EditorStatus.h"

#include <QAction>

namespace varnoke {

namespace {
const QString ApplicationTitle = QStringLiteral("Varnoke V2");

// "guide.txt* - Varnoke V2": the text's file, or the project's while the
// text has none, with a star while the text or the project is not saved;
// the bare application name while there is nothing to name.
QString WindowTitle(const std::string& textFile, const std::string& projectFile, bool textModified,
                    bool projectModified) {
    const std::string name = ExtractFileName(textFile.empty() ? projectFile : textFile);
    const bool unsaved = textModified || projectModified;
    if (name.empty() && !unsaved)
        return ApplicationTitle;
    const QString shown =
        name.empty() ? QStringLiteral("無題") : QString::fromStdString(SjisToUtf8(name));
    return shown + (unsaved ? QStringLiteral("*") : QString()) + QStringLiteral(" - ") +
           ApplicationTitle;
}
QString RemovedOnDiskNote(const std::string& textFile) {
    return QStringLiteral("テキストファイル \"%1\" は他のプログラムで削除されました。"
                          "保存すると書き直します。")
        .arg(QString::fromStdString(SjisToUtf8(textFile)));
}

QString LineBreakName(TLineBreak lineBreak) {
    switch (lineBreak) {
    case TLineBreak::CrLf:
        return QStringLiteral("CR LF");
    case TLineBreak::Lf:
        return QStringLiteral("LF");
    case TLineBreak::Cr:
        return QStringLiteral("CR");
    }
    return {};
}
} // namespace

QString TPlatform::TextPlace() const {
    return TextOpenPlace(WorkPlace());
}

bool TPlatform::SaveText() {
    if (textDocument_->FileName().empty())
        return SaveTextAs();
    return textDocument_->Save();
}

// The project names the text by the name it is saved under.
bool TPlatform::SaveTextAs() {
    const std::string& current = textDocument_->FileName();
    TFileDialogOptions options{
        QStringLiteral("テキストファイルを保存"),
        QStringLiteral("ﾃｷｽﾄﾌｧｲﾙ (*.txt);;全てのﾌｧｲﾙ (*)"), QStringLiteral("txt"),
        current.empty() ? TextPlace() : QString::fromStdString(SjisToUtf8(current))};
    const std::optional<QString> name = dialogs_->SaveFile(options);
    if (!name)
        return false;
    const std::string fileName = ChosenFileName(*name);
    if (!textDocument_->SaveAs(fileName))
        return false;
    if (ProjectPath(projectData_->TextName) != fileName) {
        projectData_->TextName = NameInProject(fileName);
        MarkModified();
        ShowProject();
    }
    return true;
}

// Yes saves (Save As when the text has no file yet); a cancelled dialog or a
// failed save stops the command that asked, as Cancel does.
bool TPlatform::ConfirmTextSave() {
    if (!textDocument_->Modified())
        return true;
    switch (dialogs_->AskYesNoCancel(QStringLiteral("警告"),
                                     QStringLiteral("テキストファイルを保存しますか?"))) {
    case TAnswer::Yes:
        return SaveText();
    case TAnswer::No:
        return true;
    case TAnswer::Cancel:
        return false;
    }
    return false;
}

void TPlatform::TextRemovedOnDisk() {
    Note(RemovedOnDiskNote(textDocument_->FileName()));
}

void TPlatform::UpdateSaveState() {
    if (!systemData_)
        return;
    const bool textModified = textDocument_->Modified();
    if (!textModified && statusLine_->MessageText() == RemovedOnDiskNote(textDocument_->FileName()))
        Note({});
    menus_->S1->setEnabled(systemData_->ProjectModified || textModified);
    menus_->SaveText->setEnabled(textModified || textDocument_->FileName().empty());
    setWindowTitle(WindowTitle(textDocument_->FileName(),
                               projectFileChosen_ ? systemData_->ProjectFile : std::string(),
                               textModified, systemData_->ProjectModified));
    const TTextFormat& format = textDocument_->Format();
    editorStatus_->SetEncoding(QString::fromLatin1(EncodingName(format.Encoding)));
    editorStatus_->SetLineEnds(LineBreakName(format.LineBreak));
}

} // namespace varnoke
