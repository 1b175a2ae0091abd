#include "presence/PresenceLayout.h"

#include <cfenv>
#include <cmath>

namespace presence {

PresenceLayout calculerDisposition(const PresenceLayoutInput& in) {
    PresenceLayout out;
    if (in.W < kMinWidth) {
        out.springBack = in.normalState;
    } else {
        out.widthRules = true;
        out.gridWidth = (in.W - 150) / in.tx;
        out.legendWidth = (in.W - 390) / in.tx;
        // The weekend keeps its narrow columns; the others share the rest (23 pixels go to
        // the scroll bar and the frame). Halves round to even, as the board always did.
        if (in.columns > 2) {
            const double d = (out.gridWidth - 2.0 * in.lastColumnWidth - 23) / (in.columns - 2);
            const int saved = std::fegetround();
            std::fesetround(FE_TONEAREST);
            out.dayWidth = int(std::nearbyint(d));
            std::fesetround(saved);
        }
        // Without any state the legend has no column to share its width among.
        if (in.legendColumns > 0) out.legendColumnWidth = int((out.legendWidth - 4) / in.legendColumns);
        out.pickerLeft = (in.W / in.tx) / 2 - in.pickerWidth / 2.0;
        out.previousLeft = out.pickerLeft - 56;
        out.nextLeft = out.pickerLeft + 144;
    }
    if (in.H > kMinHeight) {
        out.heightRules = true;
        out.gridHeight = (in.H - 2400) / in.ty;
        out.legendTop = (in.H - 1035) / in.ty;
    }
    return out;
}

} // namespace presence
