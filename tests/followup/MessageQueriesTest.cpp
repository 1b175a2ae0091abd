#include "followup/MessageQueries.h"

#include <gtest/gtest.h>

using namespace followup;

namespace {

MessageFilter employe(int no, bool recu) {
    MessageFilter f;
    f.booRecu = recu;
    f.intNoEmploye = no;
    f.dateMin = QDate(2024, 3, 8);
    f.dateMax = QDate(2024, 3, 15);
    return f;
}

QString tail(const QString& sql) {
    return sql.mid(sqlMessageSelect().size());
}

} // namespace

TEST(MessageQueries, MessageQueryHeadReadsEveryColumnTheRowNeeds) {
    const QString s = sqlMessageSelect();
    EXPECT_TRUE(s.startsWith(QStringLiteral(
        "SELECT tblmessage.IdMessage, tblemploye1.Nom AS EmplDe, tblemploye2.Nom AS EmplA, "
        "tblmessage.DateSaisie, "
        "tblmessage.HeureSaisie, tblmessageemploye.IdEtat,tbletatmessage.Ordre, tblmessage.IdPriorite, "
        "tblmessageemploye.Nouveau, tblmessageemploye.NoMsgJourRecu, tblmessageemploye.NoMsgJourEnvoi, "
        "CONCAT_WS(',', tblclientmsg.Nom, tblclientmsg.Prenom, tblclientmsg.NomCie) AS Client, "
        "tblclientmsg.Telephone, tblclientmsg.TelBureau, tblclientmsg.Cellulaire, tblclientmsg.AutreTel, "
        "tblclientmsg.Fax, tblmessage.Message FROM tblmessage")));
    EXPECT_TRUE(s.endsWith(QStringLiteral(
        " INNER JOIN tblmessageemploye ON (tblmessage.IdMessage = tblmessageemploye.IdMessage)"
        " INNER JOIN tblemploye AS tblemploye1 ON (tblmessageemploye.NoEmplDe = tblemploye1.NoEmploye)"
        " INNER JOIN tblemploye AS tblemploye2 ON (tblmessageemploye.NoEmplA = tblemploye2.NoEmploye)"
        " INNER JOIN tbletatmessage ON (tblmessageemploye.IdEtat = tbletatmessage.IdEtat)"
        " LEFT JOIN tblclientmsg ON (tblmessage.IdClientMsg = tblclientmsg.IdClientMsg)")));
}

TEST(MessageQueries, WhereClauseFollowsModeEmployeeCallerAndNumber) {
    const QString order = QStringLiteral(
        " GROUP BY tblmessage.IdMessage ORDER BY tblmessage.DateSaisie, tblmessage.HeureSaisie");
    EXPECT_EQ(tail(sqlMessages(employe(7, true))),
              QStringLiteral(" WHERE tblmessageemploye.NoEmplA = 7") + order);
    EXPECT_EQ(tail(sqlMessages(employe(7, false))),
              QStringLiteral(" WHERE tblmessageemploye.NoEmplDe = 7") + order);
    EXPECT_EQ(tail(sqlMessages(employe(0, false))),
              QStringLiteral(" WHERE tblmessageemploye.NoEmplA > -1") + order);

    MessageFilter f = employe(7, true);
    f.lngIdClientMsg = 12;
    f.idMessage = 40000; // beyond what a 16-bit number could hold
    EXPECT_EQ(tail(sqlMessages(f)),
              QStringLiteral(" WHERE tblmessageemploye.NoEmplA = 7 AND tblmessage.IdClientMsg = 12"
                             " AND tblmessage.IdMessage = 40000") +
                  order);
    // Neither finished rows nor the interval are filtered in the message query itself.
    f.affTermine = false;
    EXPECT_FALSE(sqlMessages(f).contains(QStringLiteral("IdEtat <>")));
}

TEST(MessageQueries, TelephoneIsQuotedAndTousMeansNoFilter) {
    MessageFilter f = employe(7, true);
    f.hasTelephone = true;
    f.telephone = QStringLiteral("(514)555-1234");
    EXPECT_EQ(clauseTelephone(f), QStringLiteral(" AND (tblclientmsg.Telephone = '(514)555-1234'"
                                                 " OR tblclientmsg.TelBureau = '(514)555-1234'"
                                                 " OR tblclientmsg.Cellulaire = '(514)555-1234'"
                                                 " OR tblclientmsg.AutreTel = '(514)555-1234'"
                                                 " OR tblclientmsg.Fax = '(514)555-1234')"));
    f.telephone = QStringLiteral("x' OR '1'='1\\");
    EXPECT_TRUE(clauseTelephone(f).contains(QStringLiteral("Telephone = 'x'' OR ''1''=''1\\\\'")));
    EXPECT_FALSE(clauseTelephone(f).contains(QStringLiteral("'x' OR")));

    f.telephone = QStringLiteral("Tous");
    EXPECT_EQ(clauseTelephone(f), QString());
    f.hasTelephone = false;
    f.telephone = QStringLiteral("(514)555-1234");
    EXPECT_EQ(clauseTelephone(f), QString());
    // The entry for callers without any number filters on the empty text.
    f.hasTelephone = true;
    f.telephone.clear();
    EXPECT_TRUE(clauseTelephone(f).startsWith(QStringLiteral(" AND (tblclientmsg.Telephone = ''")));
}

TEST(MessageQueries, RecipientCheckFollowsTheFinishedBoxes) {
    MessageFilter f = employe(7, true);
    const QString head =
        QStringLiteral("SELECT NoEmplA FROM tblmessageemploye WHERE tblmessageemploye.IdMessage = 33");
    f.affTermine = false;
    EXPECT_EQ(sqlVerifDestinataires(f, 33), head + QStringLiteral(" AND tblmessageemploye.IdEtat <> 4"));
    f.affTermine = true;
    f.intervalle = true;
    EXPECT_EQ(
        sqlVerifDestinataires(f, 33),
        head + QStringLiteral(" AND (tblmessageemploye.IdEtat <> 4 OR tblmessageemploye.DateTermine BETWEEN "
                              "'2024-03-08' AND '2024-03-15 23:59:59')"));
    f.intervalle = false;
    EXPECT_EQ(sqlVerifDestinataires(f, 33), head);
}

TEST(MessageQueries, RowQueriesOfOneMessage) {
    EXPECT_EQ(tail(sqlMessageUnique(40001)), QStringLiteral(" WHERE tblmessage.IdMessage = 40001"));
    EXPECT_EQ(sqlDestinataires(5),
              QStringLiteral("SELECT tblemploye.Nom AS EmplA, tblmessageemploye.IdEtat FROM tblemploye"
                             " INNER JOIN tblmessageemploye ON (tblemploye.NoEmploye = "
                             "tblmessageemploye.NoEmplA) WHERE tblmessageemploye.IdMessage = 5"));
    EXPECT_EQ(sqlTypeMessage(5),
              QStringLiteral("SELECT tbltypemessage.Description AS Descr FROM tblmessagetype"
                             " INNER JOIN tbltypemessage ON tblmessagetype.IdType = "
                             "tbltypemessage.IdType WHERE IdMessage = 5"));
    EXPECT_EQ(sqlDossierDetail(5),
              QStringLiteral(
                  "SELECT tblmessagedossier.NoDossier AS NoDos FROM tblmessagedossier WHERE IdMessage = 5"));
}

TEST(MessageQueries, EmployeeLists) {
    EXPECT_EQ(sqlEmployesOrdonnes(),
              QStringLiteral(
                  "SELECT tblemploye.NoEmploye, tblemploye.Nom FROM tblemploye"
                  " INNER JOIN tblacces_empl ON (tblemploye.NoEmploye = tblacces_empl.NoEmploye)"
                  " INNER JOIN tblordreemployemsg ON (tblemploye.NoEmploye = tblordreemployemsg.NoEmploye)"
                  " WHERE tblacces_empl.typeAcces = 14 ORDER BY tblordreemployemsg.Ordre"));
    EXPECT_EQ(sqlEmployesNonOrdonnes(),
              QStringLiteral(
                  "SELECT tblemploye.NoEmploye, tblemploye.Nom FROM tblemploye"
                  " INNER JOIN tblacces_empl ON (tblemploye.NoEmploye = tblacces_empl.NoEmploye)"
                  " WHERE tblacces_empl.typeAcces = 14  AND tblemploye.NoEmploye NOT IN"
                  " (SELECT tblordreemployemsg.NoEmploye FROM tblordreemployemsg) ORDER BY tblemploye.Nom"));
}

TEST(MessageQueries, FilterListsUseBelowOneForEveryEmployee) {
    MessageFilter f = employe(-3, false);
    EXPECT_TRUE(sqlCboClientMsg(f).contains(
        QStringLiteral(" WHERE tblmessageemploye.NoEmplA > -1 AND tblmessageemploye.IdEtat <> 4 GROUP BY "
                       "tblclientmsg.IdClientMsg"
                       " ORDER BY tblclientmsg.Nom, tblclientmsg.Prenom, tblclientmsg.NomCie")));
    f = employe(4, false);
    f.affTermine = true;
    EXPECT_TRUE(sqlCboTelephone(f).endsWith(QStringLiteral(
        " WHERE tblmessageemploye.NoEmplDe = 4 AND (tblmessageemploye.IdEtat <> 4 OR "
        "tblmessageemploye.DateTermine"
        " BETWEEN '2024-03-08' AND '2024-03-15 23:59:59') GROUP BY tblclientmsg.IdClientMsg")));
    EXPECT_TRUE(sqlCboTelephone(f).startsWith(QStringLiteral(
        "SELECT Telephone, TelBureau, Cellulaire, AutreTel, Fax FROM tblclientmsg INNER JOIN")));
}

TEST(MessageQueries, StatusCountPerState) {
    MessageFilter f = employe(4, true);
    f.lngIdClientMsg = 9;
    EXPECT_EQ(sqlCompteEtat(f, 2),
              QStringLiteral("SELECT COUNT(tblmessage.IdMessage) AS NbMsg FROM tblmessage"
                             " LEFT JOIN tblclientmsg ON (tblmessage.IdClientMsg = tblclientmsg.IdClientMsg)"
                             " WHERE tblmessage.IdMessage IN (SELECT IdMessage FROM tblmessageemploye WHERE"
                             " tblmessageemploye.NoEmplA = 4 AND tblmessageemploye.IdEtat = 2)"
                             " AND tblmessage.IdClientMsg = 9"));
    f.intNoEmploye = 0;
    f.lngIdClientMsg = 0;
    EXPECT_TRUE(sqlCompteEtat(f, 3).endsWith(QStringLiteral("WHERE tblmessageemploye.IdEtat = 3)")));
}
