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

using platform::twipsToPixelsX;
using platform::twipsToPixelsY;

namespace {

// Designed size of the control, twips.
constexpr int kDesignWidth = 11550;
constexpr int kDesignHeight = 7710;

void place(QWidget* w, int left, int top, int width, int height = -1) {
    const int h = height < 0 ? w->sizeHint().height() : twipsToPixelsY(height);
    int wPx = twipsToPixelsX(width);
    // Where the font is not the one the bar was drawn with, a caption keeps its whole text.
    if (qobject_cast<QLabel*>(w) || qobject_cast<QCheckBox*>(w)) wPx = std::max(wPx, w->sizeHint().width());
    w->setGeometry(twipsToPixelsX(left), twipsToPixelsY(top), wPx, h);
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

    place(m_cmdNouveau, 60, 60, 375, 375);
    place(m_chkAffTermine, 600, 120, 2775, 255);
    place(m_chkIntervalle, 3600, 140, 2280, 255);
    place(m_DTPicker1, 5880, 120, 1215, 315);
    place(m_lblEt, 7200, 135, 255, 255);
    place(m_DTPicker2, 7440, 120, 1215, 315);
    place(m_Label1, 8880, 150, 375, 255);
    place(m_txtNoMsg, 9360, 120, 855, 330);
    place(m_cmdRecherche, 10320, 120, 330, 330);
    place(m_cmdExport[0], 10790, 0, 375, 315);
    place(m_cmdExport[1], 11160, 0, 375, 315);
    place(m_lblEmpl, 120, 570, 735, 255);
    place(m_cboEmpl, 840, 520, 2295);
    place(m_Label2, 3360, 570, 615, 255);
    place(m_cboClient, 3960, 520, 3015);
    place(m_Label3, 7200, 570, 975, 255);
    place(m_cboTel, 8160, 520, 3015);
    // A caption wider than drawn pushes its combo right rather than hide under it.
    for (auto [l, c] : {std::pair<QLabel*, QComboBox*>{m_lblEmpl, m_cboEmpl},
                        {m_Label2, m_cboClient},
                        {m_Label3, m_cboTel}})
        if (c->x() < l->geometry().right() + 3) c->move(l->geometry().right() + 3, c->y());
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
    resize(twipsToPixelsX(kDesignWidth), twipsToPixelsY(kDesignHeight));
}

void SGridMsg::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    UserControl_Resize();
}

// The filter bar stays put; the export buttons keep to the right edge, the grid and the
// status line follow the size. Below the designed width or 3600 twips of height nothing
// moves in that direction.
void SGridMsg::UserControl_Resize() {
    if (!m_SGrid) return;
    const int W = platform::pixelsToTwipsX(width());
    const int H = platform::pixelsToTwipsY(height());
    if (W >= kDesignWidth) {
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
