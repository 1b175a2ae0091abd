#include "entry/TexteMessage.h"

#include "platform/Database.h"
#include "platform/Dialogs.h"
#include "platform/RtfEdit.h"
#include "platform/RtfReader.h"
#include "platform/RtfWriter.h"
#include "platform/SqlText.h"

#include <QLocale>
#include <QTextCursor>
#include <QTextDocument>
#include <memory>

namespace entry {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// What another workstation appended to a text as whole lines (the audit lines of its
// state changes): `stocke` is `avant` followed by a line break and more. Empty when the
// text changed in any other way.
QString lignesAjoutees(const QString& avant, const QString& stocke) {
    const QString a = platform::RtfReader::toPlainText(avant);
    const QString s = platform::RtfReader::toPlainText(stocke);
    if (s.size() <= a.size() || !s.startsWith(a)) return QString();
    QString suite = s.mid(a.size());
    if (!a.isEmpty() && !suite.startsWith(kCrLf)) return QString();
    while (suite.startsWith(kCrLf))
        suite.remove(0, kCrLf.size());
    return suite;
}

// The lines after the document's own text, on lines of their own, in the default format.
void ajouterLignes(QTextDocument* document, const QString& lignes) {
    QTextCursor c(document);
    c.movePosition(QTextCursor::End);
    QString texte = lignes;
    texte.replace(kCrLf, QStringLiteral("\n"));
    if (!document->isEmpty()) texte.prepend(QLatin1Char('\n'));
    c.insertText(texte, QTextCharFormat());
}

QString sqlTexte(qint32 idMessage) {
    return QStringLiteral("SELECT Message FROM tblmessage WHERE IdMessage = %1 FOR UPDATE").arg(idMessage);
}

QString sqlEcrireTexte(const QString& rtf, qint32 idMessage) {
    return QStringLiteral("UPDATE tblmessage SET Message = ") + platform::sqlRichText(rtf) +
           QStringLiteral(" WHERE IdMessage = ") + QString::number(idMessage);
}

} // namespace

TexteEnregistre enregistrerTexteMessage(platform::Database& db, QWidget* parent, qint32 idMessage,
                                        platform::RtfEdit* editeur, QString& rtfOuvert, QString& sql,
                                        const QString& sqlAussi) {
    bool ecrireTexte = editeur->document()->isModified();
    TexteEnregistre resultat = ecrireTexte ? TexteEnregistre::Ecrit : TexteEnregistre::Inchange;
    // The stored text the user agreed to replace, when another workstation changed it.
    QString remplacable = rtfOuvert;
    for (;;) {
        // With nothing to write the message is still looked up: a save of a message deleted
        // meanwhile says so rather than that it was saved. Once the user kept the other
        // workstation's text, nothing is left to look at.
        if (!ecrireTexte && sqlAussi.isEmpty() && resultat == TexteEnregistre::AutreGarde) return resultat;
        QString stocke, ajout, rtf;
        bool conflit = false, disparu = false;
        platform::enTransaction(db, [&] {
            sql = sqlTexte(idMessage);
            const platform::Recordset rs = db.open(sql);
            conflit = false;
            ajout.clear();
            disparu = rs.eof();
            if (disparu) return;
            stocke = rs.field(QStringLiteral("Message")).text();
            if (ecrireTexte) {
                if (stocke == remplacable || stocke == rtfOuvert) {
                    rtf = editeur->textRTF();
                } else if (!(ajout = lignesAjoutees(rtfOuvert, stocke)).isEmpty()) {
                    std::unique_ptr<QTextDocument> copie(editeur->document()->clone());
                    ajouterLignes(copie.get(), ajout);
                    rtf = platform::RtfWriter().write(*copie);
                } else {
                    // Nobody is kept waiting on the lock while the user reads the question.
                    conflit = true;
                    return;
                }
                sql = sqlEcrireTexte(rtf, idMessage);
                db.execute(sql);
            }
            if (!sqlAussi.isEmpty()) {
                sql = sqlAussi;
                db.execute(sql);
            }
        });
        if (disparu) {
            platform::messageBox(
                parent,
                QStringLiteral("Ce message n'existe plus : il a été supprimé sur un autre poste. "
                               "Votre texte reste affiché pour que vous puissiez le copier."),
                QStringLiteral("Message supprimé sur un autre poste"), platform::MsgIcon::Exclamation);
            return TexteEnregistre::Disparu;
        }
        if (!conflit) {
            if (ecrireTexte) {
                if (!ajout.isEmpty()) ajouterLignes(editeur->document(), ajout);
                // Stored: saving again (after a later failure) writes nothing more.
                rtfOuvert = rtf;
                editeur->document()->setModified(false);
            } else if (stocke != rtfOuvert) {
                // The text the user left alone shows what is stored now.
                editeur->setTextRTF(stocke);
                rtfOuvert = stocke;
            }
            return resultat;
        }
        const auto reponse = platform::messageBox(
            parent,
            QStringLiteral("Le texte de ce message a été modifié sur un autre poste depuis que vous l'avez "
                           "ouvert.\n\nVoulez-vous le remplacer par votre texte ? Si vous répondez Non, le "
                           "texte de l'autre poste est gardé et vos modifications sont perdues."),
            QStringLiteral("Message modifié sur un autre poste"), platform::MsgIcon::Exclamation,
            platform::MsgButtons::YesNo);
        if (reponse != platform::MsgResult::Yes) {
            // The editor shows the text that stays; the user's other changes still go in.
            editeur->setTextRTF(stocke);
            rtfOuvert = stocke;
            ecrireTexte = false;
            resultat = TexteEnregistre::AutreGarde;
        }
        remplacable = stocke;
    }
}

void signalerTexteTropLong(QWidget* parent, const platform::Database& db, const QString& titre) {
    platform::messageBox(
        parent,
        QStringLiteral("Le message est trop long pour être enregistré : le serveur accepte au plus %1 "
                       "octets par envoi, et un texte enregistré en prend plusieurs par caractère.")
            .arg(QLocale(QLocale::French, QLocale::Canada).toString(db.maxAllowedPacket())),
        titre, platform::MsgIcon::Exclamation);
}

} // namespace entry
