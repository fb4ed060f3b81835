#include "app/text/TextDocument.h"

#include "app/dialogs/Dialogs.h"
#include "common/Errors.h"
#include "common/FileSystem.h"
#include "common/ShiftJis.h"
#include "controls/ExtMemo.h"

#include <QDateTime>
#include <QScrollBar>
#include <QTextBlock>

#include <cerrno>
#include <unistd.h>

namespace varnoke {

namespace {

// However long the typing goes on, a copy is written at least this many
// idle delays after the first unsaved change.
constexpr int LongestRecoveryWaitInDelays = 10;

const QString QuestionCaption = QStringLiteral("確認");

QString Shown(const std::string& sjis) {
    return QString::fromStdString(SjisToUtf8(sjis));
}

QString TimeOf(std::int64_t ms) {
    return QDateTime::fromMSecsSinceEpoch(ms).toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
}

} // namespace

TTextDocument::TTextDocument(TCustomExtRichEdit& editor, TDialogs& dialogs,
                             TRecoveryFolder recovery, int recoveryDelayMs, QObject* parent)
    : QObject(parent), editor_(editor), dialogs_(dialogs), recovery_(std::move(recovery)) {
    recoveryTimer_.setSingleShot(true);
    recoveryTimer_.setInterval(recoveryDelayMs);
    connect(&recoveryTimer_, &QTimer::timeout, this, &TTextDocument::WriteRecoveryCopy);
    // On the typing path only a timer is restarted; the copy is written
    // when the typing pauses.
    connect(&Document(), &QTextDocument::contentsChanged, this,
            &TTextDocument::ScheduleRecoveryCopy);
    connect(&Document(), &QTextDocument::modificationChanged, this, [this](bool modified) {
        if (!modified && !replacingText_) {
            // Back at the file's text, by a save or by undoing every change.
            recoveryTimer_.stop();
            recovery_.Remove(fileName_);
        }
        emit StateChanged();
    });
    connect(&watcher_, &TTextFileWatcher::Changed, this, &TTextDocument::FileChangedOnDisk);
    connect(&watcher_, &TTextFileWatcher::Removed, this, &TTextDocument::FileRemovedFromDisk);
}

QTextDocument& TTextDocument::Document() const {
    return *editor_.document();
}

bool TTextDocument::Modified() const {
    return Document().isModified();
}

std::string TTextDocument::EditorText() const {
    // The raw text, not toPlainText(), which turns no-break spaces into
    // spaces. Paragraphs are separated by U+2029; a line break typed with
    // Shift+Enter is U+2028; both are line breaks of the file.
    QString text = Document().toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text.toStdString();
}

// ---- reading ---------------------------------------------------------------

TDecodedText TTextDocument::ReadFile(const std::string& fileName) const {
    std::string bytes;
    const TNativePath file = NativePath(fileName);
    if (file.Empty() || !ReadWholeFile(file, bytes))
        throw EFOpenError(file, SystemErrorReason(ENOENT));
    return DecodeText(bytes);
}

bool TTextDocument::AcceptSuspicious(const std::string& fileName, const TDecodedText& text) {
    if (!text.Suspicious())
        return true;
    const QString problem = text.HasNulBytes
                                ? QStringLiteral("NUL 文字")
                                : QStringLiteral("%1 として読めないバイト")
                                      .arg(QString::fromLatin1(EncodingName(text.Format.Encoding)));
    const QString question =
        QStringLiteral("テキストファイル \"%1\" には%2が含まれています。"
                       "テキストではないか、文字コードが違う可能性があります。\n"
                       "読み込みますか?")
            .arg(Shown(fileName), problem);
    return dialogs_.AskYesOr(QStringLiteral("警告"), question, TSecondButton::No, TAnswer::No) ==
           TAnswer::Yes;
}

void TTextDocument::ShowText(const std::string& utf8, bool modified) {
    // Dropping the present text: a recovery copy of it goes with it, since
    // the user was asked before and chose not to keep it.
    if (Modified())
        recovery_.Remove(fileName_);
    // Replacing the text passes through the modified states on its way; a
    // copy of the file about to be read must outlive that.
    replacingText_ = true;
    editor_.SetText(QString::fromStdString(utf8));
    Document().setModified(modified);
    replacingText_ = false;
    recoveryTimer_.stop(); // a text just read has nothing to keep yet
}

void TTextDocument::Bind(const std::string& fileName, const TTextFormat& format) {
    fileName_ = fileName;
    format_ = format;
    watcher_.Watch(fileName);
    emit StateChanged();
}

bool TTextDocument::Load(const std::string& fileName) {
    const TDecodedText text = ReadFile(fileName);
    if (!AcceptSuspicious(fileName, text))
        return false;
    ShowText(text.Utf8, false);
    Bind(fileName, text.Format);
    OfferCopyOf(fileName, text.Utf8);
    return true;
}

void TTextDocument::StartNew(const std::string& fileName) {
    ShowText({}, false);
    Bind(fileName, TTextFormat{});
    if (!fileName.empty())
        OfferCopyOf(fileName, {}); // work typed for the file before it was ever saved
}

void TTextDocument::OfferCopyOf(const std::string& fileName, const std::string& fileText) {
    std::vector<TNativePath> damaged;
    const std::optional<TRecoveryCopy> copy = recovery_.Find(fileName, damaged);
    WarnAboutDamagedCopies(damaged);
    if (!copy || !HoldsUnsavedWork(*copy) || WrittenByAnotherRunningWindow(*copy))
        return;
    if (copy->Text == fileText)
        recovery_.Remove(fileName); // nothing the file lacks
    else
        OfferRecovery(*copy);
}

// ---- writing ---------------------------------------------------------------

bool TTextDocument::WriteTo(const std::string& fileName) {
    const std::string text = EditorText();
    TTextFormat format = format_;
    std::string bytes;
    try {
        bytes = EncodeText(text, format);
    } catch (const EConvertError& error) {
        const QString question =
            QStringLiteral("%1。\nUTF-8 で保存しますか?").arg(QString::fromUtf8(error.what()));
        if (dialogs_.AskYesOr(QStringLiteral("警告"), question, TSecondButton::Cancel,
                              TAnswer::Yes) != TAnswer::Yes)
            return false;
        format.Encoding = TTextEncoding::Utf8;
        bytes = EncodeText(text, format);
    }
    SaveUserFile(NativePath(fileName), bytes);
    format_ = format;
    return true;
}

bool TTextDocument::Save() {
    if (!WriteTo(fileName_))
        return false;
    watcher_.Acknowledge();
    Document().setModified(false); // removes the recovery copy
    return true;
}

bool TTextDocument::SaveAs(const std::string& fileName) {
    if (!WriteTo(fileName))
        return false;
    recovery_.Remove(fileName_);
    Bind(fileName, format_);
    Document().setModified(false);
    return true;
}

void TTextDocument::DropChanges() {
    recoveryTimer_.stop();
    if (Modified())
        recovery_.Remove(fileName_);
}

// ---- recovery copies -------------------------------------------------------

void TTextDocument::ScheduleRecoveryCopy() {
    if (!recovery_.Enabled())
        return;
    if (!recoveryTimer_.isActive())
        recoveryPendingSince_.start();
    else if (recoveryPendingSince_.elapsed() >=
             LongestRecoveryWaitInDelays * recoveryTimer_.interval())
        return; // typing without a pause: let the pending copy be written
    recoveryTimer_.start();
}

void TTextDocument::WriteRecoveryCopy() {
    recoveryTimer_.stop();
    if (!Modified() || !recovery_.Enabled())
        return;
    try {
        recovery_.Write({fileName_, NowMs(), EditorText(), ::getpid()});
        recoveryWriteFailed_ = false;
    } catch (const std::exception& error) {
        // Said once, not at every pause in the typing.
        if (!recoveryWriteFailed_)
            dialogs_.ShowWarning(
                QStringLiteral("復元用のコピーを書けません。保存されていない変更は、"
                               "異常終了のときに失われます。\n%1")
                    .arg(QString::fromUtf8(error.what())));
        recoveryWriteFailed_ = true;
    }
}

bool TTextDocument::OfferRecovery(const TRecoveryCopy& copy) {
    const QString what = copy.TextFile.empty()
                             ? QStringLiteral("ファイルに保存されていないテキスト")
                             : QStringLiteral("テキストファイル \"%1\" の保存されていない変更")
                                   .arg(Shown(copy.TextFile));
    const QString question =
        QStringLiteral("%1が残っています (%2)。\n復元しますか?").arg(what, TimeOf(copy.SavedAtMs));
    if (dialogs_.AskYesOr(QuestionCaption, question, TSecondButton::No, TAnswer::Yes) !=
        TAnswer::Yes) {
        recovery_.Remove(copy.TextFile);
        return false;
    }
    if (copy.TextFile != fileName_) {
        // The file's own form, when there is a file to read it from.
        TTextFormat format;
        try {
            if (FileExists(NativePathOrEmpty(copy.TextFile)))
                format = ReadFile(copy.TextFile).Format;
        } catch (const std::exception&) {
        }
        ShowText(copy.Text, true);
        Bind(copy.TextFile, format);
    } else {
        ShowText(copy.Text, true);
    }
    return true;
}

bool TTextDocument::OfferRecoveryAtStartUp() {
    std::vector<TNativePath> damaged;
    const std::vector<TRecoveryCopy> copies = recovery_.FindAll(damaged);
    WarnAboutDamagedCopies(damaged);
    for (const TRecoveryCopy& copy : copies) {
        // The open text's copy was offered as the text opened.
        if (!fileName_.empty() && copy.TextFile == fileName_)
            continue;
        // A copy older than its file holds nothing newer; it is kept, as it
        // may still be the author's, and offered no more.
        if (HoldsUnsavedWork(copy) && !WrittenByAnotherRunningWindow(copy) && OfferRecovery(copy))
            return true;
    }
    return false;
}

void TTextDocument::WarnAboutDamagedCopies(const std::vector<TNativePath>& copies) {
    for (const TNativePath& copy : copies)
        dialogs_.ShowWarning(QStringLiteral("復元用のコピー \"%1\" は壊れているため使えません。")
                                 .arg(QString::fromStdString(copy.Name())));
}

// ---- the file on disk ------------------------------------------------------

void TTextDocument::FileChangedOnDisk() {
    if (askingAboutDisk_)
        return;
    if (Modified()) {
        askingAboutDisk_ = true;
        const QString question =
            QStringLiteral("テキストファイル \"%1\" が他のプログラムで変更されました。\n"
                           "再読み込みしますか? (いいえ: 編集中のテキストを残します)")
                .arg(Shown(fileName_));
        const TAnswer answer =
            dialogs_.AskYesOr(QuestionCaption, question, TSecondButton::No, TAnswer::No);
        askingAboutDisk_ = false;
        // Kept: the editor now differs from the new file, and stays modified.
        if (answer != TAnswer::Yes)
            return;
    }
    Reload();
}

void TTextDocument::FileRemovedFromDisk() {
    // The editor holds the only copy now: the next save writes it again, and
    // the recovery copy keeps it meanwhile.
    Document().setModified(true);
    ScheduleRecoveryCopy();
    emit RemovedOnDisk();
}

// Reads the file again, keeping the caret's line and column and the scroll
// position, as far as the new text reaches.
void TTextDocument::Reload() {
    try {
        const TDecodedText text = ReadFile(fileName_);
        if (!AcceptSuspicious(fileName_, text)) {
            Document().setModified(true); // the editor now differs from the file
            return;
        }
        const QTextCursor before = editor_.textCursor();
        const int line = before.blockNumber();
        const int column = before.positionInBlock();
        const int vertical = editor_.verticalScrollBar()->value();
        const int horizontal = editor_.horizontalScrollBar()->value();
        ShowText(text.Utf8, false);
        format_ = text.Format;
        watcher_.Acknowledge();
        const QTextBlock block =
            Document().findBlockByNumber(std::min(line, Document().blockCount() - 1));
        QTextCursor cursor(block);
        cursor.setPosition(block.position() + std::min(column, block.length() - 1));
        editor_.setTextCursor(cursor);
        editor_.verticalScrollBar()->setValue(vertical);
        editor_.horizontalScrollBar()->setValue(horizontal);
    } catch (const std::exception& error) {
        dialogs_.ShowError(QString::fromUtf8(error.what()));
    }
}

} // namespace varnoke
