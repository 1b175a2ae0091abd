#include "presence/frmPresence.h"

#include "platform/Clock.h"
#include "platform/Database.h"
#include "platform/Dialogs.h"
#include "platform/Grid.h"
#include "platform/Pictures.h"
#include "platform/Units.h"
#include "presence/PresenceLayout.h"
#include "presence/PresenceQueries.h"
#include "services/ErrorLogger.h"
#include "services/Session.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QDateEdit>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <QSignalBlocker>
#include <QStyle>
#include <QTimer>
#include <QToolButton>

using platform::twipsToPixelsX;
using platform::twipsToPixelsY;
using services::Session;

namespace presence {

namespace {

const QString kForm = QStringLiteral("frmPresence");

// A control placed at its design position, given in twips.
void placer(QWidget* w, int left, int top, int width, int height) {
    w->setGeometry(twipsToPixelsX(left), twipsToPixelsY(top), twipsToPixelsX(width), twipsToPixelsY(height));
}

QFont policeEntete(int pointSize, bool bold) {
    QFont f(QStringLiteral("Comic Sans MS"));
    // Where the face is missing, the system's sans serif stands in for it.
    f.setStyleHint(QFont::SansSerif);
    f.setPointSize(pointSize);
    f.setBold(bold);
    return f;
}

} // namespace

frmPresence::frmPresence(QWidget* parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral("Gestion des présences"));
    setObjectName(QStringLiteral("frmPresence"));
    creerControles();
    initEdition();
    // At least the designed 12915 by 9375 twips; on a larger screen wider, so that a day's
    // notes and events read without wrapping in every word, and as tall as the screen's
    // working area under the title bar, so that every employee shows without scrolling.
    QSize taille(twipsToPixelsX(12915), twipsToPixelsY(9375));
    if (const QScreen* ecran = QGuiApplication::primaryScreen()) {
        const QRect dispo = ecran->availableGeometry();
        taille = taille.expandedTo(QSize(std::min(1120, dispo.width() * 9 / 10),
                                         dispo.height() - style()->pixelMetric(QStyle::PM_TitleBarHeight)));
    }
    resize(taille);
}

// Shown: as tall as the screen's working area, the whole window (its frame, title bar
// included) at its top. The frame is known only once the window system has decorated the
// window, which a window manager may do after the showing: each time the frame changes,
// the window fits itself again, so that its bottom edge never lies under the screen's.
void frmPresence::occuperHauteur() {
    const QScreen* ecran = screen();
    if (!ecran) return;
    const QRect fenetre = frameGeometry(), client = geometry();
    m_cadre = QMargins(client.left() - fenetre.left(), client.top() - fenetre.top(),
                       fenetre.right() - client.right(), fenetre.bottom() - client.bottom());
    if (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) return;
    const QRect dispo = ecran->availableGeometry();
    const QRect voulu(client.x(), dispo.top() + m_cadre.top(), client.width(), dispo.height());
    const QRect place = geometrieDansEcran(
        voulu, m_cadre, dispo, QSize(std::min(width(), twipsToPixelsX(11900)), twipsToPixelsY(9375)));
    if (place != client) setGeometry(place);
}

void frmPresence::tenirDansEcran() {
    if (!isVisible() || m_cadre == QMargins(-1, -1, -1, -1)) return;
    const QRect fenetre = frameGeometry(), client = geometry();
    const QMargins cadre(client.left() - fenetre.left(), client.top() - fenetre.top(),
                         fenetre.right() - client.right(), fenetre.bottom() - client.bottom());
    // A move or a resize of the user's, the frame unchanged, is left as it is.
    if (cadre != m_cadre) occuperHauteur();
}

void frmPresence::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    tenirDansEcran();
}

frmPresence::~frmPresence() = default;

frmPresence* frmPresence::instance() {
    static QPointer<frmPresence> s_instance;
    if (!s_instance) {
        s_instance = new frmPresence;
        // Closing unloads it, as every window of the program: the next opening reads the
        // access right again.
        s_instance->setAttribute(Qt::WA_DeleteOnClose);
    }
    return s_instance;
}

void frmPresence::ouvrir() {
    frmPresence* f = instance();
    f->ensureLoaded();
    // Shown again as it was left: a maximised board stays maximised.
    if (f->isMinimized())
        f->setWindowState(f->windowState() & ~Qt::WindowMinimized);
    else if (!f->isVisible()) {
        f->show();
        f->occuperHauteur();
        // A window manager that decorates the window without moving or resizing it sends
        // no event: the frame is looked at again a moment later.
        QTimer::singleShot(500, f, &frmPresence::tenirDansEcran);
    }
    f->raise();
    f->activateWindow();
    f->SetDate(platform::Clock::today());
}

platform::Database& frmPresence::cn() {
    platform::Database* db = Session::cnBD();
    // Reported as a lost connection, so that the program goes inactive as it does for
    // a connection that stops answering.
    if (!db)
        throw platform::DbError(2006, QStringLiteral("Aucune connexion à la base de données."), QString());
    return *db;
}

void frmPresence::creerControles() {
    const QString legende = QStringLiteral("Afficher automatiquement lors du démarrage de GestionOrbel");
    chkPresenceAuto = new QCheckBox(this);
    chkPresenceAuto->setObjectName(QStringLiteral("chkPresenceAuto"));
    chkPresenceAuto->setAccessibleName(legende);
    chkPresenceAuto->setToolTip(legende);
    placer(chkPresenceAuto, 120, 120, 300, 375);
    m_lblPresenceAuto = new QLabel(legende, this);
    m_lblPresenceAuto->setObjectName(QStringLiteral("lblPresenceAuto"));
    m_lblPresenceAuto->setWordWrap(true);
    m_lblPresenceAuto->setBuddy(chkPresenceAuto);
    QFont petite = m_lblPresenceAuto->font();
    petite.setPointSizeF(petite.pointSizeF() - 1);
    m_lblPresenceAuto->setFont(petite);
    m_lblPresenceAuto->setGeometry(twipsToPixelsX(420), twipsToPixelsY(60), twipsToPixelsX(3675),
                                   twipsToPixelsY(495));
    m_lblPresenceAuto->installEventFilter(this);

    cmdPrecedent = new QToolButton(this);
    cmdPrecedent->setObjectName(QStringLiteral("cmdPrecedent"));
    cmdPrecedent->setArrowType(Qt::LeftArrow);
    cmdPrecedent->setToolTip(QStringLiteral("Semaine précédente"));
    // A click takes the focus, so that an open edit is committed before the week moves.
    cmdPrecedent->setFocusPolicy(Qt::StrongFocus);
    placer(cmdPrecedent, 4200, 120, 735, 375);

    DTPicker = new QDateEdit(this);
    DTPicker->setObjectName(QStringLiteral("DTPicker"));
    DTPicker->setCalendarPopup(true);
    DTPicker->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    DTPicker->setAlignment(Qt::AlignCenter);
    placer(DTPicker, 5040, 120, 2055, 375);

    cmdSuivant = new QToolButton(this);
    cmdSuivant->setObjectName(QStringLiteral("cmdSuivant"));
    cmdSuivant->setArrowType(Qt::RightArrow);
    cmdSuivant->setToolTip(QStringLiteral("Semaine suivante"));
    cmdSuivant->setFocusPolicy(Qt::StrongFocus);
    placer(cmdSuivant, 7200, 120, 735, 375);

    txtEdit = new QLineEdit(this);
    txtEdit->setObjectName(QStringLiteral("txtEdit"));
    txtEdit->setFont(policeEntete(9, false));
    placer(txtEdit, 11280, 120, 1095, 375);
    txtEdit->hide();

    static const char16_t* const kEntetes[8] = {u"Employé", u"Lundi",    u"Mardi",  u"Mercredi",
                                                u"Jeudi",   u"Vendredi", u"Samedi", u"Dimanche"};
    int left = 0;
    for (int i = 0; i < 8; ++i) {
        auto* l = new QLabel(QString::fromUtf16(kEntetes[i]), this);
        l->setObjectName(QStringLiteral("lblEntete%1").arg(i));
        l->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        l->setFont(policeEntete(10, true));
        l->setAutoFillBackground(true);
        l->setGeometry(left, twipsToPixelsY(600), twipsToPixelsX(1500), twipsToPixelsY(615));
        left += twipsToPixelsX(1500);
        lblEntete[i] = l;
        colorerEntete(l, 0x808000, 0xFFFF);
    }
    // The date labels lie inside the day headers, so they are made after them (on top).
    for (int i = 0; i < 7; ++i) {
        auto* l = new QLabel(this);
        l->setObjectName(QStringLiteral("lblDate%1").arg(i));
        l->setAlignment(Qt::AlignCenter);
        l->setFont(policeEntete(9, false));
        l->setAutoFillBackground(true);
        l->setGeometry(lblEntete[i + 1]->x() + 8, twipsToPixelsY(840), lblEntete[i + 1]->width() - 11,
                       twipsToPixelsY(255));
        lblDate[i] = l;
        colorerEntete(l, 0x808000, 0xFFFF);
    }

    SGrid = new platform::Grid(this);
    SGrid->setObjectName(QStringLiteral("SGrid"));
    placer(SGrid, 0, 1200, 12765, 6975);

    SGridEtat = new platform::Grid(this);
    SGridEtat->setObjectName(QStringLiteral("SGridEtat"));
    placer(SGridEtat, 120, 8280, 12525, 540);
    // The legend is one row spread over its width: it never scrolls.
    SGridEtat->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    SGridEtat->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    connect(cmdPrecedent, &QToolButton::clicked, this, &frmPresence::cmdPrecedent_Click);
    connect(cmdSuivant, &QToolButton::clicked, this, &frmPresence::cmdSuivant_Click);
    // Only the user's clicks: loading the box's value must not write it back.
    connect(chkPresenceAuto, &QCheckBox::clicked, this, &frmPresence::chkPresenceAuto_Click);
    // A date clicked in the drop-down calendar closes it; the picker takes the date
    // first, so the handler runs after it.
    connect(DTPicker->calendarWidget(), &QCalendarWidget::clicked, this, &frmPresence::DTPicker_CloseUp,
            Qt::QueuedConnection);
    connect(DTPicker->calendarWidget(), &QCalendarWidget::activated, this, &frmPresence::DTPicker_CloseUp,
            Qt::QueuedConnection);
    DTPicker->installEventFilter(this);
    connect(DTPicker, &QDateEdit::dateChanged, this, &frmPresence::DTPicker_Change);
}

void frmPresence::colorerEntete(QLabel* label, qint64 back, qint64 fore) {
    QPalette pal = label->palette();
    pal.setColor(QPalette::Window, platform::colorFromBgr(back));
    pal.setColor(QPalette::WindowText, platform::colorFromBgr(fore));
    label->setPalette(pal);
}

// ---- Loading

void frmPresence::ensureLoaded() {
    if (m_loaded) return;
    m_loaded = true;
    Form_Load();
}

void frmPresence::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!m_loaded) {
        ensureLoaded();
        Form_Resize();
    }
}

void frmPresence::Form_Load() {
    m_loaded = true;
    QString sql;
    try {
        const qint32 no = Session::lngNoEmploye;
        sql = sqlAccesGestion(no);
        booAccesGestion = !cn().open(sql).eof();

        sql = sqlAffPresenceAuto(no);
        const platform::Recordset rs = cn().open(sql);
        // An employee without a row (or without a value) simply has the box clear: the
        // board must not stay without columns for that.
        chkPresenceAuto->setChecked(!rs.eof() && !rs.field(QStringLiteral("AffPresenceAuto")).isNull() &&
                                    rs.field(QStringLiteral("AffPresenceAuto")).toBool());
        sql.clear();

        SGrid->setRedraw(false);
        InitGrid();
        InitSgridEtat();
    } catch (const platform::DbError& e) {
        services::DoErreur(e, kForm, QStringLiteral("Form_Load"));
        return;
    } catch (const std::exception& e) {
        services::DoErreur(e, kForm, QStringLiteral("Form_Load"), sql);
        return;
    }
    verifierCles();
}

void frmPresence::verifierCles() {
    m_presencesSansCle = false;
    m_evenementsSansCle = false;
    const QString sql = sqlClesUniques();
    bool presences = false, evenements = false;
    try {
        for (platform::Recordset rs = cn().open(sql); !rs.eof(); rs.moveNext()) {
            const QString table = rs.field(QStringLiteral("Tableau")).text().toLower();
            QStringList colonnes =
                rs.field(QStringLiteral("Colonnes")).text().toLower().split(QLatin1Char(','));
            colonnes.sort();
            if (table == QStringLiteral("tblpresences") &&
                colonnes == QStringList{QStringLiteral("datepresence"), QStringLiteral("noemploye")})
                presences = true;
            if (table == QStringLiteral("tblevenement") &&
                colonnes == QStringList{QStringLiteral("dateevenement")})
                evenements = true;
        }
    } catch (const platform::DbError& e) {
        // A check that could not run holds no write back: the writes report their own errors.
        services::DoErreur(e, kForm, QStringLiteral("Form_Load"));
        return;
    }
    m_presencesSansCle = !presences;
    m_evenementsSansCle = !evenements;
    if (presences && evenements) return;

    const QString tables = !presences && !evenements
                               ? QStringLiteral("des tables tblpresences et tblevenement")
                           : !presences ? QStringLiteral("de la table tblpresences")
                                        : QStringLiteral("de la table tblevenement");
    const QString quoi = !presences && !evenements ? QStringLiteral("aucune présence ni aucun événement")
                         : !presences              ? QStringLiteral("aucune présence")
                                                   : QStringLiteral("aucun événement");
    const QString texte =
        QStringLiteral(
            "Cette base de données n'a pas la clé unique %1 : chaque modification y ajouterait une "
            "ligne en double. Ce tableau n'enregistrera donc %2.\n\nUn administrateur doit "
            "exécuter une fois sur la base de données le fichier db/cles-presences.sql de Corvel "
            "(par exemple : mariadb NOM_DE_LA_BASE < db/cles-presences.sql) ; il fusionne les "
            "doublons et ajoute les clés.")
            .arg(tables, quoi);
    services::DoErreur(QStringLiteral("1176"), texte, QStringLiteral("corvel"), kForm,
                       QStringLiteral("Form_Load"), sql);
    platform::messageBox(this, texte);
}

void frmPresence::InitGrid() {
    try {
        SGrid->setImageList(platform::eventImages());
        SGrid->setGridLineColor(platform::kSysButtonShadow);
        SGrid->setDefaultRowHeight(33);
        // The date labels above the board are its headers; a cell is chosen alone so that
        // the half-days around it keep their colours.
        SGrid->setHeaderVisible(false);
        SGrid->setRowMode(false);
        SGrid->setGroupingBandHidden(true);
        SGrid->setForeColor(platform::kSysWindowText);

        for (int c = SGrid->Columns(); c >= 1; --c)
            SGrid->RemoveColumn(c);
        static const struct {
            const char16_t* name;
            int width;
        } kColonnes[8] = {{u"Employé", 110}, {u"Lundi", 110},    {u"Mardi", 110}, {u"Mercredi", 110},
                          {u"Jeudi", 110},   {u"Vendredi", 110}, {u"Samedi", 85}, {u"Dimanche", 85}};
        for (const auto& c : kColonnes) {
            const QString name = QString::fromUtf16(c.name);
            SGrid->AddColumn(name, name, platform::kAlignLeft, -1, c.width);
        }
        SGrid->ColumnRefresh();
    } catch (const std::exception& e) {
        services::DoErreur(e, kForm, QStringLiteral("InitGrid"));
    }
}

void frmPresence::InitSgridEtat() {
    QString sql;
    try {
        SGridEtat->setRedraw(false);
        SGridEtat->setGridLineColor(platform::kSysButtonShadow);
        SGridEtat->setDefaultRowHeight(32);
        SGridEtat->setHeaderVisible(false);
        SGridEtat->setRowMode(false);
        SGridEtat->setForeColor(platform::kSysWindowText);

        if (SGridEtat->Columns() > 0) {
            if (SGridEtat->Rows() == 0) SGridEtat->AddRow();
            for (int c = SGridEtat->Columns(); c >= 1; --c)
                SGridEtat->RemoveColumn(c);
            SGridEtat->Clear();
            SGridEtat->ColumnRefresh();
        }

        sql = sqlEtatsPresence();
        platform::Recordset rs = cn().open(sql);
        if (!rs.eof()) {
            for (; !rs.eof(); rs.moveNext()) {
                SGridEtat->AddColumn(QStringLiteral("E") + rs.field(QStringLiteral("IdEtat")).text(),
                                     rs.field(QStringLiteral("Description")).text(), platform::kAlignLeft, -1,
                                     110);
            }
            rs.moveFirst();
            SGridEtat->ColumnRefresh();
            SGridEtat->AddRow();
            for (int col = 1; !rs.eof(); rs.moveNext(), ++col) {
                SGridEtat->CellDetails(
                    1, col, rs.field(QStringLiteral("Description")).text(), platform::kAlignCenter, -1,
                    rs.field(QStringLiteral("Couleur")).toLongLong(), 0, SGridEtat->GridFont(), 0, -1,
                    rs.field(QStringLiteral("IdEtat")).toInt());
            }
        }
        sql.clear();
        SGridEtat->setRedraw(true);
        if (isVisible()) Form_Resize();
    } catch (const platform::DbError& e) {
        services::DoErreur(e, kForm, QStringLiteral("InitSgridEtat"));
    } catch (const std::exception& e) {
        services::DoErreur(e, kForm, QStringLiteral("InitSgridEtat"), sql);
    }
}

int frmPresence::HauteurLigne(int row) const {
    int h = SGrid->DefaultRowHeight();
    for (int c = 1; c <= SGrid->Columns(); ++c)
        h = std::max(h, SGrid->EvaluateTextHeight(row, c) + 4);
    return h;
}

// ---- The week shown

QDate frmPresence::Lundi(const QDate& d) {
    const int w = d.dayOfWeek() % 7 + 1; // Sunday 1, Monday 2, ..., Saturday 7
    return w != 1 ? d.addDays(-(w - 2)) : d.addDays(-6);
}

void frmPresence::SetDate(const QDate& d) {
    try {
        ensureLoaded();
        {
            const QSignalBlocker bloque(DTPicker);
            DTPicker->setDate(Lundi(d));
        }
        Remplir();
    } catch (const std::exception& e) {
        services::DoErreur(e, kForm, QStringLiteral("SetDate"));
    }
}

void frmPresence::DTPicker_CloseUp() {
    {
        const QSignalBlocker bloque(DTPicker);
        DTPicker->setDate(Lundi(DTPicker->date()));
    }
    Remplir();
}

void frmPresence::DTPicker_Change() {
    // Whatever moved the date, "Lundi" stands over a Monday and the week buttons then
    // move from a Monday.
    const QDate lundi = Lundi(DTPicker->date());
    if (lundi != DTPicker->date()) {
        const QSignalBlocker bloque(DTPicker);
        DTPicker->setDate(lundi);
    }
    if (lundi != DateColonne(2)) Remplir();
}

void frmPresence::DTPicker_KeyDown(int KeyCode, int /*Shift*/) {
    if (KeyCode == 13) DTPicker_CloseUp();
}

bool frmPresence::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_lblPresenceAuto && event->type() == QEvent::MouseButtonRelease) {
        // The caption is part of the box, as a check box's own caption would be.
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) chkPresenceAuto->click();
        return true;
    }
    if (watched == txtEdit) return filtreEditeur(event) || QWidget::eventFilter(watched, event);
    if (watched == DTPicker && event->type() == QEvent::KeyPress) {
        const auto* k = static_cast<QKeyEvent*>(event);
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
            DTPicker_KeyDown(13, int(k->modifiers() >> 25));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmPresence::cmdPrecedent_Click() {
    {
        const QSignalBlocker bloque(DTPicker);
        DTPicker->setDate(DTPicker->date().addDays(-7));
    }
    Remplir();
    SGrid->setRedraw(true);
}

void frmPresence::cmdSuivant_Click() {
    {
        const QSignalBlocker bloque(DTPicker);
        DTPicker->setDate(DTPicker->date().addDays(7));
    }
    Remplir();
    SGrid->setRedraw(true);
}

void frmPresence::chkPresenceAuto_Click() {
    QString sql;
    try {
        sql = sqlUpdateAffPresenceAuto(chkPresenceAuto->isChecked(), Session::lngNoEmploye);
        cn().execute(sql);
    } catch (const platform::DbError& e) {
        services::DoErreur(e, kForm, QStringLiteral("chkPresenceAuto_Click"));
    } catch (const std::exception& e) {
        services::DoErreur(e, kForm, QStringLiteral("chkPresenceAuto_Click"), sql);
    }
}

} // namespace presence
