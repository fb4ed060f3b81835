// The editor's part of the status line: where the caret is (line and column,
// counted from 1), how the text is stored (encoding and line ends) and what
// the last build made of it (headings and body pages). The caret follows by
// itself; the rest is told by whoever knows it.
#pragma once

#include <QWidget>

class QLabel;
class QPlainTextEdit;

namespace varnoke {

class TEditorStatus : public QWidget {
    Q_OBJECT

  public:
    explicit TEditorStatus(QPlainTextEdit& editor, QWidget* parent = nullptr);

    // As the user knows them: "Shift-JIS", "UTF-8"; "CR LF", "LF", "CR".
    void SetEncoding(const QString& encoding);
    void SetLineEnds(const QString& lineEnds);
    void SetBuildResult(int headings, int pages);

    QString Text() const; // everything shown, for the tests

  private:
    void ShowCaret();

    QPlainTextEdit& editor_;
    QLabel* caret_;
    QLabel* encoding_;
    QLabel* lineEnds_;
    QLabel* build_;
};

} // namespace varnoke
