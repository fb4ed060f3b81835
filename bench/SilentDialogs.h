// The window's dialogs for the benchmarks: every question answered No (or
// Cancel), no file chosen, errors printed rather than shown.
#pragma once

#include "app/dialogs/Dialogs.h"

namespace varnoke::bench {

class TSilentDialogs : public TDialogs {
  public:
    void ShowError(const QString& message) override { qWarning("%s", qPrintable(message)); }
    void ShowWarning(const QString&) override {}
    void ShowErrorMessage(const QString& message) override { qWarning("%s", qPrintable(message)); }
    TAnswer AskYesNoCancel(const QString&, const QString&) override { return TAnswer::No; }
    TAnswer AskYesOr(const QString&, const QString&, TSecondButton second, TAnswer) override {
        return second == TSecondButton::No ? TAnswer::No : TAnswer::Cancel;
    }
    std::optional<QString> OpenFile(const TFileDialogOptions&) override { return {}; }
    std::optional<QString> SaveFile(const TFileDialogOptions&) override { return {}; }
    std::optional<QString> ChooseFolder(const QString&, const QString&) override { return {}; }
    std::optional<QString> InputBox(const QString&, const QString&, const QString&,
                                    const TInputRefusal&) override {
        return {};
    }
    std::optional<QColor> ChooseColor(const QColor&) override { return {}; }
};

} // namespace varnoke::bench
