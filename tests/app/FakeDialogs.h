// Dialogs answered by the test: each call takes the next queued answer
// (or "cancel" when none is queued) and is recorded.
#pragma once

#include "app/dialogs/Dialogs.h"

#include <QStringList>
#include <deque>
#include <vector>

namespace varnoke::test {

class TFakeDialogs : public TDialogs {
  public:
    // What the window showed, in order: "error: ...", "ask: ...", "open", "save", ...
    QStringList Shown;

    std::deque<TAnswer> Answers;
    std::deque<std::optional<QString>> FileNames; // for OpenFile, SaveFile, ChooseFolder
    std::deque<std::optional<QString>> Inputs;
    std::deque<std::optional<QColor>> Colors;
    // The folder or file each file and folder dialog opened at, in order.
    QStringList InitialPaths;
    // The options of each file dialog, in order.
    std::vector<TFileDialogOptions> FileOptions;

    void ShowError(const QString& message) override { Shown << "error: " + ErrorBoxText(message); }
    void ShowWarning(const QString& message) override { Shown << "warning: " + message; }
    void ShowErrorMessage(const QString& message) override { Shown << "message: " + message; }
    TAnswer AskYesNoCancel(const QString& caption, const QString& text) override {
        Shown << "ask: " + caption + ": " + text;
        return Take(Answers, TAnswer::Cancel);
    }
    // Unanswered, a two-button question takes its second button, as Escape does.
    TAnswer AskYesOr(const QString& caption, const QString& text, TSecondButton second,
                     TAnswer) override {
        Shown << "ask: " + caption + ": " + text;
        return Take(Answers, second == TSecondButton::No ? TAnswer::No : TAnswer::Cancel);
    }
    std::optional<QString> OpenFile(const TFileDialogOptions& options) override {
        Shown << "open: " + options.Title;
        InitialPaths << options.InitialPath;
        FileOptions.push_back(options);
        return Take(FileNames, std::optional<QString>());
    }
    std::optional<QString> SaveFile(const TFileDialogOptions& options) override {
        Shown << "save: " + options.Title;
        InitialPaths << options.InitialPath;
        FileOptions.push_back(options);
        return Take(FileNames, std::optional<QString>());
    }
    std::optional<QString> ChooseFolder(const QString& title, const QString& initial) override {
        Shown << "folder: " + title;
        InitialPaths << initial;
        return Take(FileNames, std::optional<QString>());
    }
    // A refused text is told as a message and the box stays open: the next
    // queued text is typed over the refused one, which is recorded as the
    // selection the box kept.
    std::optional<QString> InputBox(const QString& caption, const QString& prompt, const QString&,
                                    const TInputRefusal& refuse) override {
        Shown << "input: " + caption + ": " + prompt;
        for (;;) {
            std::optional<QString> text = Take(Inputs, std::optional<QString>());
            const std::optional<QString> refusal =
                text && refuse ? refuse(*text) : std::optional<QString>();
            if (!refusal)
                return text;
            Shown << "message: " + *refusal;
            KeptSelected << *text;
        }
    }
    // The texts an input box kept open and selected after refusing them.
    QStringList KeptSelected;
    std::optional<QColor> ChooseColor(const QColor&) override {
        Shown << "color";
        return Take(Colors, std::optional<QColor>());
    }

  private:
    template <typename T> static T Take(std::deque<T>& queue, T fallback) {
        if (queue.empty())
            return fallback;
        T value = queue.front();
        queue.pop_front();
        return value;
    }
};

} // namespace varnoke::test
