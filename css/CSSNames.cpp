#include "css/CSSNames.h"

namespace varnoke {

namespace {

constexpr std::uint32_t Rgb(std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
    return red | (green << 8) | (blue << 16);
}

// COLOR_SCROLLBAR (0) to COLOR_MENUBAR (30) of the classic scheme.
constexpr std::array<std::uint32_t, 31> ClassicColors = {
    Rgb(192, 192, 192), // 0 scroll bar
    Rgb(0, 128, 128),   // 1 desktop
    Rgb(0, 0, 128),     // 2 active caption
    Rgb(128, 128, 128), // 3 inactive caption
    Rgb(192, 192, 192), // 4 menu
    Rgb(255, 255, 255), // 5 window
    Rgb(0, 0, 0),       // 6 window frame
    Rgb(0, 0, 0),       // 7 menu text
    Rgb(0, 0, 0),       // 8 window text
    Rgb(255, 255, 255), // 9 caption text
    Rgb(192, 192, 192), // 10 active border
    Rgb(192, 192, 192), // 11 inactive border
    Rgb(128, 128, 128), // 12 application workspace
    Rgb(0, 0, 128),     // 13 highlight
    Rgb(255, 255, 255), // 14 highlight text
    Rgb(192, 192, 192), // 15 button face
    Rgb(128, 128, 128), // 16 button shadow
    Rgb(128, 128, 128), // 17 grey text
    Rgb(0, 0, 0),       // 18 button text
    Rgb(192, 192, 192), // 19 inactive caption text
    Rgb(255, 255, 255), // 20 button highlight
    Rgb(0, 0, 0),       // 21 3D dark shadow
    Rgb(223, 223, 223), // 22 3D light
    Rgb(0, 0, 0),       // 23 tool tip text
    Rgb(255, 255, 225), // 24 tool tip background
    Rgb(180, 180, 180), // 25 unused
    Rgb(0, 0, 255),     // 26 hot-track item
    Rgb(16, 132, 208),  // 27 active caption gradient
    Rgb(181, 181, 181), // 28 inactive caption gradient
    Rgb(0, 0, 128),     // 29 menu highlight
    Rgb(192, 192, 192), // 30 menu bar
};

} // namespace

const TSystemColorResolver& ClassicSystemColors() {
    static const TSystemColorResolver resolver = [](int index) -> std::uint32_t {
        if (index < 0 || static_cast<std::size_t>(index) >= ClassicColors.size())
            return 0;
        return ClassicColors[static_cast<std::size_t>(index)];
    };
    return resolver;
}

std::string ColorToCSSHex(std::int32_t color, const TSystemColorResolver& resolver) {
    std::uint32_t value = static_cast<std::uint32_t>(color);
    if (color < 0) {
        const int index = static_cast<int>(value & 0xFF);
        value = resolver ? resolver(index) : ClassicSystemColors()(index);
    }
    const std::uint32_t rgb = ((value & 0xFF) << 16) | (value & 0xFF00) | ((value >> 16) & 0xFF);
    static constexpr char Digits[] = "0123456789abcdef";
    std::string hex(6, '0');
    for (int i = 5, shift = 0; i >= 0; --i, shift += 4)
        hex[static_cast<std::size_t>(i)] = Digits[(rgb >> shift) & 0xF];
    return hex;
}

} // namespace varnoke
