#include "controls/RETabWidth.h"

#include "controls/ExtMemo.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QSignalSpy>
#include <QTest>
#include <QTextOption>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace varnoke;

namespace {

// A font in which every byte is 10 pixels wide, on a 96 dpi device.
TTabMetrics TenPixelBytes() {
    TTabMetrics metrics;
    metrics.TextExtent = [](std::string_view bytes) -> std::optional<double> {
        return 10.0 * static_cast<double>(bytes.size());
    };
    metrics.PixelsPerInchX = 96;
    return metrics;
}

std::vector<qreal> TabPositions(const TExtRichEdit& editor) {
    std::vector<qreal> positions;
    for (const QTextOption::Tab& tab : editor.document()->defaultTextOption().tabs())
        positions.push_back(tab.position);
    return positions;
}

class RETabWidthTest : public ::testing::Test {
  protected:
};

TEST_F(RETabWidthTest, StopsFromTheWidthOfM) {
    const TTabMetrics metrics = TenPixelBytes();
    EXPECT_EQ(AverageCharWidth(metrics, 'M'), 100000);
    EXPECT_EQ(PixelsToPoints(metrics, 100000), 75000);
    const TTabStops two = TabStopsInTwips(2, metrics);
    const TTabStops four = TabStopsInTwips(4, metrics);
    const TTabStops zero = TabStopsInTwips(0, metrics);
    for (int i = 1; i <= kTabStopCount; ++i) {
        EXPECT_EQ(two[i - 1], 300 * i);
        EXPECT_EQ(four[i - 1], 600 * i);
        EXPECT_EQ(zero[i - 1], 0);
    }
    EXPECT_EQ(two.back(), 9600);
    EXPECT_EQ(four.back(), 19200);
}

TEST_F(RETabWidthTest, MeasurementDetails) {
    std::vector<std::string> measured;
    TTabMetrics metrics;
    metrics.TextExtent = [&](std::string_view bytes) -> std::optional<double> {
        measured.emplace_back(bytes);
        if (bytes.size() > 100)
            return std::nullopt; // the font refuses long strings
        return 20.0 * static_cast<double>(bytes.size());
    };
    // A double-byte code fills the buffer high byte first and counts
    // characters, not bytes.
    EXPECT_EQ(AverageCharWidth(metrics, 0x8250), 400000);
    EXPECT_EQ(measured.front().substr(0, 4), "\x82\x50\x82\x50");
    EXPECT_EQ(measured.front().size(), 512u);
    EXPECT_EQ(measured.back().size(), 100u);

    metrics.TextExtent = [](std::string_view) -> std::optional<double> { return std::nullopt; };
    EXPECT_EQ(AverageCharWidth(metrics, 'M'), 0);
    EXPECT_EQ(TabStopsInTwips(8, metrics), TTabStops{});

    // Pixels to points rounds halves to the even neighbour.
    const TTabMetrics tenPixels = TenPixelBytes();
    EXPECT_EQ(PixelsToPoints(tenPixels, 6), 4);   // 4.5
    EXPECT_EQ(PixelsToPoints(tenPixels, 18), 14); // 13.5
    metrics.PixelsPerInchX = 0;
    EXPECT_EQ(PixelsToPoints(metrics, 100000), 0);

    // A tab stop rounds halves up.
    EXPECT_EQ(RoundTabStop(2.5L), 3);
    EXPECT_EQ(RoundTabStop(0.49L), 0);
    EXPECT_EQ(RoundTabStop(0.0L), 0);
    try {
        RoundTabStop(-0.25L);
        ADD_FAILURE() << "a negative stop was taken";
    } catch (const EAssertionFailed& error) {
        EXPECT_EQ(std::string(error.what()), "Assertion failure (RETabWidth)");
    }
}

TEST_F(RETabWidthTest, SetTabWidthKeepsSelectionAndChangesOnce) {
    TExtRichEdit editor;
    editor.setPlainText("\tone\n\t\ttwo\nthree");
    QTextCursor cursor = editor.textCursor();
    cursor.setPosition(9);
    cursor.setPosition(3, QTextCursor::KeepAnchor);
    editor.setTextCursor(cursor);
    QSignalSpy changes(&editor, &TCustomExtRichEdit::Changed);

    SetTabWidth(editor, 2, TenPixelBytes());
    std::vector<qreal> positions = TabPositions(editor);
    ASSERT_EQ(positions.size(), 32u);
    EXPECT_DOUBLE_EQ(positions[0], 20.0); // 300 twips at 96 dpi
    EXPECT_DOUBLE_EQ(positions[31], 640.0);
    EXPECT_EQ(editor.textCursor().anchor(), 9);
    EXPECT_EQ(editor.textCursor().position(), 3);
    EXPECT_EQ(changes.count(), 1);

    SetTabWidth(editor, 2, TenPixelBytes()); // unchanged width: still one change
    EXPECT_EQ(changes.count(), 2);
    SetTabWidth(editor, 0, TenPixelBytes());
    EXPECT_EQ(TabPositions(editor), std::vector<qreal>(32, 0.0));
    EXPECT_EQ(changes.count(), 3);

    SetTabWidth(editor, 4, TenPixelBytes());
    EXPECT_THROW(SetTabWidth(editor, -1, TenPixelBytes()), EAssertionFailed);
    EXPECT_DOUBLE_EQ(TabPositions(editor)[0], 40.0);
    EXPECT_EQ(editor.textCursor().anchor(), 9);
    EXPECT_EQ(editor.textCursor().position(), 3);
    EXPECT_EQ(changes.count(), 4);
    EXPECT_TRUE(editor.viewport()->updatesEnabled());
}

TEST_F(RETabWidthTest, TextIsLaidOutAtTheStops) {
    TExtRichEdit editor;
    editor.setLineWrapMode(QPlainTextEdit::NoWrap);
    editor.setPlainText("\tA\n\t\tB\nC");
    editor.resize(400, 200);
    editor.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor));
    const auto xAt = [&](int position) {
        QTextCursor cursor(editor.document());
        cursor.setPosition(position);
        return editor.cursorRect(cursor).x();
    };
    SetTabWidth(editor, 2, TenPixelBytes());
    EXPECT_EQ(xAt(1) - xAt(0), 20);
    EXPECT_EQ(xAt(5) - xAt(3), 40);

    // A width of 0 puts every stop at 0: tabs take no room, rather than
    // keeping the pitch of the width before.
    SetTabWidth(editor, 0, TenPixelBytes());
    EXPECT_LE(xAt(1) - xAt(0), 1);
    EXPECT_LE(xAt(5) - xAt(3), 1);

    // With the editor's own font a tab is as wide as that many "M".
    SetTabWidth(editor, 4);
    const qreal m =
        QFontMetricsF(editor.font(), &editor).horizontalAdvance(QString(512, 'M')) / 512;
    EXPECT_NEAR(TabPositions(editor)[0], 4 * m, 0.1);
    EXPECT_NEAR(xAt(1) - xAt(0), 4 * m, 1.0);
}

} // namespace
