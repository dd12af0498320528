#include "platform/controls/colours.h"

#include <QApplication>
#include <QPalette>

namespace tarvel::platform {

QColor toQColor(std::uint32_t n) {
    if (n & 0x80000000u) {
        const QPalette pal = QApplication::palette();
        switch (n & 0xFFu) {
        case 0x05:
            return pal.color(QPalette::Base); // window background
        case 0x08:
            return pal.color(QPalette::Text); // window text
        case 0x0F:
            return pal.color(QPalette::Button); // button face
        case 0x12:
            return pal.color(QPalette::ButtonText); // button text
        case 0x0D:
            return pal.color(QPalette::Highlight);
        case 0x0E:
            return pal.color(QPalette::HighlightedText);
        case 0x10:
            return pal.color(QPalette::Dark); // button shadow
        case 0x11:
            return pal.color(QPalette::PlaceholderText); // grey text
        case 0x14:
            return pal.color(QPalette::Light); // button highlight
        case 0x18:
            return pal.color(QPalette::ToolTipBase);
        default:
            return pal.color(QPalette::Window);
        }
    }
    return QColor(int(n & 0xFFu), int((n >> 8) & 0xFFu), int((n >> 16) & 0xFFu));
}

std::uint32_t fromQColor(const QColor &c) {
    return rgb(c.red(), c.green(), c.blue());
}

} // namespace tarvel::platform
