#include "followup/frmChangeEtatMsg.h"

#include "followup/EditQueries.h"
#include "followup/LigneAudit.h"
#include "platform/Clock.h"
#include "platform/Database.h"
#include "services/ErrorLogger.h"
#include "services/Session.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace followup {

namespace {

const QString kForm = QStringLiteral("frmChangeEtatMsg");

QFont policeDialogue() {
    QFont f(QStringLiteral("Comic Sans MS"));
    f.setPointSize(9);
    return f;
}

// The hidden boxes hold numbers the opener wrote; anything else is treated as absent so
// that no stray text reaches a statement.
bool nombre(const QLineEdit* box, qint32& value) {
    bool ok = false;
    value = box->text().trimmed().toInt(&ok);
    return ok;
}

platform::Database& connexion() {
    platform::Database* db = services::Session::cnBD();
    if (!db)
        throw platform::DbError(2006, QStringLiteral("Aucune connexion à la base de données."), QString());
    return *db;
}

} // namespace

frmChangeEtatMsg::frmChangeEtatMsg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmChangeEtatMsg"));
    setWindowTitle(QStringLiteral("État du message"));
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    const QFont font = policeDialogue();
    m_Label1 = new QLabel(
        QStringLiteral("Sélectionnez les personnes pour qui vous désirez modifier l'état du message."), this);
    m_Label1->setObjectName(QStringLiteral("Label1"));
    m_Label1->setFont(font);
    m_Label1->setWordWrap(true);

    m_lstvEmpl = new QListWidget(this);
    m_lstvEmpl->setObjectName(QStringLiteral("lstvEmpl"));
    m_lstvEmpl->setSelectionMode(QAbstractItemView::SingleSelection);

    m_cmdOk = new QPushButton(QStringLiteral("OK"), this);
    m_cmdOk->setObjectName(QStringLiteral("cmdOk"));
    m_cmdOk->setFont(font);
    m_cmdOk->setDefault(true);
    m_cmdAnnule = new QPushButton(QStringLiteral("Annuler"), this);
    m_cmdAnnule->setObjectName(QStringLiteral("cmdAnnule"));
    m_cmdAnnule->setFont(font);

    m_txtIdMsg = new QLineEdit(this);
    m_txtIdMsg->setObjectName(QStringLiteral("txtIdMsg"));
    m_txtIdMsg->hide();
    m_txtEtat = new QLineEdit(this);
    m_txtEtat->setObjectName(QStringLiteral("txtEtat"));
    m_txtEtat->hide();

    auto* boutons = new QHBoxLayout;
    boutons->addStretch();
    boutons->addWidget(m_cmdOk);
    boutons->addWidget(m_cmdAnnule);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_Label1);
    layout->addWidget(m_lstvEmpl, 1);
    layout->addLayout(boutons);
    resize(340, 280);

    connect(m_cmdOk, &QPushButton::clicked, this, &frmChangeEtatMsg::cmdOk_Click);
    connect(m_cmdAnnule, &QPushButton::clicked, this, &frmChangeEtatMsg::cmdAnnule_Click);
}

frmChangeEtatMsg::~frmChangeEtatMsg() = default;

void frmChangeEtatMsg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_active) return;
    m_active = true;
    Form_Activate();
}

void frmChangeEtatMsg::setBooAnnule(bool value) {
    if (Mere) Mere->setProperty("booAnnule", value);
}

void frmChangeEtatMsg::Form_Activate() {
    qint32 idMessage = 0;
    if (!nombre(m_txtIdMsg, idMessage)) return;
    const QString sql = sqlEmployesMessage(idMessage);
    try {
        platform::Recordset rs = connexion().open(sql);
        for (; !rs.eof(); rs.moveNext()) {
            auto* item = new QListWidgetItem(rs.field(QStringLiteral("Nom")).text(), m_lstvEmpl);
            item->setData(Qt::UserRole, rs.field(QStringLiteral("NoEmploye")).toInt());
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Checked);
        }
    } catch (const platform::DbError& e) {
        services::DoErreur(QString::number(e.number()), e.text(), QStringLiteral("corvel"), kForm,
                           QStringLiteral("Form_Activate"), e.sql().isEmpty() ? sql : e.sql());
    }
}

void frmChangeEtatMsg::cmdOk_Click() {
    setBooAnnule(true);
    qint32 idMessage = 0, idEtat = 0;
    QString sql;
    if (nombre(m_txtIdMsg, idMessage) && nombre(m_txtEtat, idEtat)) {
        QList<qint32> coches;
        for (int i = 0; i < m_lstvEmpl->count(); ++i)
            if (m_lstvEmpl->item(i)->checkState() == Qt::Checked)
                coches << m_lstvEmpl->item(i)->data(Qt::UserRole).toInt();
        if (!coches.isEmpty()) {
            try {
                platform::Database& db = connexion();
                const QDateTime now = platform::Clock::now();
                enTransaction(db, [&] {
                    sql = sqlVerrouMessage(idMessage);
                    db.open(sql);
                    for (const qint32 noEmplA : coches) {
                        sql = sqlUpdateEtatEmploye(idEtat, idMessage, noEmplA, now);
                        db.execute(sql);
                    }
                    m_ligneAjoutee =
                        ajouterLigneAudit(db, idEtat, idMessage, services::Session::lngNoEmploye, now, sql);
                });
            } catch (const platform::DbError& e) {
                // Nothing was written; the window stays open so that the user can try
                // again or cancel.
                services::DoErreur(QString::number(e.number()), e.text(), QStringLiteral("corvel"), kForm,
                                   QStringLiteral("cmdOk_Click"), e.sql().isEmpty() ? sql : e.sql());
                return;
            }
            m_ligneEcrite = true;
            setBooAnnule(false);
        }
    }
    accept();
}

void frmChangeEtatMsg::cmdAnnule_Click() {
    setBooAnnule(true);
    reject();
}

} // namespace followup
