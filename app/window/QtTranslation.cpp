#include "app/window/QtTranslation.h"

#include <QCoreApplication>
#include <QTranslator>

namespace varnoke {

QTranslator* InstallQtJapanese(const QString& folder) {
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QStringLiteral("qtbase_ja"), folder)) {
        delete translator;
        return nullptr;
    }
    QCoreApplication::installTranslator(translator);
    return translator;
}

} // namespace varnoke
