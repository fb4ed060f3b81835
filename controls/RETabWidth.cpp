#include "controls/RETabWidth.h"

#include "common/ShiftJis.h"
#include "controls/ExtMemo.h"

#include <QFontMetricsF>
#include <QList>
#include <QTextDocument>
#include <QTextOption>

#include <algorithm>
#include <cmath>
#include <string>

namespace varnoke {

namespace {

constexpr int kMeasureBytes = 512;
// Qt lays text out in 1/64 pixel.
constexpr qreal SmallestTabDistance = 1.0 / 64;

std::int64_t RoundHalfEven(double value) {
    return static_cast<std::int64_t>(std::nearbyint(value));
}

} // namespace

TTabMetrics EditorTabMetrics(const TCustomExtRichEdit& editor) {
    TTabMetrics metrics;
    const QFontMetricsF fontMetrics(editor.font(), &editor);
    metrics.TextExtent = [fontMetrics](std::string_view sjisBytes) -> std::optional<double> {
        const std::string utf8 = SjisToUtf8(sjisBytes);
        return fontMetrics.horizontalAdvance(
            QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
    };
    metrics.PixelsPerInchX = editor.logicalDpiX();
    return metrics;
}

std::int64_t AverageCharWidth(const TTabMetrics& metrics, unsigned code) {
    const bool doubleByte = code > 0xFF;
    std::string buffer(kMeasureBytes, static_cast<char>(code & 0xFF));
    if (doubleByte) {
        for (int i = 0; i < kMeasureBytes; i += 2)
            buffer[static_cast<size_t>(i)] = static_cast<char>((code >> 8) & 0xFF);
    }
    if (!metrics.TextExtent)
        return 0;
    // A font may refuse a long string; the longest that measures counts.
    for (int bytes = kMeasureBytes; bytes >= 2; bytes -= 2) {
        const std::optional<double> extent =
            metrics.TextExtent(std::string_view(buffer).substr(0, static_cast<size_t>(bytes)));
        if (!extent)
            continue;
        const int characters = doubleByte ? bytes / 2 : bytes;
        return RoundHalfEven(*extent / characters * 10000.0);
    }
    return 0;
}

std::int64_t PixelsToPoints(const TTabMetrics& metrics, std::int64_t value) {
    // A device that reports no resolution cannot be measured: no width.
    if (metrics.PixelsPerInchX <= 0)
        return 0;
    return RoundHalfEven(static_cast<double>(value) / metrics.PixelsPerInchX * 72.0);
}

std::int64_t RoundTabStop(long double value) {
    if (!(value >= 0))
        throw EAssertionFailed("Assertion failure (RETabWidth)");
    return static_cast<std::int64_t>(value + 0.5L);
}

TTabStops TabStopsInTwips(int characters, const TTabMetrics& metrics) {
    const std::int64_t width = AverageCharWidth(metrics, 'M');
    const std::int64_t points = PixelsToPoints(metrics, width);
    TTabStops stops{};
    for (int i = 1; i <= kTabStopCount; ++i) {
        const long double twips = static_cast<long double>(characters) * points * i * 20 / 10000;
        stops[static_cast<size_t>(i) - 1] = RoundTabStop(twips);
    }
    return stops;
}

void SetTabWidth(TCustomExtRichEdit& editor, int characters) {
    SetTabWidth(editor, characters, EditorTabMetrics(editor));
}

void SetTabWidth(TCustomExtRichEdit& editor, int characters, const TTabMetrics& metrics) {
    const TTabStops stops = TabStopsInTwips(characters, metrics);

    // Qt lays out a plain text edit with the document's text option, so the
    // stops go there, back in pixels of the device they were measured on.
    const double pixelsPerTwip = metrics.PixelsPerInchX > 0 ? metrics.PixelsPerInchX / 1440.0 : 0.0;
    QList<QTextOption::Tab> tabs;
    tabs.reserve(kTabStopCount);
    for (std::int64_t stop : stops)
        tabs.append(
            QTextOption::Tab(static_cast<qreal>(stop) * pixelsPerTwip, QTextOption::LeftTab));

    QTextDocument* document = editor.document();
    QTextOption option = document->defaultTextOption();
    option.setTabs(tabs);
    // Tabs past the 32nd keep the same pitch. Stops at 0 (a width of 0, or a
    // font that cannot be measured) give tabs no width at all; a distance of
    // 0 would mean Qt's default of 80 pixels, so the smallest one it keeps
    // stands in for it.
    option.setTabStopDistance(std::max(tabs.front().position, SmallestTabDistance));

    // The selection is left alone, so it is kept as it was; the update's end
    // repaints once and raises the one change event the window rebuilds on.
    editor.BeginUpdate();
    document->setDefaultTextOption(option);
    editor.EndUpdate();
}

} // namespace varnoke
