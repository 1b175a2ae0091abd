#include "platform/Units.h"

#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
#include <cmath>

namespace platform {

namespace {
double twipsPerPixel(bool horizontal) {
    const QScreen* s = QGuiApplication::primaryScreen();
    if (!s) return 15.0;
    const double dpi = horizontal ? s->logicalDotsPerInchX() : s->logicalDotsPerInchY();
    return dpi > 0 ? 1440.0 / dpi : 15.0;
}
} // namespace

double twipsPerPixelX() {
    return twipsPerPixel(true);
}
double twipsPerPixelY() {
    return twipsPerPixel(false);
}
int twipsToPixelsX(int twips) {
    return int(std::lround(twips / twipsPerPixelX()));
}
int twipsToPixelsY(int twips) {
    return int(std::lround(twips / twipsPerPixelY()));
}
int pixelsToTwipsX(int pixels) {
    return int(std::lround(pixels * twipsPerPixelX()));
}
int pixelsToTwipsY(int pixels) {
    return int(std::lround(pixels * twipsPerPixelY()));
}

QColor colorFromBgr(qint64 value) {
    if (value < 0) return QColor();
    if ((value & 0x80000000LL) != 0) {
        const QPalette pal = QGuiApplication::palette();
        switch (value & 0xFF) {
        case 0x05:
            return pal.color(QPalette::Base);
        case 0x08:
            return pal.color(QPalette::Text);
        case 0x0D:
            return pal.color(QPalette::Highlight);
        case 0x0E:
            return pal.color(QPalette::HighlightedText);
        case 0x0F:
            return pal.color(QPalette::Button);
        case 0x10:
            return pal.color(QPalette::Mid);
        case 0x12:
            return pal.color(QPalette::ButtonText);
        case 0x14:
            return pal.color(QPalette::Light);
        case 0x15:
            return pal.color(QPalette::Dark);
        default:
            return pal.color(QPalette::Window);
        }
    }
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

qint64 bgrFromColor(const QColor& c) {
    return qint64(c.red()) | (qint64(c.green()) << 8) | (qint64(c.blue()) << 16);
}

} // namespace platform
