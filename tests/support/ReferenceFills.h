#pragma once

// The grids filled the slow, obvious way: one message, one employee, one day at a time,
// each detail read by its own statement. The differential tests compare the program's
// fills against these cell by cell, and bench_fill times them side by side.
//
// Header only, so that a test binary or a benchmark takes it without another library.

#include "followup/MessageQueries.h"
#include "platform/Clock.h"
#include "platform/Database.h"
#include "platform/Grid.h"
#include "platform/RichTextBox.h"
#include "platform/SqlText.h"
#include "presence/frmPresence.h"
#include "services/Calendar.h"
#include "services/ReportTexts.h"

#include <QStringList>

namespace reference {

using platform::Recordset;

inline QString texte(const Recordset& rs, const char* name) {
    return rs.field(QLatin1String(name)).text();
}
inline int entier(const Recordset& rs, const char* name) {
    return rs.field(QLatin1String(name)).toInt();
}
inline QString nombre(qint64 n) {
    return QString::number(n);
}

// Every value of one column of a statement, joined by ", ".
inline QString joindre(platform::Database& db, const QString& sql, const char* name, int* count = nullptr) {
    QStringList out;
    for (Recordset rs = db.open(sql); !rs.eof(); rs.moveNext())
        out << texte(rs, name);
    if (count) *count = int(out.size());
    return out.join(QStringLiteral(", "));
}

// The finished clause of the recipient check, written out here rather than taken from the
// program, so that a wrong interval in the program's filters shows.
inline QString clauseTermine(const followup::MessageFilter& f) {
    if (!f.affTermine) return QStringLiteral(" AND tblmessageemploye.IdEtat <> 4");
    if (!f.intervalle) return QString();
    return QStringLiteral(" AND (tblmessageemploye.IdEtat <> 4 OR tblmessageemploye.DateTermine BETWEEN '%1' "
                          "AND '%2 23:59:59')")
        .arg(f.dateMin.toString(Qt::ISODate), f.dateMax.toString(Qt::ISODate));
}

// ---- The message grid: rows of the messages the filters list, into a grid laid out as
// the message grid's (the second grid of another SGridMsg).
inline void remplirMessages(const followup::MessageFilter& f, platform::Grid& g, platform::Database& db) {
    constexpr int kUneLigne = platform::kAlignSingleLineEllipsis;
    g.setRedraw(false);
    g.Clear();
    const bool tousTermines = f.affTermine && !f.intervalle;
    platform::RichTextBox rtf;
    // Every message under the caller, telephone and number filters, in order of entry.
    QString filtres = QStringLiteral(" WHERE tblmessage.IdMessage > 0");
    if (f.lngIdClientMsg > 0)
        filtres += QStringLiteral(" AND tblmessage.IdClientMsg = ") + nombre(f.lngIdClientMsg);
    filtres += followup::clauseTelephone(f);
    if (f.idMessage > 0) filtres += QStringLiteral(" AND tblmessage.IdMessage = ") + nombre(f.idMessage);
    // The recipient rows its record may carry: the chosen employee's (received), those he
    // sent, or any.
    const QString employe = f.intNoEmploye == 0
                                ? QStringLiteral(" AND tblmessageemploye.NoEmplA > -1")
                                : QStringLiteral(" AND tblmessageemploye.NoEmpl%1 = %2")
                                      .arg(QLatin1String(f.booRecu ? "A" : "De"), nombre(f.intNoEmploye));
    for (Recordset m =
             db.open(QStringLiteral("SELECT tblmessage.IdMessage FROM tblmessage LEFT JOIN tblclientmsg ON "
                                    "(tblmessage.IdClientMsg = tblclientmsg.IdClientMsg)") +
                     filtres +
                     QStringLiteral(" ORDER BY tblmessage.DateSaisie, tblmessage.HeureSaisie, "
                                    "tblmessage.IdMessage"));
         !m.eof(); m.moveNext()) {
        const qint32 id = entier(m, "IdMessage");
        // The row its record carries, one message at a time: not finished before finished,
        // then the first written; a message without such a row is not listed.
        const Recordset rs = db.open(followup::sqlMessageSelect() +
                                     QStringLiteral(" WHERE tblmessage.IdMessage = ") + nombre(id) + employe +
                                     QStringLiteral(" ORDER BY tblmessageemploye.IdEtat = 4, "
                                                    "tblmessageemploye.IdMessageEmploye LIMIT 1"));
        if (rs.eof()) continue;
        bool barre = false;
        bool affiche = entier(rs, "IdEtat") != 4 || tousTermines || f.idMessage > 0;
        if (!affiche) {
            const Recordset dest = db.open(
                QStringLiteral("SELECT NoEmplA FROM tblmessageemploye WHERE tblmessageemploye.IdMessage = ") +
                nombre(id) + reference::clauseTermine(f));
            QList<int> qui;
            for (Recordset d = dest; !d.eof(); d.moveNext())
                qui << entier(d, "NoEmplA");
            affiche = !qui.isEmpty();
            barre = affiche && f.booRecu && f.intNoEmploye > 0 && !qui.contains(f.intNoEmploye);
        }
        if (!affiche) continue;

        rtf.setTextRTF(texte(rs, "Message"));
        const int row = g.AddRow();
        QFont font = g.GridFont();
        font.setStrikeOut(barre);
        const qint64 couleur = entier(rs, "Nouveau") == 1 ? 0x0000FF : -1;
        g.CellDetails(row, 1, QString(), kUneLigne, entier(rs, "IdPriorite") - 1);
        g.CellDetails(row, 2, QString(), kUneLigne, entier(rs, "Ordre") + 2);
        QString no = nombre(id);
        if (f.intNoEmploye >= 1)
            no += QStringLiteral(" (") + texte(rs, f.booRecu ? "NoMsgJourRecu" : "NoMsgJourEnvoi") +
                  QStringLiteral(")");
        g.CellDetails(row, 3, no, kUneLigne, {}, {}, couleur, font, {}, {}, id);

        QStringList tels;
        for (const char* name : {"Telephone", "Cellulaire", "TelBureau", "AutreTel", "Fax"})
            if (!texte(rs, name).isEmpty()) tels << texte(rs, name);
        QString heure = texte(rs, "HeureSaisie");
        if (heure.size() > 3) heure.chop(3);
        // Every value of one column of a statement about this message.
        const auto liste = [&](const char* sql, const char* name, int* count = nullptr) {
            return joindre(db, QLatin1String(sql) + nombre(id), name, count);
        };
        const QString types =
            liste("SELECT tbltypemessage.Description AS Descr FROM tblmessagetype INNER JOIN "
                  "tbltypemessage ON tblmessagetype.IdType = tbltypemessage.IdType WHERE IdMessage = ",
                  "Descr");
        const QString dossiers = liste(
            "SELECT tblmessagedossier.NoDossier AS NoDos FROM tblmessagedossier WHERE IdMessage = ", "NoDos");
        int c = 4;
        for (const QString& t : {texte(rs, "Client"), tels.join(QStringLiteral(", ")),
                                 texte(rs, "DateSaisie"), heure, texte(rs, "EmplDe"), types, dossiers})
            g.CellDetails(row, c++, t, kUneLigne, {}, {}, couleur, font);

        int n = 0;
        const QString noms =
            liste("SELECT tblemploye.Nom AS EmplA, tblmessageemploye.IdEtat FROM tblemploye INNER JOIN "
                  "tblmessageemploye ON (tblemploye.NoEmploye = tblmessageemploye.NoEmplA) WHERE "
                  "tblmessageemploye.IdMessage = ",
                  "EmplA", &n);
        g.CellDetails(row, 11, noms, kUneLigne, {}, n > 1 ? 0xC0C0FF : -1, couleur, font);

        g.CellDetails(row, 12, rtf.text(), platform::kAlignWordBreak, {}, -1, 0xC00000, font);
        const int d = g.DefaultRowHeight();
        int h = g.EvaluateTextHeight(row, 12) + d + 4;
        if (h > d * 20 + 4) {
            h = d * 20 + 8;
            g.setCellForeColor(row, 12, 0x008000);
        }
        g.setRowHeight(row, h);
    }
    g.setRedraw(true);
}

// ---- The status line: one count per state.
inline QString statusMessages(const followup::MessageFilter& f, platform::Database& db) {
    QString out;
    for (Recordset etats = db.open(QStringLiteral("SELECT * FROM tbletatmessage")); !etats.eof();
         etats.moveNext()) {
        const QString etat = texte(etats, "IdEtat");
        QString sql =
            QStringLiteral("SELECT COUNT(tblmessage.IdMessage) AS NbMsg FROM tblmessage"
                           " LEFT JOIN tblclientmsg ON (tblmessage.IdClientMsg = tblclientmsg.IdClientMsg)"
                           " WHERE tblmessage.IdMessage IN (SELECT IdMessage FROM tblmessageemploye WHERE");
        if (f.intNoEmploye >= 1)
            sql += QStringLiteral(" tblmessageemploye.NoEmpl%1 = %2 AND")
                       .arg(QLatin1String(f.booRecu ? "A" : "De"), nombre(f.intNoEmploye));
        sql += QStringLiteral(" tblmessageemploye.IdEtat = ") + etat + QStringLiteral(")");
        if (f.lngIdClientMsg > 0)
            sql += QStringLiteral(" AND tblmessage.IdClientMsg = ") + nombre(f.lngIdClientMsg);
        const Recordset rs = db.open(sql + followup::clauseTelephone(f));
        if (!rs.eof() && entier(rs, "NbMsg") > 0)
            out += QStringLiteral("%1(%2)   ").arg(texte(etats, "Description"), texte(rs, "NbMsg"));
    }
    return out;
}

// ---- The presence board of the week starting on lundi, seen by employee moi, into the
// grid of another board.
inline int hauteurPresence(const platform::Grid& g, int row) {
    int h = g.DefaultRowHeight();
    for (int c = 1; c <= g.Columns(); ++c)
        h = std::max(h, g.EvaluateTextHeight(row, c) + 4);
    return h;
}

inline QFont policePresence(const QFont& grille, int pointSize = 0, bool bold = false) {
    QFont f;
    f.setFamily(grille.family());
    if (pointSize > 0) f.setPointSize(pointSize);
    f.setBold(bold);
    return f;
}

inline void evenementPresence(platform::Grid& g, int col, const QDate& d, platform::Database& db) {
    const QString mj =
        QStringLiteral("EXTRACT(MONTH FROM DateFete) = '%1' AND EXTRACT(DAY FROM DateFete) = '%2'");
    QString condition = mj.arg(d.month()).arg(d.day());
    if (d.month() == 2 && d.day() == 28 && !QDate::isLeapYear(d.year()))
        condition = QStringLiteral("((%1) OR (%2))").arg(mj.arg(2).arg(28), mj.arg(2).arg(29));
    QStringList fetes;
    for (Recordset rs = db.open(QStringLiteral("SELECT Nom FROM tblemploye WHERE ") + condition +
                                QStringLiteral(" AND Actif = 1"));
         !rs.eof(); rs.moveNext())
        fetes << texte(rs, "Nom");
    const Recordset ev = db.open(
        QStringLiteral("SELECT Description, BackColor, ForeColor FROM tblevenement WHERE DateEvenement = ") +
        platform::sqlDate(d));
    QString t;
    qint64 back = 0xFFFFFF, fore = 0;
    if (!ev.eof()) {
        t = texte(ev, "Description");
        back = ev.field(QStringLiteral("BackColor")).toLongLong();
        fore = ev.field(QStringLiteral("ForeColor")).toLongLong();
    } else {
        services::VerifEvenement(d, t, back, fore);
        if (!fetes.isEmpty() && t.isEmpty()) {
            back = 0x80C0FF;
            fore = 0;
        }
        for (const QString& nom : fetes)
            t += (t.isEmpty() ? QString() : QStringLiteral(", \n")) + services::MsgAnniversaire(nom);
    }
    g.CellDetails(1, col, t, platform::kAlignWordBreak, presence::frmPresence::IconeDuJour(d), back, fore,
                  policePresence(g.GridFont(), 10, true), 0, fetes.isEmpty() ? -1 : 3, -1);
}

inline void lignePresence(platform::Grid& g, qint32 no, const QString& nom, int row, const QDate& lundi,
                          platform::Database& db) {
    while (g.Rows() < row + 1)
        g.AddRow();
    const QFont grille = g.GridFont();
    g.CellDetails(row, 1, nom, platform::kAlignWordBreak, -1, 0xE0FFFF, 0x808000,
                  policePresence(grille, 0, true), 0, -1, no);
    g.CellDetails(row + 1, 1, QString(), platform::kAlignWordBreak, -1, 0xE0FFFF, 0x808000, grille, 0, -1,
                  no);
    for (int i = 0; i < 7; ++i) {
        const QDate d = lundi.addDays(i);
        const Recordset rs = db.open(
            QStringLiteral(
                "SELECT tblpresences.EtatAM, tblpresences.EtatPM, tblpresences.DescripAM, "
                "tblpresences.DescripPM, tbletatpresence.Couleur AS CouleurAM, tbletatpresence1.Couleur "
                "AS CouleurPM FROM tblpresences INNER JOIN tbletatpresence ON (tblpresences.EtatAM = "
                "tbletatpresence.IdEtat) INNER JOIN tbletatpresence AS tbletatpresence1 ON "
                "(tblpresences.EtatPM = tbletatpresence1.IdEtat) WHERE tblpresences.NoEmploye = ") +
            nombre(no) + QStringLiteral(" AND tblpresences.DatePresence = ") + platform::sqlDate(d));
        const QFont f = policePresence(grille, 0, d == platform::Clock::today());
        for (int half = 0; half < 2; ++half) {
            // A day without a row stands in for state 1.
            const bool am = half == 0, vide = rs.eof();
            g.CellDetails(row + half, i + 2, vide ? QString() : texte(rs, am ? "DescripAM" : "DescripPM"),
                          platform::kAlignWordBreak, -1,
                          vide ? 0xFFFFFF
                               : rs.field(QLatin1String(am ? "CouleurAM" : "CouleurPM")).toLongLong(),
                          0, f, 0, -1, vide ? 1 : entier(rs, am ? "EtatAM" : "EtatPM"));
        }
    }
    g.setRowHeight(row, hauteurPresence(g, row));
    g.setRowHeight(row + 1, hauteurPresence(g, row + 1));
    if (g.Rows() < row + 2) g.AddRow();
    g.setRowHeight(row + 2, 2);
    for (int c = 1; c <= g.Columns(); ++c)
        g.setCellBackColor(row + 2, c, 0x808000);
}

inline void remplirPresences(platform::Grid& g, qint32 moi, const QDate& lundi, platform::Database& db) {
    g.setRedraw(false);
    g.Clear();
    g.AddRow();
    g.CellDetails(1, 1, QStringLiteral("Événements spéciaux"), platform::kAlignWordBreak, -1, 0xC0E0FF,
                  0x808000, policePresence(g.GridFont(), 10, true), 0, -1, -1);
    for (int c = 2; c <= g.Columns(); ++c)
        evenementPresence(g, c, lundi.addDays(c - 2), db);
    g.setRowHeight(1, hauteurPresence(g, 1));
    g.AddRow();
    g.setRowHeight(2, 2);
    for (int c = 1; c <= g.Columns(); ++c)
        g.CellDetails(2, c, QString(), platform::kAlignSingleLineEllipsis, -1, 0x808000, -1, g.GridFont(), 0,
                      -1, -1);
    g.AddRow();
    g.setRowHeight(3, 0);

    const QString acces =
        QStringLiteral(" FROM tblemploye INNER JOIN tblacces_empl ON (tblemploye.NoEmploye = "
                       "tblacces_empl.NoEmploye)");
    const QString actifs =
        QStringLiteral(
            " WHERE tblacces_empl.typeAcces = 14 AND tblemploye.Actif = 1 AND tblemploye.NoEmploye <> ") +
        nombre(moi);
    const QString groupes[] = {
        QStringLiteral("SELECT NoEmploye, Nom FROM tblemploye WHERE NoEmploye = ") + nombre(moi),
        QStringLiteral("SELECT tblemploye.NoEmploye, tblemploye.Nom") + acces +
            QStringLiteral(
                " INNER JOIN tblordreemployemsg ON (tblemploye.NoEmploye = tblordreemployemsg.NoEmploye)") +
            actifs + QStringLiteral(" ORDER BY tblordreemployemsg.Ordre"),
        QStringLiteral("SELECT tblemploye.NoEmploye, tblemploye.Nom") + acces + actifs +
            QStringLiteral(" AND tblemploye.NoEmploye NOT IN (SELECT tblordreemployemsg.NoEmploye FROM "
                           "tblordreemployemsg) ORDER BY tblemploye.Nom"),
    };
    int row = 4;
    for (const QString& sql : groupes)
        for (Recordset rs = db.open(sql); !rs.eof(); rs.moveNext(), row += 3)
            lignePresence(g, entier(rs, "NoEmploye"), texte(rs, "Nom"), row, lundi, db);
    g.setRedraw(true);
}

// ---- The first cell in which two grids differ, described; empty when they agree.
inline QString premiereDifference(const platform::GridModel& a, const platform::GridModel& b) {
    const auto taille = [](const platform::GridModel& m) -> QString {
        return nombre(m.Rows()) + QLatin1Char('x') + nombre(m.Columns());
    };
    if (taille(a) != taille(b)) return taille(a) + QStringLiteral(" rows/columns against ") + taille(b);
    // Column 0 stands for the row's height.
    const auto cell = [](const platform::GridModel& m, int r, int c) -> QString {
        if (c == 0) return QStringLiteral("height ") + nombre(m.RowHeight(r));
        return QStringLiteral("%1 | %2 | %3 | %4 | %5 | %6 | %7 | %8 | %9")
            .arg(m.CellText(r, c), nombre(m.CellAlignment(r, c)), nombre(m.CellImage(r, c)),
                 nombre(m.CellExtraImage(r, c)), nombre(m.CellBackColor(r, c)), nombre(m.CellForeColor(r, c)),
                 m.CellFont(r, c).toString(), nombre(m.CellIndent(r, c)), nombre(m.CellItemData(r, c)));
    };
    for (int r = 1; r <= a.Rows(); ++r)
        for (int c = 0; c <= a.Columns(); ++c)
            if (cell(a, r, c) != cell(b, r, c))
                return QStringLiteral("cell (%1, %2): [%3] against [%4]")
                    .arg(nombre(r), nombre(c), cell(a, r, c), cell(b, r, c));
    return QString();
}

} // namespace reference
