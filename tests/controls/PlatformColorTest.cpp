#include "controls/PlatformColor.h"

#include <QPalette>
#include <gtest/gtest.h>

using namespace varnoke;

TEST(PlatformColor, SystemColoursFollowTheDesktopPalette) {
    QPalette palette;
    palette.setColor(QPalette::WindowText, QColor(255, 0, 0));
    const TSystemColorResolver desktop = DesktopSystemColors(palette);
    EXPECT_EQ(desktop(8), 0x0000FFu);                  // window text
    EXPECT_EQ(desktop(27), ClassicSystemColors()(27)); // no Qt role: classic
    EXPECT_EQ(QColorOf(ColorWindowText, desktop), QColor(255, 0, 0));
    EXPECT_EQ(PlatformColorOf(QColor(1, 2, 3)), 0x030201);
}
