// The presence board's layout: it follows the window's size with fixed margins, in
// twips as the window measures itself, turned into pixels by the screen's factors.

#include "presence/PresenceLayout.h"
#include "presence/frmPresence.h"

#include "platform/Grid.h"
#include "platform/Units.h"

#include <QDateEdit>
#include <QLabel>
#include <QToolButton>
#include <cmath>

namespace presence {

void frmPresence::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
    tenirDansEcran();
}

void frmPresence::Form_Resize() {
    const double tx = platform::twipsPerPixelX();
    const double ty = platform::twipsPerPixelY();
    // The window's outer size, as the margins below were measured on it; the frame is
    // the extra the window system adds around the client area (none when undecorated).
    const QRect frame = frameGeometry();
    const int frameExtraW = std::max(0, frame.width() - width());
    const int frameExtraH = std::max(0, frame.height() - height());

    PresenceLayoutInput in;
    in.W = (width() + frameExtraW) * tx;
    in.H = (height() + frameExtraH) * ty;
    in.tx = tx;
    in.ty = ty;
    in.normalState = !(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
    in.columns = SGrid->Columns();
    in.lastColumnWidth = SGrid->ColumnWidth(SGrid->Columns());
    in.legendColumns = SGridEtat->Columns();
    in.pickerWidth = DTPicker->width();
    in.clientHeight = height();
    in.legendHeight = SGridEtat->height();
    const PresenceLayout out = calculerDisposition(in);

    if (out.springBack) {
        // Back to the narrowest width the board is readable at, rounded up so that the
        // new width is not under it again; that resize lays the window out.
        resize(int(std::ceil(kMinWidth / tx)) - frameExtraW, height());
    }
    if (out.widthRules) {
        SGrid->resize(int(std::lround(out.gridWidth)), SGrid->height());
        SGridEtat->resize(int(std::lround(out.legendWidth)), SGridEtat->height());
        if (out.dayWidth >= 0) {
            for (int c = 1; c <= SGrid->Columns() - 2; ++c)
                SGrid->setColumnWidth(c, out.dayWidth);
        }
        DisposerEntetes();
        if (out.legendColumnWidth >= 0) {
            for (int c = 1; c <= SGridEtat->Columns(); ++c)
                SGridEtat->setColumnWidth(c, out.legendColumnWidth);
        }
        DTPicker->move(int(std::lround(out.pickerLeft)), DTPicker->y());
        cmdPrecedent->move(int(std::lround(out.previousLeft)), cmdPrecedent->y());
        cmdSuivant->move(int(std::lround(out.nextLeft)), cmdSuivant->y());
    }
    if (out.heightRules) {
        SGrid->resize(SGrid->width(), int(std::lround(out.gridHeight)));
        SGridEtat->move(SGridEtat->x(), int(std::lround(out.legendTop)));
    }
}

// The headers follow the board's columns: each day's date label sits inside its header.
void frmPresence::DisposerEntetes() {
    for (int i = 1; i <= SGrid->Columns() && i <= 8; ++i) {
        QLabel* entete = lblEntete[i - 1];
        entete->resize(SGrid->ColumnWidth(i), entete->height());
        if (i >= 2) {
            QLabel* avant = lblEntete[i - 2];
            entete->move(avant->x() + avant->width(), entete->y());
            QLabel* date = lblDate[i - 2];
            date->setGeometry(entete->x() + 8, date->y(), entete->width() - 11, date->height());
        }
    }
}

} // namespace presence
