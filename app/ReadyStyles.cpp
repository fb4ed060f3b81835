#include "app/ReadyStyles.h"

#include "common/IniDocument.h"
#include "css/CSSPropertyClass.h"

#include <QFile>

namespace varnoke {

void LoadReadyStyles(TCSSPropertyClass& styles) {
    QFile file(QStringLiteral(":/ready-styles.INI"));
    if (!file.open(QIODevice::ReadOnly))
        return; // a program built without them starts without styles, as before
    const QByteArray bytes = file.readAll();
    TIniDocument ini;
    ini.LoadFromBytes(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
    styles.LoadFromIni(ini);
}

} // namespace varnoke
