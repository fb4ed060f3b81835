#include "app/preview/HtmlThumbnail.h"

#include "common/Errors.h"
#include "common/FileSystem.h"
#include "common/PathNames.h"
#include "common/ShiftJis.h"

#include <QFont>
#include <QPainter>
#include <QRegularExpression>
#include <QTextDocument>
#include <QTextFrame>
#include <QUrl>

#include <cerrno>

namespace varnoke {

namespace {

// What a browser starts from: 16-pixel text and an 8-pixel page margin.
constexpr double DefaultPointSize = 12.0;
constexpr double PageMargin = 8.0;

QString Utf8(const std::string& sjis) {
    return QString::fromStdString(SjisToUtf8(sjis));
}

// A name written in the page or a sheet (UTF-8 here) as a CP932 path beside
// the page.
TNativePath Beside(const TNativePath& folder, const QString& name) {
    return ResolveAgainst(folder, TNativePath(name.toStdString()));
}

// HTML element names match without regard to case, but Qt's selectors match
// them as written; the style sheets write "P", "H1" and "H2". Class and id
// names after "." and "#" keep their case.
QString TypeSelectorsInLowerCase(const QString& css) {
    QString result;
    result.reserve(css.size());
    bool inBlock = false;
    bool inName = false;
    for (QChar c : css) {
        if (c == QLatin1Char('{'))
            inBlock = true;
        else if (c == QLatin1Char('}'))
            inBlock = false;
        if (!inBlock) {
            if (c == QLatin1Char('.') || c == QLatin1Char('#'))
                inName = true;
            else if (!c.isLetterOrNumber() && c != QLatin1Char('-') && c != QLatin1Char('_'))
                inName = false;
            if (!inName && c.unicode() < 128)
                c = c.toLower();
        }
        result += c;
    }
    return result;
}

// A file the page refers to (a sheet, the style's background picture, which
// the author names), or nothing when it is missing or no regular file: a
// picture that is a pipe must not hold up the window waiting for a writer.
std::string ReadIfFile(const TNativePath& fileName) {
    std::string bytes;
    try {
        ReadWholeFile(fileName, bytes);
    } catch (const EFOpenError&) {
        bytes.clear();
    }
    return bytes;
}

QImage PictureIfFile(const TNativePath& fileName) {
    const std::string bytes = ReadIfFile(fileName);
    return QImage::fromData(
        QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

// The linked style sheets, in page order, as one text. A sheet that does
// not exist is skipped, as a browser shows the page unstyled then.
QString LinkedStyleSheets(const QString& html, const TNativePath& folder) {
    static const QRegularExpression link(QStringLiteral("<link\\b[^>]*>"),
                                         QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression rel(QStringLiteral("\\brel\\s*=\\s*\"?stylesheet"),
                                        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression href(QStringLiteral("\\bhref\\s*=\\s*\"([^\"]*)\""),
                                         QRegularExpression::CaseInsensitiveOption);
    QString sheets;
    for (auto it = link.globalMatch(html); it.hasNext();) {
        const QString tag = it.next().captured(0);
        const QRegularExpressionMatch target = href.match(tag);
        if (!rel.match(tag).hasMatch() || !target.hasMatch())
            continue;
        const std::string bytes = ReadIfFile(Beside(folder, target.captured(1)));
        if (!bytes.empty())
            sheets += TypeSelectorsInLowerCase(Utf8(bytes)) + QLatin1Char('\n');
    }
    return sheets;
}

// The declarations of the page's "body" rule.
QString BodyRule(const QString& css) {
    static const QRegularExpression body(QStringLiteral("(^|[\\s},])body\\s*\\{([^}]*)\\}"),
                                         QRegularExpression::CaseInsensitiveOption);
    QString declarations;
    for (auto it = body.globalMatch(css); it.hasNext();)
        declarations += it.next().captured(2) + QLatin1Char(';');
    return declarations;
}

QColor BodyColor(const QString& body) {
    static const QRegularExpression color(
        QStringLiteral("background-color\\s*:\\s*(#[0-9a-f]{6}|#[0-9a-f]{3}|[a-z]+)"),
        QRegularExpression::CaseInsensitiveOption);
    QColor result(Qt::white);
    for (auto it = color.globalMatch(body); it.hasNext();) {
        const QColor candidate = QColor::fromString(it.next().captured(1));
        if (candidate.isValid())
            result = candidate;
    }
    return result;
}

QImage BodyImage(const QString& body, const TNativePath& folder) {
    static const QRegularExpression image(
        QStringLiteral("background-image\\s*:\\s*url\\(\\s*\"?([^\")]*)\"?\\s*\\)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = image.match(body);
    if (!match.hasMatch() || match.captured(1).trimmed().isEmpty())
        return QImage();
    return PictureIfFile(Beside(folder, match.captured(1).trimmed()));
}

// Resolves what the page refers to from the local folder only: the sheets
// are already applied as the default sheet (decoded from CP932, which Qt's
// own loading would not do), and nothing is ever fetched from a network.
class TLocalPage : public QTextDocument {
  public:
    explicit TLocalPage(TNativePath folder) : folder_(std::move(folder)) {}

  protected:
    QVariant loadResource(int type, const QUrl& name) override {
        if (type == QTextDocument::StyleSheetResource)
            return QString();
        if (type == QTextDocument::ImageResource && (name.isLocalFile() || name.isRelative())) {
            const QString path = name.isLocalFile() ? name.toLocalFile() : name.toString();
            const QImage picture = PictureIfFile(Beside(folder_, path));
            if (!picture.isNull())
                return picture;
        }
        return QVariant();
    }

  private:
    TNativePath folder_;
};

} // namespace

bool ExtractHtmlThumbnail(const TNativePath& fileName, QImage& image, std::uint32_t) {
    std::string page;
    if (!ReadWholeFile(fileName, page))
        throw EFOpenError(fileName, SystemErrorReason(ENOENT));
    if (image.isNull())
        return true;

    const TNativePath folder = FolderOf(fileName);
    const QString html = Utf8(page);
    const QString css = LinkedStyleSheets(html, folder);
    const QString body = BodyRule(css);

    TLocalPage document(folder);
    QFont font = document.defaultFont();
    font.setPointSizeF(DefaultPointSize);
    document.setDefaultFont(font);
    document.setDocumentMargin(PageMargin);
    document.setDefaultStyleSheet(css);
    document.setHtml(html);
    // The page background is painted below over the whole image; the root
    // frame's own would cover a background picture.
    QTextFrameFormat root = document.rootFrame()->frameFormat();
    root.clearBackground();
    document.rootFrame()->setFrameFormat(root);
    document.setTextWidth(image.width());

    image.fill(BodyColor(body));
    QPainter painter(&image);
    const QImage picture = BodyImage(body, folder);
    if (!picture.isNull())
        painter.fillRect(image.rect(), QBrush(picture));
    painter.setRenderHint(QPainter::TextAntialiasing);
    document.drawContents(&painter, QRectF(image.rect()));
    return true;
}

} // namespace varnoke
