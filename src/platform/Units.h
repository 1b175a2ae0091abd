#pragma once

#include <QColor>

class QWidget;

// Windows measures windows in twips and colours as BGR integers; the program keeps
// those units where they are stored or exchanged and converts here.
namespace platform {

// Twips per pixel of the primary screen (15 at 96 dpi).
double twipsPerPixelX();
double twipsPerPixelY();
int twipsToPixelsX(int twips);
int twipsToPixelsY(int twips);
int pixelsToTwipsX(int pixels);
int pixelsToTwipsY(int pixels);

// Windows colour value (0x00BBGGRR, or 0x800000nn for a system colour) to QColor.
QColor colorFromBgr(qint64 value);
// QColor to the 0x00BBGGRR value stored in the database.
qint64 bgrFromColor(const QColor& color);

// The system colours the program names.
constexpr qint64 kSysButtonShadow = 0x80000010; // grid lines
constexpr qint64 kSysButtonFace = 0x8000000F;   // button background
constexpr qint64 kSysWindow = 0x80000005;
constexpr qint64 kSysWindowText = 0x80000008;
constexpr qint64 kSysHighlight = 0x8000000D;
constexpr qint64 kSysHighlightText = 0x8000000E;

} // namespace platform
