// Qt's own words in the window (the file dialogs' "Look in" and "Save", the
// input box's buttons, the open dialog's title) in Japanese like every
// other word of it, whatever the user's locale. The translations come with
// Qt (Debian: qt6-translations-l10n); the message boxes the window builds
// itself name their buttons on their own.
#pragma once

#include <QLibraryInfo>
#include <QString>

class QTranslator;

namespace varnoke {

// Installs Qt's Japanese translation ("qtbase_ja") from the folder into the
// application and returns it (owned by the application; deleting it
// uninstalls it). Without the file it returns nullptr: the dialogs then
// stay in English, which is no reason not to start.
QTranslator*
InstallQtJapanese(const QString& folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath));

} // namespace varnoke
