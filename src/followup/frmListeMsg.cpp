#include "followup/frmListeMsg.h"

#include "followup/SGridMsg.h"
#include "platform/Database.h"
#include "platform/Units.h"
#include "services/ErrorLogger.h"
#include "services/Session.h"

#include <QApplication>
#include <QResizeEvent>
#include <QScreen>
#include <QStyle>
#include <QTabWidget>

using platform::pixelsToTwipsX;
using platform::pixelsToTwipsY;
using platform::twipsToPixelsX;
using platform::twipsToPixelsY;

namespace followup {

namespace {

const QString kForm = QStringLiteral("frmListeMsg");

// As drawn, in twips: the client area, which the tab control fills, and each grid's
// place in the tab control.
constexpr int kClientWidth = 11730;
constexpr int kClientHeight = 7695;
constexpr int kGrilleLeft = 60;
constexpr int kGrilleTop = 360;
// Frame and title bar of the window: its outer size is its client area plus these.
// The resize rules are written against the outer size.
constexpr int kCadreLargeur = 120;
constexpr int kCadreHauteur = 405;

QPointer<frmListeMsg> s_instance;

} // namespace

frmListeMsg::frmListeMsg(QWidget* parent) : QWidget(parent) {
    setObjectName(kForm);
    setWindowTitle(QStringLiteral("Suivi des messages"));
    setWindowIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));

    m_SSTabSuivi = new QTabWidget(this);
    m_SSTabSuivi->setObjectName(QStringLiteral("SSTabSuivi"));
    auto* pageRecu = new QWidget;
    auto* pageEnvoye = new QWidget;
    m_SSTabSuivi->addTab(pageRecu, QStringLiteral("Reçu"));
    m_SSTabSuivi->addTab(pageEnvoye, QStringLiteral("Envoyé"));
    m_SSTabSuivi->setGeometry(0, 0, twipsToPixelsX(kClientWidth), twipsToPixelsY(kClientHeight));

    m_SGridMsgRecu = new SGridMsg(pageRecu, true);
    m_SGridMsgRecu->setObjectName(QStringLiteral("SGridMsgRecu"));
    m_SGridMsgRecu->resize(twipsToPixelsX(11595), twipsToPixelsY(7255));
    m_SGridMsgEnvoye = new SGridMsg(pageEnvoye, true);
    m_SGridMsgEnvoye->setObjectName(QStringLiteral("SGridMsgEnvoye"));
    m_SGridMsgEnvoye->resize(twipsToPixelsX(11595), twipsToPixelsY(7260));
    connect(m_SGridMsgRecu, &SGridMsg::Refresh, this, &frmListeMsg::SGridMsgRecu_Refresh);
    connect(m_SGridMsgEnvoye, &SGridMsg::Refresh, this, &frmListeMsg::SGridMsgEnvoye_Refresh);

    // At least as drawn and as the filter bar needs; where the screen allows, wide enough
    // for every column of the grids and taller, to list more messages.
    const int marges = twipsToPixelsX(kClientWidth - 11595);
    QSize taille(std::max(twipsToPixelsX(kClientWidth), m_SGridMsgRecu->largeurBarre() + marges),
                 twipsToPixelsY(kClientHeight));
    if (const QScreen* ecran = QGuiApplication::primaryScreen())
        taille = taille.expandedTo(QSize(m_SGridMsgRecu->largeurNaturelle() + marges, 760)
                                       .boundedTo(ecran->availableGeometry().size() * 0.9));
    resize(taille);
    Form_Load();
}

frmListeMsg::~frmListeMsg() = default;

frmListeMsg* frmListeMsg::instance() {
    if (!s_instance) {
        s_instance = new frmListeMsg();
        // Closing the window unloads it: the next showing makes new grids with their
        // creation defaults.
        s_instance->setAttribute(Qt::WA_DeleteOnClose);
        // First shown in the middle of the screen.
        if (const QScreen* ecran = QGuiApplication::primaryScreen()) {
            QRect r = s_instance->frameGeometry();
            r.moveCenter(ecran->availableGeometry().center());
            s_instance->move(r.topLeft());
        }
    }
    return s_instance;
}

frmListeMsg* frmListeMsg::existing() {
    return s_instance;
}

void frmListeMsg::Form_Load() {
    if (!services::Session::connected()) return;
    QString sql;
    try {
        // Right 5 lets an employee look at his colleagues' lists.
        sql = QStringLiteral("SELECT typeAcces FROM tblacces_empl WHERE NoEmploye = ") +
              QString::number(services::Session::lngNoEmploye) + QStringLiteral(" AND typeAcces = 5");
        {
            platform::Recordset rs = services::Session::cnBD()->open(sql);
            if (!rs.eof()) {
                m_SGridMsgRecu->setChoixEmpl(true);
                m_SGridMsgEnvoye->setChoixEmpl(true);
            }
        }
        sql.clear();
        m_SSTabSuivi->setCurrentIndex(0);
        // Each mode builds that grid's caller and telephone lists, once; the opener fills.
        m_SGridMsgRecu->setBooRecu(true);
        m_SGridMsgEnvoye->setBooRecu(false);
    } catch (const platform::DbError& e) {
        services::DoErreur(QString::number(e.number()), e.text(), QStringLiteral("corvel"), kForm,
                           QStringLiteral("Form_Load"), e.sql().isEmpty() ? sql : e.sql());
    }
}

void frmListeMsg::Rafraichir() {
    m_SGridMsgRecu->Remplir();
    m_SGridMsgEnvoye->Remplir();
}

void frmListeMsg::UpdateMsg(qint32 IdMessage) {
    // The grids take the number by reference; the caller's value stays as it was.
    qint32 id = IdMessage;
    m_SGridMsgRecu->UpdateLigne(id);
    id = IdMessage;
    m_SGridMsgEnvoye->UpdateLigne(id);
}

void frmListeMsg::SGridMsgRecu_Refresh() {
    m_SSTabSuivi->setTabText(0, QStringLiteral("Reçu (") + QString::number(m_SGridMsgRecu->nbEnreg()) +
                                    QLatin1Char(')'));
}

void frmListeMsg::SGridMsgEnvoye_Refresh() {
    m_SSTabSuivi->setTabText(1, QStringLiteral("Envoyé (") + QString::number(m_SGridMsgEnvoye->nbEnreg()) +
                                    QLatin1Char(')'));
}

void frmListeMsg::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmListeMsg::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    placerGrilles();
}

// The tab control fills the client area; the grids are 135 twips narrower and 435 less
// high than it. A dimension at or below its bound keeps its last size.
void frmListeMsg::Form_Resize() {
    if (!m_SSTabSuivi) return;
    const int W = pixelsToTwipsX(width()) + kCadreLargeur;
    const int H = pixelsToTwipsY(height()) + kCadreHauteur;
    if (W > 255) {
        m_SSTabSuivi->resize(twipsToPixelsX(W - 120), m_SSTabSuivi->height());
        m_SGridMsgRecu->resize(twipsToPixelsX(W - 255), m_SGridMsgRecu->height());
        m_SGridMsgEnvoye->resize(m_SGridMsgRecu->width(), m_SGridMsgEnvoye->height());
    }
    if (H > 840) {
        m_SSTabSuivi->resize(m_SSTabSuivi->width(), twipsToPixelsY(H - 405));
        m_SGridMsgRecu->resize(m_SGridMsgRecu->width(), twipsToPixelsY(H - 840));
        m_SGridMsgEnvoye->resize(m_SGridMsgEnvoye->width(), m_SGridMsgRecu->height());
    }
    placerGrilles();
}

// The grids live in the tab pages, whose place depends on the tab bar's height: put
// each one where it sits in the tab control as drawn, or at the page's corner when the
// tab bar takes more room than that.
void frmListeMsg::placerGrilles() {
    const QPoint voulu(twipsToPixelsX(kGrilleLeft), twipsToPixelsY(kGrilleTop));
    for (SGridMsg* g : {m_SGridMsgRecu, m_SGridMsgEnvoye}) {
        QWidget* page = g->parentWidget();
        const QPoint p = page->mapFrom(m_SSTabSuivi, voulu);
        g->move(qMax(0, p.x()), qMax(0, p.y()));
    }
}

void ouvrirListeMsg() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    frmListeMsg* f = frmListeMsg::instance();
    if (!f->isVisible()) {
        // The first showing has already loaded it (modes set) before this fill.
        f->show();
        f->Rafraichir();
    } else {
        f->Rafraichir();
        if (f->isMinimized()) f->showNormal();
    }
    f->raise();
    f->activateWindow();
    QApplication::restoreOverrideCursor();
}

void sonderListeMsg() {
    frmListeMsg* f = frmListeMsg::existing();
    if (!f) return;
    f->SGridMsgEnvoye()->VerifNouveauMsg();
    f->SGridMsgRecu()->VerifNouveauMsg();
}

} // namespace followup
