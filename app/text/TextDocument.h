// The manual's text as a file: the editor's characters, the file they
// belong to, the encoding and line breaks they are written back in, and
// whether the editor differs from the file. The document saves the text in
// the form it was read, keeps a recovery copy while there are unsaved
// changes, and follows what other programs do to the file.
//
// The editor holds the text's real characters; the conversion to the
// pages' Shift-JIS happens only where the build reads the editor's lines.
#pragma once

#include "app/text/TextFileWatcher.h"
#include "common/RecoveryCopy.h"
#include "common/TextEncoding.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <string>
#include <vector>

class QTextDocument;

namespace varnoke {

class TCustomExtRichEdit;
class TDialogs;

class TTextDocument : public QObject {
    Q_OBJECT

  public:
    // `recoveryDelayMs` is the idle time after an edit before the recovery
    // copy is written.
    TTextDocument(TCustomExtRichEdit& editor, TDialogs& dialogs, TRecoveryFolder recovery,
                  int recoveryDelayMs, QObject* parent = nullptr);

    // The text's file (CP932 full path); empty for a text without one.
    const std::string& FileName() const { return fileName_; }
    const TTextFormat& Format() const { return format_; }
    // Whether the editor differs from the file.
    bool Modified() const;

    // Replaces the editor's text by the file's. A file with NUL bytes or
    // bytes its encoding cannot read replaces it only when the user agrees;
    // false when the user declines. Throws EFOpenError. Either way a failure
    // changes nothing. Then offers a recovery copy of the file that holds
    // work the file lacks.
    bool Load(const std::string& fileName);
    // An empty editor for a text that is not written yet, bound to the file
    // name (empty: a text without a file). Saving creates the file.
    void StartNew(const std::string& fileName);

    // Write the text in its form (a new text: Shift-JIS, CR LF). A text
    // Shift-JIS cannot hold is saved as UTF-8 if the user agrees; false when
    // the user does not. Throw EFCreateError, and then the text stays
    // modified and its recovery copy stays. Save needs a file name.
    bool Save();
    bool SaveAs(const std::string& fileName);

    // The user gives up the unsaved changes (the window closes without
    // saving them): the recovery copy goes.
    void DropChanges();

    // At start-up: offers the recovery copies that hold unsaved work, the
    // newest first, until the user takes one; true when one was taken.
    // Copies that another running window keeps are left to it, and the copy
    // of the text open already, which was offered as it opened.
    bool OfferRecoveryAtStartUp();

    // Writes the recovery copy now if the text is modified; the window does
    // this on its own after an edit and some idle time.
    void WriteRecoveryCopy();

  signals:
    // The file name or the modified state changed.
    void StateChanged();
    // Another program deleted the text's file; the editor holds the only copy.
    void RemovedOnDisk();

  private:
    QTextDocument& Document() const;
    // The editor's characters in UTF-8, every line break as "\n".
    std::string EditorText() const;
    // Reads and decodes a file; throws EFOpenError.
    TDecodedText ReadFile(const std::string& fileName) const;
    bool AcceptSuspicious(const std::string& fileName, const TDecodedText& text);
    void ShowText(const std::string& utf8, bool modified);
    void Bind(const std::string& fileName, const TTextFormat& format);
    bool WriteTo(const std::string& fileName);

    void ScheduleRecoveryCopy();
    // Offers the copy of the file just shown, when it holds more than the file.
    void OfferCopyOf(const std::string& fileName, const std::string& fileText);
    bool OfferRecovery(const TRecoveryCopy& copy);
    void WarnAboutDamagedCopies(const std::vector<TNativePath>& copies);

    void FileChangedOnDisk();
    void FileRemovedFromDisk();
    void Reload();

    TCustomExtRichEdit& editor_;
    TDialogs& dialogs_;
    TRecoveryFolder recovery_;
    TTextFileWatcher watcher_;
    std::string fileName_;
    TTextFormat format_;

    QTimer recoveryTimer_;
    QElapsedTimer recoveryPendingSince_;
    bool recoveryWriteFailed_ = false;
    bool replacingText_ = false;
    // A question about the file on disk is open; further reports wait.
    bool askingAboutDisk_ = false;
};

} // namespace varnoke
