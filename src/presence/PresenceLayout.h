#pragma once

#include <QMargins>
#include <QRect>

// How the presence board lays itself out for a window size. Pure arithmetic, so that the
// rules (minimum width, day widths, legend columns, height bound) can be checked alone.
namespace presence {

struct PresenceLayoutInput {
    double W = 0;             // window width, twips
    double H = 0;             // window height, twips
    double tx = 15;           // twips per pixel, horizontally
    double ty = 15;           // twips per pixel, vertically
    bool normalState = true;  // neither minimised nor maximised
    int columns = 8;          // board columns
    int lastColumnWidth = 85; // width of the last board column (the weekend keeps it)
    int legendColumns = 0;    // one per presence state
    int pickerWidth = 137;    // date picker width, pixels
    double clientHeight = 0;  // the window's inside, under its title bar, pixels (0: not known)
    int legendHeight = 0;     // pixels
};

struct PresenceLayout {
    // The window is narrower than the board needs: a normal window is given back
    // kMinWidth twips (which lays it out again); in any case the width rules are skipped.
    bool springBack = false;
    bool widthRules = false;
    double gridWidth = 0;       // pixels
    double legendWidth = 0;     // pixels
    int dayWidth = -1;          // employee and Monday to Friday columns; -1 leaves them
    int legendColumnWidth = -1; // -1 leaves the legend's columns alone (no state)
    double pickerLeft = 0;
    double previousLeft = 0;
    double nextLeft = 0;
    bool heightRules = false;
    double gridHeight = 0;
    double legendTop = 0;
};

constexpr double kMinWidth = 11900; // twips
constexpr double kMinHeight = 2400; // twips: at or below it the heights stay
constexpr int kMargeBasse = 4;      // pixels at least between the legend and the window's bottom

PresenceLayout calculerDisposition(const PresenceLayoutInput& in);

// The client area of a window whose frame (title bar and borders) adds `cadre` around it,
// such that the whole frame lies in the screen's available area `dispo`: no larger than
// `client`, never under `minimum`, moved as little as it takes.
QRect geometrieDansEcran(const QRect& client, const QMargins& cadre, const QRect& dispo,
                         const QSize& minimum);

} // namespace presence
