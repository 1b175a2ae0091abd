#include "entry/frmSuiviAppel.h"

#include "entry/EntryQueries.h"
#include "platform/Database.h"
#include "platform/RtfEdit.h"
#include "services/ComboHelpers.h"
#include "services/ErrorLogger.h"
#include "services/Session.h"

#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace entry {

namespace {

const QString kForm = QStringLiteral("frmSuiviAppel");
constexpr int kRoleTelephones = Qt::UserRole + 1;
constexpr int kPrioriteNormale = 2;
constexpr int kEtatInitial = 1;

QPointer<frmSuiviAppel> s_instance;

// The caller's numbers that are filled in, each after a short label.
QString telephonesText(const platform::Recordset& rs) {
    static const QList<QPair<const char*, QString>> columns = {{"Telephone", QStringLiteral("Tél. ")},
                                                               {"TelBureau", QStringLiteral("Bureau ")},
                                                               {"Cellulaire", QStringLiteral("Cell. ")},
                                                               {"AutreTel", QStringLiteral("Autre ")},
                                                               {"Fax", QStringLiteral("Fax ")}};
    QStringList parts;
    for (const auto& c : columns) {
        const QString value = rs.field(QLatin1String(c.first)).text().trimmed();
        if (!value.isEmpty()) parts << c.second + value;
    }
    return parts.join(QStringLiteral("   "));
}

// Hourglass for the duration of a scope, restored even when the scope is left by an error.
struct Sablier {
    Sablier() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~Sablier() { QApplication::restoreOverrideCursor(); }
};

} // namespace

std::function<void()> frmSuiviAppel::ouvrirListeMsg;

frmSuiviAppel::frmSuiviAppel(QWidget* parent) : QWidget(parent) {
    setObjectName(kForm);
    setWindowTitle(QStringLiteral("Saisie de message"));
    buildUi();
    nouveauMessage();
}

frmSuiviAppel::~frmSuiviAppel() = default;

frmSuiviAppel* frmSuiviAppel::instance() {
    if (!s_instance) s_instance = new frmSuiviAppel();
    return s_instance;
}

void frmSuiviAppel::buildUi() {
    auto* form = new QFormLayout;

    lblDate = new QLabel(this);
    lblDate->setObjectName(QStringLiteral("lblDate"));
    lblHeure = new QLabel(this);
    lblHeure->setObjectName(QStringLiteral("lblHeure"));
    auto* quand = new QHBoxLayout;
    quand->addWidget(lblDate);
    quand->addSpacing(12);
    quand->addWidget(new QLabel(QStringLiteral("Heure :"), this));
    quand->addWidget(lblHeure);
    quand->addStretch();
    form->addRow(QStringLiteral("Date :"), quand);

    cboClient = new QComboBox(this);
    cboClient->setObjectName(QStringLiteral("cboClient"));
    form->addRow(QStringLiteral("Appelant :"), cboClient);
    lblClient = new QLabel(this);
    lblClient->setObjectName(QStringLiteral("lblClient"));
    lblTelephones = new QLabel(this);
    lblTelephones->setObjectName(QStringLiteral("lblTelephones"));
    lblTelephones->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form->addRow(QString(), lblClient);
    form->addRow(QStringLiteral("Téléphones :"), lblTelephones);

    cboPriorite = new QComboBox(this);
    cboPriorite->setObjectName(QStringLiteral("cboPriorite"));
    cboEtat = new QComboBox(this);
    cboEtat->setObjectName(QStringLiteral("cboEtat"));
    auto* choix = new QHBoxLayout;
    choix->addWidget(cboPriorite, 1);
    choix->addSpacing(12);
    choix->addWidget(new QLabel(QStringLiteral("État :"), this));
    choix->addWidget(cboEtat, 1);
    form->addRow(QStringLiteral("Priorité :"), choix);

    txtMessage = new platform::RtfEdit(this);
    txtMessage->setObjectName(QStringLiteral("txtMessage"));
    txtMessage->setMinimumHeight(160);
    form->addRow(QStringLiteral("Message :"), txtMessage);

    txtDossier = new QLineEdit(this);
    txtDossier->setObjectName(QStringLiteral("txtDossier"));
    txtDossier->setPlaceholderText(QStringLiteral("Numéros séparés par des virgules"));
    form->addRow(QStringLiteral("Dossiers :"), txtDossier);

    lstType = new QListWidget(this);
    lstType->setObjectName(QStringLiteral("lstType"));
    lstEmploye = new QTreeWidget(this);
    lstEmploye->setObjectName(QStringLiteral("lstEmploye"));
    lstEmploye->setRootIsDecorated(false);
    lstEmploye->setHeaderLabels({QStringLiteral("Destinataire"), QStringLiteral("État")});
    lstEmploye->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    auto* listes = new QVBoxLayout;
    listes->addWidget(new QLabel(QStringLiteral("Destinataires :"), this));
    listes->addWidget(lstEmploye, 2);
    listes->addWidget(new QLabel(QStringLiteral("Types de message :"), this));
    listes->addWidget(lstType, 1);

    cmdNouveau = new QPushButton(QStringLiteral("Nouveau"), this);
    cmdNouveau->setObjectName(QStringLiteral("cmdNouveau"));
    cmdEnregistrer = new QPushButton(QStringLiteral("Enregistrer"), this);
    cmdEnregistrer->setObjectName(QStringLiteral("cmdEnregistrer"));
    cmdEnregistrer->setDefault(true);
    cmdListeMsg = new QPushButton(QStringLiteral("Liste des messages"), this);
    cmdListeMsg->setObjectName(QStringLiteral("cmdListeMsg"));
    auto* boutons = new QHBoxLayout;
    boutons->addWidget(cmdListeMsg);
    boutons->addStretch();
    boutons->addWidget(cmdNouveau);
    boutons->addWidget(cmdEnregistrer);

    auto* grid = new QGridLayout(this);
    grid->addLayout(form, 0, 0);
    grid->addLayout(listes, 0, 1);
    grid->addLayout(boutons, 1, 0, 1, 2);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 2);
    resize(820, 520);

    connect(cmdNouveau, &QPushButton::clicked, this, &frmSuiviAppel::cmdNouveau_Click);
    connect(cmdEnregistrer, &QPushButton::clicked, this, &frmSuiviAppel::cmdEnregistrer_Click);
    connect(cmdListeMsg, &QPushButton::clicked, this, &frmSuiviAppel::cmdListeMsg_Click);
    connect(cboClient, qOverload<int>(&QComboBox::currentIndexChanged), this, [this](int) {
        // Only a new message follows the combo; a loaded one shows its own caller.
        if (m_idMessage != 0) return;
        const bool aucun = cboClient->currentData().toInt() == 0;
        afficherClient(aucun ? QString() : cboClient->currentText(),
                       cboClient->currentData(kRoleTelephones).toString());
    });
}

void frmSuiviAppel::afficherClient(const QString& texte, const QString& telephones) {
    lblClient->setText(texte);
    lblTelephones->setText(telephones);
}

void frmSuiviAppel::setModeNouveau(bool nouveau) {
    // A message once saved keeps its caller, types, folders and recipients; only its
    // text and priority change here (each recipient's state changes in the list).
    cboClient->setEnabled(nouveau);
    cboEtat->setEnabled(nouveau);
    lstType->setEnabled(nouveau);
    txtDossier->setReadOnly(!nouveau);
    lstEmploye->setColumnHidden(1, nouveau);
}

void frmSuiviAppel::cmdNouveau_Click() {
    nouveauMessage();
    txtMessage->setFocus();
}

void frmSuiviAppel::nouveauMessage() {
    m_idMessage = 0;
    lblDate->clear();
    lblHeure->clear();
    txtMessage->setTextRTF(QString());
    txtDossier->clear();
    remplirListes();
    remplirDestinatairesPossibles();
    setModeNouveau(true);
    afficherClient(QString(), QString());
}

void frmSuiviAppel::remplirListes() {
    cboClient->clear();
    cboPriorite->clear();
    cboEtat->clear();
    lstType->clear();
    cboClient->addItem(QStringLiteral("(aucun)"), 0);
    platform::Database* db = services::Session::cnBD();
    if (!db || !db->isOpen()) return;
    QString sql;
    try {
        sql = sql::clientsSelect();
        for (auto rs = db->open(sql); !rs.eof(); rs.moveNext()) {
            cboClient->addItem(sql::clientText(rs.field(QStringLiteral("Nom")).text(),
                                               rs.field(QStringLiteral("Prenom")).text(),
                                               rs.field(QStringLiteral("NomCie")).text()),
                               rs.field(QStringLiteral("IdClientMsg")).toInt());
            cboClient->setItemData(cboClient->count() - 1, telephonesText(rs), kRoleTelephones);
        }
        sql = sql::prioritesSelect();
        for (auto rs = db->open(sql); !rs.eof(); rs.moveNext())
            cboPriorite->addItem(rs.field(QStringLiteral("Description")).text(),
                                 rs.field(QStringLiteral("IdPriorite")).toInt());
        services::CboSetListIndex(cboPriorite, kPrioriteNormale);
        sql = sql::etatsSelect();
        for (auto rs = db->open(sql); !rs.eof(); rs.moveNext())
            cboEtat->addItem(rs.field(QStringLiteral("Description")).text(),
                             rs.field(QStringLiteral("IdEtat")).toInt());
        services::CboSetListIndex(cboEtat, kEtatInitial);
        sql = sql::typesSelect();
        for (auto rs = db->open(sql); !rs.eof(); rs.moveNext()) {
            auto* item = new QListWidgetItem(rs.field(QStringLiteral("Description")).text(), lstType);
            item->setData(Qt::UserRole, rs.field(QStringLiteral("IdType")).toInt());
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Unchecked);
        }
    } catch (const platform::DbError& e) {
        services::DoErreur(e, kForm, QStringLiteral("remplirListes"));
    }
}

void frmSuiviAppel::remplirDestinatairesPossibles() {
    lstEmploye->clear();
    platform::Database* db = services::Session::cnBD();
    if (!db || !db->isOpen()) return;
    try {
        for (auto rs = db->open(sql::destinatairesPossiblesSelect()); !rs.eof(); rs.moveNext()) {
            auto* item = new QTreeWidgetItem(lstEmploye, {rs.field(QStringLiteral("Nom")).text()});
            item->setData(0, Qt::UserRole, rs.field(QStringLiteral("NoEmploye")).toInt());
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
            item->setCheckState(0, Qt::Unchecked);
        }
    } catch (const platform::DbError& e) {
        services::DoErreur(e, kForm, QStringLiteral("remplirDestinatairesPossibles"));
    }
}

void frmSuiviAppel::ChargeMessage(qint32 IdMessage) {
    nouveauMessage();
    platform::Database* db = services::Session::cnBD();
    if (!db || !db->isOpen()) return;
    bool destinataire = false;
    try {
        if (!lireMessage(IdMessage)) return;
        for (int i = 0; i < lstEmploye->topLevelItemCount(); ++i)
            if (lstEmploye->topLevelItem(i)->data(0, Qt::UserRole).toInt() == services::Session::lngNoEmploye)
                destinataire = true;
        if (destinataire) db->execute(sql::marquerLu(IdMessage, services::Session::lngNoEmploye));
    } catch (const platform::DbError& e) {
        services::DoErreur(e, kForm, QStringLiteral("ChargeMessage"));
        return;
    }
    if (destinataire && services::Session::verifMessages) services::Session::verifMessages(false);
}

bool frmSuiviAppel::lireMessage(qint32 idMessage) {
    platform::Database* db = services::Session::cnBD();
    auto rs = db->open(sql::messageSelect(idMessage));
    if (rs.eof()) return false;

    m_idMessage = idMessage;
    setModeNouveau(false);
    lblDate->setText(rs.field(QStringLiteral("DateSaisie")).toDate().toString(QStringLiteral("yyyy-MM-dd")));
    lblHeure->setText(rs.field(QStringLiteral("HeureSaisie")).toTime().toString(QStringLiteral("HH:mm")));
    m_prioriteOuverte = rs.field(QStringLiteral("IdPriorite")).toInt();
    services::CboSetListIndex(cboPriorite, m_prioriteOuverte);
    const int idClient = rs.field(QStringLiteral("IdClientMsg")).toInt();
    if (!services::CboSetListIndex(cboClient, idClient)) cboClient->setCurrentIndex(0);
    afficherClient(sql::clientText(rs.field(QStringLiteral("Nom")).text(),
                                   rs.field(QStringLiteral("Prenom")).text(),
                                   rs.field(QStringLiteral("NomCie")).text()),
                   telephonesText(rs));
    m_rtfOuvert = rs.field(QStringLiteral("Message")).text();
    txtMessage->setTextRTF(m_rtfOuvert);

    QList<int> types;
    for (auto t = db->open(sql::messageTypesSelect(idMessage)); !t.eof(); t.moveNext())
        types << t.field(QStringLiteral("IdType")).toInt();
    for (int i = 0; i < lstType->count(); ++i)
        lstType->item(i)->setCheckState(
            types.contains(lstType->item(i)->data(Qt::UserRole).toInt()) ? Qt::Checked : Qt::Unchecked);
    QStringList dossiers;
    for (auto d = db->open(sql::messageDossiersSelect(idMessage)); !d.eof(); d.moveNext())
        dossiers << d.field(QStringLiteral("NoDossier")).text();
    txtDossier->setText(dossiers.join(QStringLiteral(", ")));

    // The list now shows this message's recipients, each with his own state.
    lstEmploye->clear();
    const QTreeWidgetItem* moi = nullptr;
    for (auto e = db->open(sql::messageDestinatairesSelect(idMessage)); !e.eof(); e.moveNext()) {
        auto* item = new QTreeWidgetItem(lstEmploye, {e.field(QStringLiteral("Nom")).text(),
                                                      e.field(QStringLiteral("Description")).text()});
        item->setData(0, Qt::UserRole, e.field(QStringLiteral("NoEmplA")).toInt());
        item->setData(1, Qt::UserRole, e.field(QStringLiteral("IdEtat")).toInt());
        item->setFlags(Qt::ItemIsEnabled);
        item->setCheckState(0, Qt::Checked);
        if (item->data(0, Qt::UserRole).toInt() == services::Session::lngNoEmploye) moi = item;
    }
    // The state shown is the one of this employee's own recipient row, none when he is not
    // a recipient: the message itself has no state.
    cboEtat->setCurrentIndex(moi ? cboEtat->findData(moi->data(1, Qt::UserRole)) : -1);
    return true;
}

void frmSuiviAppel::cmdListeMsg_Click() {
    Sablier sablier;
    try {
        if (ouvrirListeMsg) ouvrirListeMsg();
    } catch (const platform::DbError& e) {
        services::DoErreur(e, kForm, QStringLiteral("cmdListeMsg_Click"));
    } catch (const std::exception& e) {
        services::DoErreur(e, kForm, QStringLiteral("cmdListeMsg_Click"));
    }
}

} // namespace entry
