#pragma once

#include <QDate>
#include <QString>

// SQL texts of the message grid, built from a plain copy of its filters so that the exact
// statements can be checked without a database. Numbers are written bare; every text and
// date goes through the quoting helpers.
namespace followup {

struct MessageFilter {
    bool booRecu = true;       // received (true) or sent (false) messages of the employee
    int intNoEmploye = 0;      // 0: every employee ("Tous")
    qint32 lngIdClientMsg = 0; // 0: every caller
    bool hasTelephone = false; // a telephone entry other than "Tous" is chosen
    QString telephone;         // its text
    qint32 idMessage = 0;      // > 0: that message only
    bool affTermine = false;   // "Afficher les messages terminés"
    bool intervalle = true;    // "Messages terminés entre"
    QDate dateMin;             // first day of the finishing interval
    QDate dateMax;             // last day of the finishing interval (to 23:59:59)
};

// Employees with the right to appear in the lists who have a place in the ordered list,
// in that order; then those who have none, by name.
QString sqlEmployesOrdonnes();
QString sqlEmployesNonOrdonnes();

// The message columns with their joins, without any WHERE clause.
QString sqlMessageSelect();
// One record per message that may be listed, its caller's columns and its text (in UTF-8
// bytes, as the server holds it), without
// its recipient rows, in order of entry (date, time, then number): the messages with a row
// of the chosen employee (any message under "Tous"), under the caller, telephone and number
// filters, and with a recipient row that still counts under the finished filters. Which
// recipient row a record carries is the program's choice, from sqlDestinatairesLignes.
QString sqlMessages(const MessageFilter& f);
// The number of the last message, in order of entry, that the employee, caller, telephone
// and number filters let through whatever its recipients' states: the reference above which
// the new-message probe looks, so that a finished message reopened elsewhere is no news.
QString sqlDernierMessageLu(const MessageFilter& f);
// Every recipient row of one message (the row refresh), in the order they were written.
QString sqlMessageUnique(qint32 idMessage);
// Every recipient row of the messages sqlMessages lists, in the order they were written:
// IdMessage, NoEmplA, NoEmplDe, IdEtat, Nouveau; NoMsgJourRecu and NoMsgJourEnvoi when an
// employee is chosen; Compte (1 when it still counts under the finished filters) unless
// every finished row counts.
QString sqlDestinatairesLignes(const MessageFilter& f);
// Every employee's name (NoEmploye, Nom) and every state's picture order and description
// (IdEtat, Ordre, Description), which those rows are read with.
QString sqlNomsEmployes();
QString sqlOrdresEtats();
// Details of every message sqlMessages lists, one statement each whatever their number,
// by message then in the order they were written: the types (IdMessage, Descr) and the
// folders (IdMessage, NoDos).
QString sqlTypesListe(const MessageFilter& f);
QString sqlDossiersListe(const MessageFilter& f);
// Types and folders of one message, in the same order.
QString sqlTypeMessage(qint32 idMessage);
QString sqlDossierDetail(qint32 idMessage);

// " AND (tblclientmsg.Telephone = '...' OR ...)" or nothing.
QString clauseTelephone(const MessageFilter& f);
// Finished rows: hidden, limited to the interval, or all of them.
QString clauseTermine(const MessageFilter& f);

// Caller and telephone lists of the filter bar.
QString sqlCboClientMsg(const MessageFilter& f);
QString sqlCboTelephone(const MessageFilter& f);

// Status line: per state that has any (IdEtat, Description), the number of messages
// with a row in it (NbMsg), by state number.
QString sqlCompteEtats(const MessageFilter& f);

// New-message probe: one unfinished message newer than the last one read, under the
// employee, caller and telephone filters (whatever the finished-messages choice says).
QString sqlVerifNouveauMsg(const MessageFilter& f, qint32 dernierIdMessage);

} // namespace followup
