#include "app/styles/ReadyStyles.h"

#include "common/IniDocument.h"
#include "css/CSSPropertyClass.h"
#include "projectdata/ProjectData.h"

#include <QFile>

#include <algorithm>

namespace varnoke {

void ChooseFittingStyles(TProjectData& project, const TCSSPropertyClass& styles) {
    const auto fitting = [&](const char* name) { return std::max(0, styles.IndexOf(name)); };
    project.StyleTitle = fitting("BANNER");
    project.StyleMenu = fitting("INDEX");
    project.StyleText = fitting("PAPER");
}

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
