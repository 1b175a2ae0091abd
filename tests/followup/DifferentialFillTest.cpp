// The fill that reads every detail at once against the one that reads them message by
// message, on a random office: every cell of every row, and the status line.
#include "SGridMsgFixture.h"
#include "support/ReferenceFills.h"

#include <QRandomGenerator>

namespace {

class DifferentialFill : public SGridMsgDb {
protected:
    // 400 messages with one to four recipients in every state, finished inside and outside
    // the interval (03-08 to 03-15), callers with missing and empty name parts, types,
    // folders, unread rows and a few texts long enough to be capped.
    void bureauAleatoire() {
        QRandomGenerator rnd(16);
        exec(QStringLiteral("INSERT INTO tblemploye (NoEmploye, Nom) VALUES (6, 'Luc')"));
        // State numbers and their pictures' order differ, as they may in an office.
        exec(QStringLiteral("UPDATE tbletatmessage SET Ordre = 6 - IdEtat WHERE IdEtat IN (2, 3)"));
        exec(QStringLiteral(
            "INSERT INTO tbltypemessage (IdType, Description) VALUES (3, 'Urgent'), (4, 'Suivi')"));
        const char* const parts[] = {"NULL", "''", "'Roy'",           "'Ana'",          "'Acme'",
                                     "NULL", "''", "'(514)555-0001'", "'(450)555-0002'"};
        QStringList lignes;
        for (int c = 1; c <= 30; ++c) {
            QString ligne = QString::number(c);
            for (int p = 0; p < 8; ++p) // three name parts, five telephone numbers
                ligne += QStringLiteral(", ") +
                         QLatin1String(p < 3 ? parts[rnd.bounded(5)] : parts[5 + rnd.bounded(4)]);
            lignes << QLatin1Char('(') + ligne + QLatin1Char(')');
        }
        clients(lignes.join(QLatin1Char(',')));
        for (int id = 1; id <= 400; ++id) {
            // Escaped and plain letters beyond ASCII, one outside the first plane.
            QString texte = QStringLiteral("Message %1 \\'e9t\\'e9 naïve Œuvre 😀").arg(id);
            if (id % 97 == 0)
                for (int l = 0; l < 40; ++l)
                    texte += QStringLiteral("\\par ligne %1").arg(l);
            message(id, texte, rnd.bounded(4) == 0 ? 0 : 1 + rnd.bounded(30), 1 + rnd.bounded(3),
                    QDate(2024, 3, 1).addDays(rnd.bounded(14)).toString(Qt::ISODate),
                    QTime(8, 0).addSecs(rnd.bounded(36000)).toString(QStringLiteral("HH:mm:ss")));
            QList<int> dest{2, 3, 4, 5, 6};
            const int de = 2 + rnd.bounded(5);
            const int n = 1 + rnd.bounded(4);
            for (int r = 0; r < n; ++r) {
                const int a = dest.takeAt(rnd.bounded(dest.size()));
                const int etat = 1 + rnd.bounded(5);
                const QString fin = etat != 4 ? QString()
                                    : rnd.bounded(2)
                                        ? QStringLiteral("2024-03-1%1 12:00:00").arg(rnd.bounded(6))
                                        : QStringLiteral("2024-01-05 12:00:00");
                recipient(id, de, a, etat, rnd.bounded(3) == 0, fin, 1 + rnd.bounded(9), 1 + rnd.bounded(9));
            }
            for (int t = 1; t <= 4; ++t)
                if (rnd.bounded(3) == 0)
                    exec(QStringLiteral("INSERT INTO tblmessagetype VALUES (%1, %2)").arg(id).arg(t));
            for (int d = rnd.bounded(4); d > 0; --d)
                exec(
                    QStringLiteral("INSERT INTO tblmessagedossier (IdMessage, NoDossier) VALUES (%1, 'D-%2')")
                        .arg(id)
                        .arg(rnd.bounded(50)));
        }
    }

    // Fills the grid and the reference under the grid's filters; both must agree.
    void comparer(SGridMsg& g, SGridMsg& ref, qint32 id = 0) {
        g.Remplir(id);
        ASSERT_GT(g.SGrid()->Rows(), 0);
        const followup::MessageFilter f = g.filtre(id);
        reference::remplirMessages(f, *ref.SGrid(), db());
        EXPECT_EQ(reference::premiereDifference(*g.SGrid(), *ref.SGrid()).toStdString(), "");
        EXPECT_EQ(g.lblStatus()->text().toStdString(), reference::statusMessages(f, db()).toStdString());
    }
};

TEST_F(DifferentialFill, EveryCellAndTheStatusLineAgreeWithTheMessageByMessageFill) {
    bureauAleatoire();
    SGridMsg g, ref;
    for (bool termine : {false, true})
        for (bool intervalle : {false, true})
            for (int employe : {0, 2, 3, 4, 5, 6})
                for (bool recu : {true, false}) {
                    SCOPED_TRACE(testing::Message() << "terminés " << termine << " intervalle " << intervalle
                                                    << " employé " << employe << " reçus " << recu);
                    g.chkAffTermine()->setChecked(termine);
                    g.chkIntervalle()->setChecked(intervalle);
                    g.setNoEmploye(employe);
                    g.setBooRecu(recu);
                    comparer(g, ref);
                }

    // A caller and a telephone number narrow the details too; a searched number lists
    // its message whatever its state.
    g.chkAffTermine()->setChecked(false);
    g.setNoEmploye(2);
    g.setBooRecu(true);
    const int tel = g.cboTel()->findText(QStringLiteral("(514)555-0001"));
    ASSERT_GT(tel, 0);
    g.cboTel()->setCurrentIndex(tel);
    ETAPE("téléphone");
    comparer(g, ref);
    g.cboTel()->setCurrentIndex(g.cboTel()->findText(QStringLiteral("Tous")));
    g.setIdClientMsg(
        count(QStringLiteral("SELECT MIN(IdClientMsg) FROM tblmessage INNER JOIN tblmessageemploye ON "
                             "tblmessage.IdMessage = tblmessageemploye.IdMessage WHERE NoEmplA = 2 AND "
                             "IdEtat <> 4 AND IdClientMsg > 0")));
    ETAPE("client");
    comparer(g, ref);
    g.setIdClientMsg(0);
    const int fini = count(
        QStringLiteral("SELECT MIN(IdMessage) FROM tblmessageemploye WHERE IdEtat = 4 AND NoEmplA = 2"));
    ETAPE("numéro cherché");
    g.txtNoMsg()->setText(QString::number(fini));
    comparer(g, ref, fini);
    g.txtNoMsg()->clear();

    // Years before them, 2,000 messages finished long ago, a few of them in the interval or
    // still open for one recipient only: the server leaves out what the grid would drop.
    ETAPE("2,000 messages finished long ago");
    exec(QStringLiteral(
        "INSERT INTO tblmessage (IdMessage, DateSaisie, HeureSaisie, IdPriorite, IdClientMsg, Message) "
        "SELECT seq, '2021-01-01' + INTERVAL seq DIV 4 DAY, '09:00:00', 2, seq % 31, CONCAT('{\\\\rtf1 ', "
        "seq, "
        "'}') FROM seq_1001_to_3000"));
    exec(QStringLiteral(
        "INSERT INTO tblmessageemploye (IdMessage, NoEmplDe, NoEmplA, Nouveau, IdEtat, DateTermine) "
        "SELECT m.seq, 3, a.seq, 0, IF((m.seq + a.seq) % 97 = 0, 5, 4), IF(m.seq % 89 = 0, "
        "'2024-03-15 23:59:59', IF(m.seq % 83 = 0, '2024-03-16 00:00:00', '2022-06-01 08:00:00')) "
        "FROM seq_1001_to_3000 m INNER JOIN seq_2_to_3 a ON (a.seq = 2 OR m.seq % 2 = 0)"));
    for (const auto& [termine, employe, recu] :
         {std::tuple{false, 2, true}, {true, 2, true}, {true, 0, false}}) {
        SCOPED_TRACE(testing::Message() << "2000 de plus, terminés " << termine << " employé " << employe);
        g.chkAffTermine()->setChecked(termine);
        g.chkIntervalle()->setChecked(true);
        g.setNoEmploye(employe);
        g.setBooRecu(recu);
        comparer(g, ref);
    }
    EXPECT_EQ(errorReports(), 0);
}

} // namespace
