#include "controls/ShownText.h"

#include "common/ShiftJis.h"

#include <QRegularExpression>

namespace varnoke {

QString ShownText(const std::string& sjis) {
    const QString text = QString::fromStdString(SjisToUtf8(sjis));
    if (!text.contains(QLatin1String("&#")))
        return text;
    static const QRegularExpression reference(QStringLiteral("&#([0-9]{1,7});"));
    QString shown;
    qsizetype done = 0;
    for (QRegularExpressionMatchIterator it = reference.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const uint codePoint = match.captured(1).toUInt();
        shown += text.mid(done, match.capturedStart() - done);
        const bool character =
            codePoint > 0 && codePoint <= 0x10FFFF && !(codePoint >= 0xD800 && codePoint <= 0xDFFF);
        if (character) {
            const char32_t c = codePoint;
            shown += QString::fromUcs4(&c, 1);
        } else {
            shown += match.captured(0);
        }
        done = match.capturedEnd();
    }
    return shown + text.mid(done);
}

} // namespace varnoke
