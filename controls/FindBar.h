// Find and replace for a text editor, as a bar under it rather than a dialog
// over it. Text is searched as characters (the editor holds Unicode), so a
// match never starts or ends inside a double-byte character, and full-width
// and half-width forms match only themselves. Every match in view is
// highlighted; replacing all is one step of undo.
#pragma once

#include <QTextCursor>
#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTextDocument;

namespace varnoke {

class TFindBar : public QWidget {
    Q_OBJECT

  public:
    explicit TFindBar(QPlainTextEdit& editor, QWidget* parent = nullptr);

    // Show the bar with the find field focused; a selection within one line
    // becomes the text to find. OpenReplace shows the replace row as well.
    void OpenFind();
    void OpenReplace();
    // Hides the bar and its highlights and gives the editor the focus.
    void Close();

    // Select the next match after the selection, or the one before it.
    // With wrapping on, the search goes on from the other end of the text.
    // False (and "見つかりません" in the bar) when there is none.
    bool FindNext();
    bool FindPrevious();
    // Replaces the selection when it is a match, then finds the next one.
    void ReplaceOne();
    // Replaces every match in the text as one step of undo; the count.
    int ReplaceAll();

    QLineEdit& FindField() { return *findEdit_; }
    QLineEdit& ReplaceField() { return *replaceEdit_; }
    QCheckBox& MatchCase() { return *matchCase_; }
    QCheckBox& Wrap() { return *wrap_; }
    QString Message() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Esc, which the fields leave to the bar.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void Open(bool replace);
    bool Find(bool backward, int from);
    Qt::CaseSensitivity Sensitivity() const;
    bool SelectionIsMatch() const;
    void ShowMessage(const QString& text, bool problem = false);
    void SearchAsTyped();
    void UpdateHighlights();

    QPlainTextEdit& editor_;
    QLineEdit* findEdit_;
    QLineEdit* replaceEdit_;
    QWidget* replaceRow_;
    QPushButton* nextButton_;
    QPushButton* previousButton_;
    QPushButton* replaceButton_;
    QPushButton* replaceAllButton_;
    QCheckBox* matchCase_;
    QCheckBox* wrap_;
    QLabel* message_;
    bool marked_ = false; // the editor shows marks of this bar
    // The message counts the replacements just made: it is true only until
    // the text changes again (an edit, or their undo).
    bool countShown_ = false;
    bool replacing_ = false;
};

// The first match of `what` at or after `from`; backwards, the last one that
// starts before `from`. A null cursor when there is none. Matches never
// cross a line break.
QTextCursor FindInDocument(QTextDocument& document, const QString& what, int from, bool backward,
                           Qt::CaseSensitivity sensitivity);

} // namespace varnoke
