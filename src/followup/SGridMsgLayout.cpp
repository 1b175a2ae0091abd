// The control's children and where they sit. Positions are kept in twips, as the
// control was drawn, and turned into pixels with the screen's factor.
#include "followup/SGridMsg.h"

#include "platform/Grid.h"
#include "platform/RtfEdit.h"
#include "platform/Units.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTextDocument>

using platform::twipsToPixelsX;
using platform::twipsToPixelsY;

namespace {

// Designed size of the control, twips.
constexpr int kDesignWidth = 11550;
constexpr int kDesignHeight = 7710;

// One control of the bar as drawn, twips; a height of -1 takes the control's own.
struct Poste {
    QWidget* w;
    int left, top, width, height;
};

// Texts and date fields take at least what the font needs; combos, buttons and the
// number box keep the width they were drawn with.
bool suitSonTexte(const QWidget* w) {
    return qobject_cast<const QLabel*>(w) || qobject_cast<const QCheckBox*>(w) ||
           qobject_cast<const QDateEdit*>(w);
}

// Lays one row of the bar out, left to right. The sizes drawn are a minimum: a control
// whose text needs more grows, taller around its middle, and pushes the controls after
// it right by as much, so the gaps between them stay as drawn, and never under 3 pixels.
void poserRangee(std::initializer_list<Poste> rangee) {
    int decalage = 0;
    int fin = 0;
    for (const Poste& p : rangee) {
        const QSize voulu = p.w->sizeHint();
        const int largeur = twipsToPixelsX(p.width);
        const int w = suitSonTexte(p.w) ? std::max(largeur, voulu.width()) : largeur;
        const int hDessin = p.height < 0 ? voulu.height() : twipsToPixelsY(p.height);
        const int h = std::max(hDessin, voulu.height());
        const int y = std::max(0, twipsToPixelsY(p.top) - (h - hDessin) / 2);
        const int x = std::max(twipsToPixelsX(p.left) + decalage, fin);
        p.w->setGeometry(x, y, w, h);
        decalage = x + w - twipsToPixelsX(p.left + p.width);
        fin = x + w + 3;
    }
}

void place(QWidget* w, int left, int top, int width, int height) {
    w->setGeometry(twipsToPixelsX(left), twipsToPixelsY(top), twipsToPixelsX(width), twipsToPixelsY(height));
}

QFont barFont() {
    QFont f(QStringLiteral("Comic Sans MS"));
    f.setPointSize(8);
    return f;
}

} // namespace

void SGridMsg::creerControles() {
    const QFont font = barFont();
    m_vbalImageList = platform::messageImages();

    auto label = [&](const QString& text, const char* name) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QLatin1String(name));
        l->setFont(font);
        return l;
    };
    auto combo = [&](const char* name) {
        auto* c = new QComboBox(this);
        c->setObjectName(QLatin1String(name));
        c->setEditable(true);
        c->setInsertPolicy(QComboBox::NoInsert);
        c->setFont(font);
        c->setMaxVisibleItems(20);
        return c;
    };
    auto picker = [&](const QString& tip, const char* name) {
        auto* d = new QDateEdit(this);
        d->setObjectName(QLatin1String(name));
        d->setCalendarPopup(true);
        d->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        d->setToolTip(tip);
        return d;
    };
    auto button = [&](QStyle::StandardPixmap icon, const QString& tip, const char* name) {
        auto* b = new QPushButton(this);
        b->setObjectName(QLatin1String(name));
        b->setIcon(style()->standardIcon(icon));
        b->setToolTip(tip);
        return b;
    };

    m_cmdNouveau = button(QStyle::SP_FileIcon, QStringLiteral("Nouveau Message"), "cmdNouveau");
    m_chkAffTermine = new QCheckBox(QStringLiteral("Afficher les messages terminés"), this);
    m_chkAffTermine->setObjectName(QStringLiteral("chkAffTermine"));
    m_chkAffTermine->setFont(font);
    m_chkIntervalle = new QCheckBox(QStringLiteral("Messages terminés entre"), this);
    m_chkIntervalle->setObjectName(QStringLiteral("chkIntervalle"));
    m_chkIntervalle->setFont(font);
    m_chkIntervalle->setChecked(true);
    m_DTPicker1 = picker(QStringLiteral("Date minimum"), "DTPicker1");
    m_lblEt = label(QStringLiteral("et"), "lblEt");
    m_DTPicker2 = picker(QStringLiteral("Date maximum"), "DTPicker2");
    m_Label1 = label(QStringLiteral("No:"), "Label1");
    m_txtNoMsg = new QLineEdit(this);
    m_txtNoMsg->setObjectName(QStringLiteral("txtNoMsg"));
    m_txtNoMsg->setFont(font);
    m_cmdRecherche = new QPushButton(QStringLiteral("!"), this);
    m_cmdRecherche->setObjectName(QStringLiteral("cmdRecherche"));
    m_cmdRecherche->setToolTip(QStringLiteral("Rafraîchir"));
    QFont bang = font;
    bang.setPointSize(12);
    bang.setBold(true);
    m_cmdRecherche->setFont(bang);
    m_cmdExport[0] =
        button(QStyle::SP_FileDialogDetailedView, QStringLiteral("Exporter dans excel"), "cmdExport0");
    m_cmdExport[1] =
        button(QStyle::SP_FileDialogContentsView, QStringLiteral("Créer rapport HTML"), "cmdExport1");
    m_lblEmpl = label(QStringLiteral("Employé:"), "lblEmpl");
    m_cboEmpl = combo("cboEmpl");
    m_Label2 = label(QStringLiteral("Client:"), "Label2");
    m_cboClient = combo("cboClient");
    m_Label3 = label(QStringLiteral("Téléphone:"), "Label3");
    m_cboTel = combo("cboTel");

    m_SGrid = new platform::Grid(this);
    m_SGrid->setObjectName(QStringLiteral("SGrid"));
    m_SGrid->setGridFont(font);
    m_lblStatus = label(QStringLiteral("Status"), "lblStatus");
    m_lblStatus->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    // In-place editors, laid over the grid when used.
    m_ImgCbo = new QComboBox(this);
    m_ImgCbo->setObjectName(QStringLiteral("ImgCbo"));
    m_ImgCbo->setFont(font);
    m_txtRtfEdit = new platform::RtfEdit(this);
    m_txtRtfEdit->setObjectName(QStringLiteral("txtRtfEdit"));
    m_SGridEmplA = new platform::Grid(this);
    m_SGridEmplA->setObjectName(QStringLiteral("SGridEmplA"));
    m_SGridEmplA->setGridFont(font);

    // The bar's two rows and the export buttons, each from the left as drawn.
    poserRangee({{m_cmdNouveau, 60, 60, 375, 375},
                 {m_chkAffTermine, 600, 120, 2775, 255},
                 {m_chkIntervalle, 3600, 140, 2280, 255},
                 {m_DTPicker1, 5880, 120, 1215, 315},
                 {m_lblEt, 7200, 135, 255, 255},
                 {m_DTPicker2, 7440, 120, 1215, 315},
                 {m_Label1, 8880, 150, 375, 255},
                 {m_txtNoMsg, 9360, 120, 855, 330},
                 {m_cmdRecherche, 10320, 120, 330, 330}});
    poserRangee({{m_cmdExport[0], 10790, 0, 375, 315}, {m_cmdExport[1], 11160, 0, 375, 315}});
    poserRangee({{m_lblEmpl, 120, 570, 735, 255},
                 {m_cboEmpl, 840, 520, 2295, -1},
                 {m_Label2, 3360, 570, 615, 255},
                 {m_cboClient, 3960, 520, 3015, -1},
                 {m_Label3, 7200, 570, 975, 255},
                 {m_cboTel, 8160, 520, 3015, -1}});
    place(m_SGrid, 0, 960, 11535, 6375);
    place(m_lblStatus, 0, 7320, 11535, 375);
    place(m_ImgCbo, 0, 0, 1300, 360);
    place(m_txtRtfEdit, 0, 0, 11535, 1095);
    place(m_SGridEmplA, 0, 0, 2415, 975);

    // Shown by the filter handlers and the employee-choice property.
    for (QWidget* w :
         {static_cast<QWidget*>(m_chkIntervalle), static_cast<QWidget*>(m_DTPicker1),
          static_cast<QWidget*>(m_lblEt), static_cast<QWidget*>(m_DTPicker2),
          static_cast<QWidget*>(m_lblEmpl), static_cast<QWidget*>(m_cboEmpl), static_cast<QWidget*>(m_ImgCbo),
          static_cast<QWidget*>(m_txtRtfEdit), static_cast<QWidget*>(m_SGridEmplA)})
        w->hide();

    setRechercheBackColor(platform::kSysButtonFace);
    resize(std::max(twipsToPixelsX(kDesignWidth), largeurBarre()), twipsToPixelsY(kDesignHeight));
}

// The export buttons keep the 140 twips drawn between them and "!", and the telephone
// combo its 375 twips from the right edge.
int SGridMsg::largeurBarre() const {
    const int premiere = m_cmdRecherche->geometry().right() + 1 + twipsToPixelsX(140 + 760);
    const int seconde = m_cboTel->geometry().right() + 1 + twipsToPixelsX(375);
    return std::max({twipsToPixelsX(kDesignWidth), premiere, seconde});
}

int SGridMsg::largeurNaturelle() const {
    const int colonnes = m_SGrid->sizeHint().width() + style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    return std::max(largeurBarre(), colonnes + twipsToPixelsX(15));
}

QRect SGridMsg::zoneEditeurs() const {
    return m_SGrid->RowsArea().translated(m_SGrid->pos());
}

// 1095 twips as drawn; never less than three lines of its font.
int SGridMsg::hauteurEditeurTexte() const {
    const int lignes = 3 * m_txtRtfEdit->fontMetrics().lineSpacing() +
                       2 * (m_txtRtfEdit->frameWidth() + int(m_txtRtfEdit->document()->documentMargin()));
    return std::max(twipsToPixelsY(1095), lignes);
}

// As drawn, or wider and taller where the names or the rows need it, within the grid's
// rows.
QSize SGridMsg::tailleDestinataires() {
    platform::Grid* a = m_SGridEmplA;
    const QFontMetrics fm(a->GridFont());
    int nom = 0;
    for (int r = 1; r <= a->Rows(); ++r)
        nom = std::max(nom, fm.horizontalAdvance(a->CellText(r, 2)));
    // The cell's padding on both sides and its grid line, with a pixel to spare.
    a->setColumnWidth(2, std::max(110, nom + 6));
    QSize taille = a->sizeHint().expandedTo(QSize(twipsToPixelsX(2415), twipsToPixelsY(975)));
    const QSize zone = zoneEditeurs().size();
    if (taille.height() > zone.height()) taille.rwidth() += style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    return taille.boundedTo(zone);
}

// Moved left and up as far as needed to stay over the grid's rows, then cut to them.
void SGridMsg::poserSurGrille(QWidget* w, QRect r) const {
    const QRect zone = zoneEditeurs();
    r.moveLeft(std::max(zone.left(), std::min(r.left(), zone.right() + 1 - r.width())));
    r.moveTop(std::max(zone.top(), std::min(r.top(), zone.bottom() + 1 - r.height())));
    w->setGeometry(r & zone);
}

void SGridMsg::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    UserControl_Resize();
}

// The filter bar stays put; the export buttons keep to the right edge, the grid and the
// status line follow the size. Below the designed width (or the width the bar's texts
// need, when more) or 3600 twips of height nothing moves in that direction.
void SGridMsg::UserControl_Resize() {
    if (!m_SGrid) return;
    const int W = platform::pixelsToTwipsX(width());
    const int H = platform::pixelsToTwipsY(height());
    if (W >= std::max(kDesignWidth, platform::pixelsToTwipsX(largeurBarre()))) {
        m_cmdExport[1]->move(twipsToPixelsX(W - 390), m_cmdExport[1]->y());
        m_cmdExport[0]->move(m_cmdExport[1]->x() - twipsToPixelsX(370), m_cmdExport[0]->y());
        m_SGrid->resize(twipsToPixelsX(W - 15), m_SGrid->height());
        m_lblStatus->resize(twipsToPixelsX(W - 15), m_lblStatus->height());
    }
    if (H >= 3600) {
        m_lblStatus->move(m_lblStatus->x(), twipsToPixelsY(H - 390));
        m_SGrid->resize(m_SGrid->width(), twipsToPixelsY(H - 1335));
    }
}
