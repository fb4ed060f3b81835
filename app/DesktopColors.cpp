#include "app/DesktopColors.h"

#include <QPalette>

namespace varnoke {

namespace {
std::uint32_t ColorValue(const QColor& color) {
    return static_cast<std::uint32_t>(color.red()) |
           static_cast<std::uint32_t>(color.green()) << 8 |
           static_cast<std::uint32_t>(color.blue()) << 16;
}
} // namespace

TSystemColorResolver DesktopSystemColors(const QPalette& palette) {
    return [palette](int index) -> std::uint32_t {
        switch (index) {
        case 1:  // desktop background
        case 15: // button face
            return ColorValue(palette.color(QPalette::Button));
        case 5: // window
            return ColorValue(palette.color(QPalette::Base));
        case 8: // window text
            return ColorValue(palette.color(QPalette::WindowText));
        case 13:
            return ColorValue(palette.color(QPalette::Highlight));
        case 14:
            return ColorValue(palette.color(QPalette::HighlightedText));
        case 16:
            return ColorValue(palette.color(QPalette::Dark));
        case 17:
            return ColorValue(palette.color(QPalette::Disabled, QPalette::Text));
        case 18:
            return ColorValue(palette.color(QPalette::ButtonText));
        case 20:
            return ColorValue(palette.color(QPalette::Light));
        case 23:
            return ColorValue(palette.color(QPalette::ToolTipText));
        case 24:
            return ColorValue(palette.color(QPalette::ToolTipBase));
        default:
            return ClassicSystemColors()(index);
        }
    };
}

} // namespace varnoke
