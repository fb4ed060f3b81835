// Tab stops of the editor in characters. The text's structure is carried by
// leading tabs, so the user picks a tab width in characters (2, 4, 8); the
// editor gets 32 stops at multiples of the average width of "M" in its font.
#pragma once

#include "common/Errors.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

namespace varnoke {

class TCustomExtRichEdit;

// A broken precondition of a control, reported like the other errors of a
// command: "Assertion failure (RETabWidth)".
class EAssertionFailed : public EVarnokeError {
  public:
    using EVarnokeError::EVarnokeError;
};

// What the tab width is measured with: the width in pixels of a CP932 byte
// string in the editor's font (empty when it cannot be measured), and the
// device's horizontal pixels per inch.
struct TTabMetrics {
    std::function<std::optional<double>(std::string_view sjisBytes)> TextExtent;
    int PixelsPerInchX = 96;
};

// The editor's own font and device.
TTabMetrics EditorTabMetrics(const TCustomExtRichEdit& editor);

constexpr int kTabStopCount = 32;
using TTabStops = std::array<std::int64_t, kTabStopCount>; // twips

// Average advance of one character in 1/10000 pixel, measured over 512 bytes
// (256 copies of a double-byte code, high byte first); 0 when nothing can be
// measured.
std::int64_t AverageCharWidth(const TTabMetrics& metrics, unsigned code);
// 1/10000 pixel to 1/10000 point at the device's resolution.
std::int64_t PixelsToPoints(const TTabMetrics& metrics, std::int64_t value);
// Throws EAssertionFailed for a negative value.
std::int64_t RoundTabStop(long double value);
// Stop i (1-based) at i tab widths; throws EAssertionFailed for a negative
// width.
TTabStops TabStopsInTwips(int characters, const TTabMetrics& metrics);

// Sets the 32 tab stops of the whole text. The selection stays, the editor
// repaints once and raises Changed exactly once. A negative width throws
// EAssertionFailed before the editor is touched.
void SetTabWidth(TCustomExtRichEdit& editor, int characters);
void SetTabWidth(TCustomExtRichEdit& editor, int characters, const TTabMetrics& metrics);

} // namespace varnoke
