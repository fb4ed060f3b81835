#include "controls/PlatformColor.h"

#include <QPalette>

#include <iterator>

namespace varnoke {

std::int32_t PlatformColorOf(const QColor& color) {
    return color.red() | color.green() << 8 | color.blue() << 16;
}

QColor QColorOf(std::int32_t color, const TSystemColorResolver& resolver) {
    auto value = static_cast<std::uint32_t>(color);
    if (color < 0) {
        const int index = static_cast<int>(value & 0xFF);
        value = resolver ? resolver(index) : ClassicSystemColors()(index);
    }
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                  static_cast<int>((value >> 16) & 0xFF));
}

TSystemColorResolver DesktopSystemColors(const QPalette& palette) {
    return [palette](int index) -> std::uint32_t {
        const auto of = [&palette](QPalette::ColorGroup group, QPalette::ColorRole role) {
            return static_cast<std::uint32_t>(PlatformColorOf(palette.color(group, role)));
        };
        const auto active = [&of](QPalette::ColorRole role) { return of(QPalette::Active, role); };
        switch (index) {
        case 1:  // desktop
        case 4:  // menu
        case 15: // button face
            return active(QPalette::Button);
        case 5: // window
            return active(QPalette::Base);
        case 7:  // menu text
        case 9:  // caption text
        case 18: // button text
            return active(QPalette::ButtonText);
        case 8: // window text
            return active(QPalette::WindowText);
        case 13:
            return active(QPalette::Highlight);
        case 14:
            return active(QPalette::HighlightedText);
        case 16:
            return active(QPalette::Dark);
        case 17: // grey text
            return of(QPalette::Disabled, QPalette::Text);
        case 20:
            return active(QPalette::Light);
        case 21:
            return active(QPalette::Shadow);
        case 22:
            return active(QPalette::Midlight);
        case 23:
            return active(QPalette::ToolTipText);
        case 24:
            return active(QPalette::ToolTipBase);
        case 26:
            return active(QPalette::Link);
        default:
            return ClassicSystemColors()(index);
        }
    };
}

QString SystemColorName(int index) {
    static const char* const names[] = {
        "スクロールバー",
        "デスクトップ",
        "アクティブなタイトルバー",
        "非アクティブなタイトルバー",
        "メニュー",
        "ウィンドウの背景",
        "ウィンドウの枠",
        "メニューの文字",
        "ウィンドウの文字",
        "タイトルバーの文字",
        "アクティブな境界",
        "非アクティブな境界",
        "アプリケーションの背景",
        "選択項目の背景",
        "選択項目の文字",
        "ボタンの表面",
        "ボタンの影",
        "淡色の文字",
        "ボタンの文字",
        "非アクティブなタイトルバーの文字",
        "ボタンのハイライト",
        "立体の濃い影",
        "立体の明るい面",
        "ヒントの文字",
        "ヒントの背景",
        nullptr,
        "ホットトラック",
        "アクティブなタイトルバーのグラデーション",
        "非アクティブなタイトルバーのグラデーション",
        "メニューの強調表示",
        "メニューバー",
    };
    if (index >= 0 && index < static_cast<int>(std::size(names)) && names[index] != nullptr)
        return QString::fromUtf8(names[index]);
    return QStringLiteral("システムカラー %1").arg(index);
}

} // namespace varnoke
