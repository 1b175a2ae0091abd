// Saving the message form: a new message with its recipient rows, or the text and
// priority of a message already saved.
#include "entry/EnregistrementMessage.h"
#include "entry/EntryQueries.h"
#include "entry/TexteMessage.h"
#include "entry/frmSuiviAppel.h"
#include "platform/Clock.h"
#include "platform/Database.h"
#include "platform/Dialogs.h"
#include "platform/RtfEdit.h"
#include "platform/TexteLimite.h"
#include "services/ErrorLogger.h"
#include "services/Session.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTreeWidget>

namespace entry {

namespace {

const QString kForm = QStringLiteral("frmSuiviAppel");
const QString kTitre = QStringLiteral("Saisie de message");
// Column sizes: a longer value would be refused by the server halfway through a save.
constexpr int kLongueurDossier = 50;
constexpr qint64 kOctetsMessage = 16777215;

// The form keeps its text when the database is lost: the user is told where to find it.
QString texteNonEnregistre(const platform::DbError& e) {
    if (!e.isTimeout()) return QStringLiteral("Le message n'a pas été enregistré.");
    return QStringLiteral("Le message n'a pas été enregistré : la base de données ne répond pas.\n\n"
                          "Votre texte est gardé : vous le retrouverez dans cette fenêtre dès que la "
                          "base de données répondra.");
}

// A save that failed: a text longer than the server takes is the user's to shorten;
// anything else is logged. Either way nothing was written and the form keeps its text.
void signalerEchec(QWidget* parent, const platform::DbError& e) {
    const platform::Database* db = services::Session::cnBD();
    if (e.number() == platform::DbError::kTropLong && db) {
        signalerTexteTropLong(parent, *db, kTitre);
        return;
    }
    services::DoErreur(e, kForm, QStringLiteral("cmdEnregistrer_Click"));
    platform::messageBox(parent, texteNonEnregistre(e), kTitre, platform::MsgIcon::Critical);
}

} // namespace

bool frmSuiviAppel::valider() {
    if (m_idMessage == 0) {
        bool choisi = false;
        for (int i = 0; i < lstEmploye->topLevelItemCount() && !choisi; ++i)
            choisi = lstEmploye->topLevelItem(i)->checkState(0) == Qt::Checked;
        if (!choisi) {
            platform::messageBox(this, QStringLiteral("Veuillez choisir au moins un destinataire."), kTitre,
                                 platform::MsgIcon::Exclamation);
            lstEmploye->setFocus();
            return false;
        }
        for (const QString& dossier : sql::parseDossiers(txtDossier->text())) {
            if (platform::nombreCaracteres(dossier) <= kLongueurDossier) continue;
            platform::messageBox(this,
                                 QStringLiteral("Le numéro de dossier « %1 » dépasse %2 caractères.")
                                     .arg(dossier, QString::number(kLongueurDossier)),
                                 kTitre, platform::MsgIcon::Exclamation);
            txtDossier->setFocus();
            return false;
        }
    }
    if (txtMessage->toPlainText().trimmed().isEmpty()) {
        platform::messageBox(this, QStringLiteral("Veuillez inscrire le message."), kTitre,
                             platform::MsgIcon::Exclamation);
        txtMessage->setFocus();
        return false;
    }
    if (txtMessage->textRTF().toUtf8().size() > kOctetsMessage) {
        platform::messageBox(this, QStringLiteral("Le message est trop long pour être enregistré."), kTitre,
                             platform::MsgIcon::Exclamation);
        txtMessage->setFocus();
        return false;
    }
    return true;
}

void frmSuiviAppel::cmdEnregistrer_Click() {
    if (!valider()) return;
    const qint32 id = m_idMessage == 0 ? enregistrerNouveau() : enregistrerExistant();
    if (id == 0) return;
    platform::messageBox(this, QStringLiteral("Message enregistré avec succès."), kTitre,
                         platform::MsgIcon::Information);
    rappelerMere(id);
}

qint32 frmSuiviAppel::enregistrerNouveau() {
    platform::Database* db = services::Session::cnBD();
    NouveauMessage m;
    m.moment = platform::Clock::now();
    m.idPriorite = cboPriorite->currentData().toInt();
    m.idClientMsg = cboClient->currentData().toInt();
    m.rtf = txtMessage->textRTF();
    m.dossiers = sql::parseDossiers(txtDossier->text());
    m.noEmplDe = services::Session::lngNoEmploye;
    for (int i = 0; i < lstEmploye->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = lstEmploye->topLevelItem(i);
        if (item->checkState(0) == Qt::Checked) m.destinataires << item->data(0, Qt::UserRole).toInt();
    }
    if (cboEtat->currentIndex() >= 0) m.idEtat = cboEtat->currentData().toInt();
    for (int i = 0; i < lstType->count(); ++i)
        if (lstType->item(i)->checkState() == Qt::Checked)
            m.types << lstType->item(i)->data(Qt::UserRole).toInt();
    qint32 id = 0;
    try {
        if (!db || !db->isOpen())
            throw platform::DbError(2006, QStringLiteral("Connexion fermée"), QString());
        id = enregistrerMessage(*db, m);
    } catch (const platform::DbError& e) {
        signalerEchec(this, e);
        return 0;
    }

    // Shown as saved, so that saving again changes it rather than making a copy.
    try {
        lireMessage(id);
    } catch (const platform::DbError& e) {
        services::DoErreur(e, kForm, QStringLiteral("cmdEnregistrer_Click"));
    }
    return id;
}

qint32 frmSuiviAppel::enregistrerExistant() {
    platform::Database* db = services::Session::cnBD();
    QString sql;
    TexteEnregistre fait = TexteEnregistre::Inchange;
    try {
        if (!db || !db->isOpen())
            throw platform::DbError(2006, QStringLiteral("Connexion fermée"), QString());
        // Only what the user changed: the text as the message list's editor saves it, and
        // the priority when another was chosen.
        const int priorite = cboPriorite->currentData().toInt();
        fait = enregistrerTexteMessage(
            *db, this, m_idMessage, txtMessage, m_rtfOuvert, sql,
            priorite != m_prioriteOuverte ? sql::prioriteUpdate(m_idMessage, priorite) : QString());
        if (fait != TexteEnregistre::Disparu) m_prioriteOuverte = priorite;
    } catch (const platform::DbError& e) {
        signalerEchec(this, e);
        return 0;
    }
    if (fait == TexteEnregistre::Disparu) return 0;
    if (fait == TexteEnregistre::AutreGarde) {
        // The other workstation's text stays; the list shows it, with no word of success.
        rappelerMere(m_idMessage);
        return 0;
    }
    return m_idMessage;
}

void frmSuiviAppel::rappelerMere(qint32 idMessage) {
    if (!frmMere) return;
    // By name: the opener is a window of a layer this one does not know.
    if (!QMetaObject::invokeMethod(frmMere.data(), "UpdateMsg", Q_ARG(qint32, idMessage)))
        services::DoErreur(QStringLiteral("0"), QStringLiteral("UpdateMsg introuvable"),
                           frmMere->objectName(), kForm, QStringLiteral("cmdEnregistrer_Click"), QString());
}

} // namespace entry
