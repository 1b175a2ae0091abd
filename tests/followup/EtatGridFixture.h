#pragma once

#include "SGridMsgFixture.h"
#include "followup/frmChangeEtatMsg.h"

#include <QListWidget>
#include <functional>

// The audit line of a state change at the fixtures' time.
inline QString audit(const QString& etat, const QString& qui = QStringLiteral("Julie")) {
    return QStringLiteral("%1 le 2026-12-07 à 14:03:12 par %2").arg(etat, qui);
}

// The received grid of a message-list window (whose cancel flag the grid and the state
// dialog write by name) in Julie's list on 2026-12-07 at 14:03:12, with the shell's
// unread count recorded instead of run.
class EtatGrille : public SGridMsgDb {
protected:
    void SetUp() override {
        SGridMsgDb::SetUp();
        if (IsSkipped()) return;
        platform::Clock::setFixed(QDateTime(QDate(2026, 12, 7), QTime(14, 3, 12)));
        services::Session::verifMessages = [this](bool notice) {
            verifs << notice;
            return true;
        };
        hote = std::make_unique<followup::frmListeMsg>();
        grille = hote->SGridMsgRecu();
        hote->show(); // the editors are laid over the grid as it is shown
    }
    void TearDown() override {
        services::Session::verifMessages = nullptr;
        SGridMsgDb::TearDown();
    }

    // A message whose stored text is the plain text given, written as the program writes it.
    void messageTexte(int id, const QString& plain) {
        platform::RichTextBox b;
        b.setText(plain);
        exec(QStringLiteral("INSERT INTO tblmessage (IdMessage, DateSaisie, HeureSaisie, IdPriorite, "
                            "IdClientMsg, Message) VALUES (%1, '2026-12-07', '09:00:00', 2, 0, %2)")
                 .arg(id)
                 .arg(platform::sqlRichText(b.textRTF())));
    }
    // The same, sent by Marc to Julie.
    void messageA(int id, const QString& plain, int state = 1, int unread = 0) {
        messageTexte(id, plain);
        recipient(id, 3, 2, state, unread);
    }
    void remplir() { grille->Remplir(); }
    int ligne(int id) { return rowOf(*grille, id); }
    // The grid's edit request on a cell, as a click on the selected cell raises it.
    bool demanderEdition(int row, int col) {
        grille->SGrid()->setSelectedRow(row);
        grille->SGrid()->setSelectedCol(col);
        bool cancel = false;
        emit grille->SGrid()->RequestEdit(row, col, 0, cancel);
        return !cancel;
    }
    using SGridMsgDb::choisir;
    // The user picks an entry of the open picker; false when it has no such entry. Unless an
    // action answers it first, a state dialog that opens is a failure, closed so that the case
    // goes on rather than waiting for a click.
    [[nodiscard]] bool choisir(const QString& texte) {
        QTimer::singleShot(0, hote.get(), [] {
            if (auto* d = qobject_cast<followup::frmChangeEtatMsg*>(QApplication::activeModalWidget())) {
                ADD_FAILURE() << "the state dialog opened, not expected here";
                d->close();
            }
        });
        return SGridMsgDb::choisir(grille->ImgCbo(), texte);
    }
    // Opens the state picker on a row and picks an entry; false when either fails.
    [[nodiscard]] bool changerEtat(int row, const QString& texte) {
        const bool ouvert = demanderEdition(row, SGridMsg::colEtat);
        EXPECT_TRUE(ouvert) << "the state picker did not open on row " << row;
        return ouvert && choisir(texte);
    }
    // The same, for a message of several recipients: the state dialog opens and the
    // action answers it.
    [[nodiscard]] bool changerEtat(int row, const QString& texte,
                                   std::function<void(followup::frmChangeEtatMsg&)> action) {
        QTimer::singleShot(0, hote.get(), [action] { // acts on the dialog once it runs modally
            if (auto* d = qobject_cast<followup::frmChangeEtatMsg*>(QApplication::activeModalWidget()))
                action(*d);
            else
                ADD_FAILURE() << "the state dialog is not open";
        });
        return changerEtat(row, texte);
    }
    // Opens the editor on the message and types at the end of its text; false when it did not open.
    [[nodiscard]] bool ouvrirEtTaper(int id, const QString& texte) {
        const bool ouvert = grille->ModifierMessage(ligne(id));
        EXPECT_TRUE(ouvert) << "the editor did not open on message " << id;
        if (!ouvert) return false;
        grille->txtRtfEdit()->moveCursor(QTextCursor::End);
        grille->txtRtfEdit()->insertPlainText(texte);
        return true;
    }
    void fermerEditeur() { QTest::keyClick(grille->txtRtfEdit(), Qt::Key_Escape); }
    static void decocher(followup::frmChangeEtatMsg& d, const QString& nom) {
        for (int i = 0; i < d.lstvEmpl()->count(); ++i)
            if (d.lstvEmpl()->item(i)->text() == nom) d.lstvEmpl()->item(i)->setCheckState(Qt::Unchecked);
    }
    platform::Grid* g() const { return grille->SGrid(); }

    std::unique_ptr<followup::frmListeMsg> hote;
    SGridMsg* grille = nullptr;
    QList<bool> verifs;
};
