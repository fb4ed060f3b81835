#include "app/styles/StyleImport.h"

#include "app/dialogs/Dialogs.h"
#include "app/styles/StylePageHost.h"
#include "common/FileSystem.h"
#include "css/StyleMerge.h"
#include "sysdata/SystemData.h"

#include <QFileInfo>

namespace varnoke {

namespace {
const TFileDialogOptions ImportDialog{QStringLiteral("スタイルを取り込む"),
                                      QStringLiteral("設定ファイル (*.INI *.ini);;全てのﾌｧｲﾙ (*)"),
                                      QStringLiteral("INI"),
                                      {}};
} // namespace

void ImportStyles(TStylePageHost& host, const QString& initialPath) {
    TFileDialogOptions options = ImportDialog;
    options.InitialPath = initialPath;
    options.Hidden = {
        QFileInfo(QString::fromStdString(host.StyleFile().Name())).absoluteFilePath()};
    const std::optional<QString> chosen = host.Dialogs().OpenFile(options);
    if (!chosen)
        return;
    TCSSPropertyClass incoming;
    // The file is only read, never named in the model: any name will do.
    incoming.LoadFromFile(TNativePath(chosen->toStdString()));
    TSystemData& settings = host.SystemData();
    const TStyleMergeResult result = AppendStyles(settings.Styles, incoming);
    if (result.Skipped > 0)
        host.Dialogs().ShowWarning(
            QStringLiteral("名前に使えない文字を含む %1 個のスタイルは取り込みませんでした.")
                .arg(result.Skipped));
    if (result.Appended == 0) {
        if (result.Skipped == 0)
            host.Dialogs().ShowWarning(QStringLiteral("取り込めるスタイルがありません."));
        return;
    }
    settings.StyleIndex = result.First;
    host.SetRefreshPending();
    host.RefreshAll();
    if (settings.AutoSaveFlag)
        settings.Styles.SaveToFile(host.StyleFile());
}

} // namespace varnoke
