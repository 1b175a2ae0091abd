#pragma once

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

PresenceLayout calculerDisposition(const PresenceLayoutInput& in);

} // namespace presence
