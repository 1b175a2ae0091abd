#include "presence/PresenceLayout.h"

#include <algorithm>
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
        // The margins above were measured on a frame of some 30 pixels; under a taller title
        // bar they would put the legend's bottom under the window's: both go up together.
        const double depasse = out.legendTop + in.legendHeight + kMargeBasse - in.clientHeight;
        if (in.clientHeight > 0 && depasse > 0) {
            out.gridHeight -= depasse;
            out.legendTop -= depasse;
        }
    }
    return out;
}

QRect geometrieDansEcran(const QRect& client, const QMargins& cadre, const QRect& dispo,
                         const QSize& minimum) {
    const int largeurCadre = cadre.left() + cadre.right(), hauteurCadre = cadre.top() + cadre.bottom();
    const int w = std::max(std::min(client.width(), dispo.width() - largeurCadre), minimum.width());
    const int h = std::max(std::min(client.height(), dispo.height() - hauteurCadre), minimum.height());
    // The frame's corner, kept inside; a frame larger than the area keeps its top left in it.
    const int x =
        std::max(std::min(client.x() - cadre.left(), dispo.right() + 1 - (w + largeurCadre)), dispo.left());
    const int y =
        std::max(std::min(client.y() - cadre.top(), dispo.bottom() + 1 - (h + hauteurCadre)), dispo.top());
    return QRect(x + cadre.left(), y + cadre.top(), w, h);
}

} // namespace presence
