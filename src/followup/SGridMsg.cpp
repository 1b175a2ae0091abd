#include "followup/SGridMsg.h"

#include "platform/Clock.h"
#include "platform/Database.h"
#include "platform/Grid.h"
#include "platform/Pictures.h"
#include "platform/RtfEdit.h"
#include "platform/Units.h"
#include "services/ErrorLogger.h"
#include "services/Session.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using platform::Grid;

namespace {
const QString kForm = QStringLiteral("SGridMsg");
} // namespace

SGridMsg::SGridMsg(QWidget* parent, bool listesParHote) : QWidget(parent), m_listesParHote(listesParHote) {
    creerControles();
    UserControl_Initialize();
    initFiltres();
    initEdition();
    connect(m_cmdExport[0], &QPushButton::clicked, this, [this] { cmdExport_Click(0); });
    connect(m_cmdExport[1], &QPushButton::clicked, this, [this] { cmdExport_Click(1); });
    initMenus();
}

SGridMsg::~SGridMsg() = default;

void SGridMsg::UserControl_Initialize() {
    booChargement = true;
    m_booRecu = true;

    const QDate today = platform::Clock::today();
    m_DTPicker2->setDate(today);
    m_DTPicker1->setDate(today.addDays(-7));

    intNoEmploye = services::Session::lngNoEmploye;
    lngIdClientMsg = 0;

    // Pictures of the in-place priority and state picker, counted from 1: the priorities
    // at their number, the states at their number plus 3.
    m_ImageList1 = platform::ImageList();
    m_ImageList1.add(QPixmap());
    for (int p = 1; p <= 3; ++p)
        m_ImageList1.add(platform::priorityPixmap(p));
    for (int e = 1; e <= 8; ++e)
        m_ImageList1.add(platform::statePixmap(e));

    QString sql;
    platform::Database* db = services::Session::cnBD();
    if (services::Session::connected()) {
        try {
            bool selected = false;
            auto addEmployes = [&](platform::Recordset& rs) {
                for (; !rs.eof(); rs.moveNext()) {
                    const int no = rs.field(QStringLiteral("NoEmploye")).toInt();
                    m_cboEmpl->addItem(rs.field(QStringLiteral("Nom")).text(), no);
                    if (no == intNoEmploye) {
                        m_cboEmpl->setCurrentIndex(m_cboEmpl->count() - 1);
                        selected = true;
                    }
                }
            };
            sql = followup::sqlEmployesOrdonnes();
            platform::Recordset ordonnes = db->open(sql);
            m_cboEmpl->addItem(QStringLiteral("Tous"), 0);
            addEmployes(ordonnes);
            sql = followup::sqlEmployesNonOrdonnes();
            platform::Recordset autres = db->open(sql);
            addEmployes(autres);
            // Someone without a place in the lists still sees his own messages: the combo
            // shows "Tous" while the filter stays on him.
            if (!selected) m_cboEmpl->setCurrentIndex(0);

            if (!m_listesParHote) {
                RemplirCboClientMsg();
                RemplirCboTelephone();
            }
        } catch (const platform::DbError& e) {
            erreur(e, QStringLiteral("UserControl_Initialize"), sql);
        }
    }

    // The grid gets its columns whatever happened above, so that it stays usable.
    m_SGrid->setRedraw(false);
    InitGrid();
    m_SGrid->setRedraw(true);

    booChargement = false;
}

void SGridMsg::InitGrid() {
    try {
        Grid* g = m_SGrid;
        g->setImageList(m_vbalImageList);
        g->setGridLineColor(platform::kSysButtonShadow);
        g->setDefaultRowHeight(18);
        g->setGridLines(true);
        g->setRowMode(true);
        g->setHeaderVisible(true);
        // A light orange selection keeps the red of unread rows readable.
        g->setSelectionBackColor(0xC0E0FF);
        g->setSelectionForeColor(0x000000);

        struct Def {
            const char16_t* key;
            const char16_t* header;
            int width;
            int sortType;
        };
        static const Def defs[] = {
            {u"Priorité", u"P", 20, platform::kSortImage},
            {u"État", u"E", 20, platform::kSortImage},
            {u"No", u"No", 80, platform::kSortItemData},
            {u"Client", u"Client", 200, platform::kSortText},
            {u"Téléphone", u"Téléphone", 140, platform::kSortText},
            {u"Date", u"Date", 75, platform::kSortDate},
            {u"Heure", u"Heure", 50, platform::kSortDate},
            {u"Expéditeur", u"De", 110, platform::kSortText},
            {u"TypeMessage", u"Type message", 110, platform::kSortText},
            {u"Dossier", u"NoDossier", 110, platform::kSortText},
            {u"Destinataire", u"À", 110, platform::kSortText},
            {u"Message", u"", 985, platform::kSortText},
        };
        for (const Def& d : defs) {
            const bool rowText = QStringView(d.key) == u"Message";
            g->AddColumn(QString::fromUtf16(d.key), QString::fromUtf16(d.header), platform::kAlignLeft, -1,
                         d.width, true, false, QString(), true, QString(), rowText, d.sortType);
        }
        g->ColumnRefresh();

        Grid* a = m_SGridEmplA;
        a->setImageList(m_vbalImageList);
        a->setGridLineColor(platform::kSysButtonShadow);
        a->setHeaderVisible(false);
        a->AddColumn(QStringLiteral("État"), QString(), platform::kAlignLeft, -1, 20, true, false, QString(),
                     true, QString(), false, platform::kSortImage);
        a->AddColumn(QStringLiteral("Destinataire"), QString(), platform::kAlignLeft, -1, 110);
        a->ColumnRefresh();
    } catch (const std::exception& e) {
        services::DoErreur(e, kForm, QStringLiteral("InitGrid"));
    }
}

// ---------------------------------------------------------------- properties

void SGridMsg::setBooRecu(bool recu) {
    m_booRecu = recu;
    booChargement = true;
    RemplirCboClientMsg();
    RemplirCboTelephone();
    booChargement = false;
}

bool SGridMsg::ChoixEmpl() const {
    return !m_cboEmpl->isHidden();
}

void SGridMsg::setChoixEmpl(bool visible) {
    m_cboEmpl->setVisible(visible);
    m_lblEmpl->setVisible(visible);
}

qint32 SGridMsg::nbEnreg() const {
    return m_SGrid->Rows();
}

void SGridMsg::setRechercheBackColor(qint64 bgr) {
    m_rechercheBackColor = bgr;
    QPalette pal = m_cmdRecherche->palette();
    pal.setColor(QPalette::Button, platform::colorFromBgr(bgr));
    m_cmdRecherche->setPalette(pal);
    m_cmdRecherche->update();
}

followup::MessageFilter SGridMsg::filtre(qint32 idMessage) const {
    followup::MessageFilter f;
    f.booRecu = m_booRecu;
    f.intNoEmploye = intNoEmploye;
    f.lngIdClientMsg = lngIdClientMsg;
    f.hasTelephone = m_cboTel->currentIndex() >= 0;
    if (f.hasTelephone) f.telephone = m_cboTel->itemText(m_cboTel->currentIndex());
    f.idMessage = idMessage;
    f.affTermine = m_chkAffTermine->isChecked();
    f.intervalle = m_chkIntervalle->isChecked();
    f.dateMin = m_DTPicker1->date();
    f.dateMax = m_DTPicker2->date();
    return f;
}

void SGridMsg::erreur(const platform::DbError& e, const QString& procedure, const QString& sql) {
    // A recordset read past its end carries no statement: log the one being run.
    services::DoErreur(QString::number(e.number()), e.text(), QStringLiteral("corvel"), kForm, procedure,
                       e.sql().isEmpty() ? sql : e.sql());
}

platform::Database& SGridMsg::connexion() {
    platform::Database* db = services::Session::cnBD();
    if (!db)
        throw platform::DbError(2006, QStringLiteral("Aucune connexion à la base de données."), QString());
    return *db;
}
