// The board that reads the whole week at once against the one that reads each employee's
// day by day, on a random office over three weeks.
#include "PresenceFixture.h"
#include "support/ReferenceFills.h"

#include <QRandomGenerator>

namespace {

using namespace Qt::StringLiterals;

TEST_F(PresenceBoard, EveryCellAgreesWithTheDayByDayFill) {
    platform::Clock::setFixed(QDateTime(QDate(2024, 2, 28), QTime(9, 0)));
    services::Session::lngNoEmploye = 3;

    // Twelve employees: active or not, with or without the right to be listed, with or
    // without a place in the order, born on February 28 or 29, at Christmas, or any day.
    QRandomGenerator rnd(5102);
    QStringList emp, acces, ordre;
    const char* const fetes[] = {"NULL", "'1980-02-28'", "'1984-02-29'", "'1975-12-25'", "'1990-03-01'"};
    for (int no = 2; no <= 13; ++no) {
        emp << u"(%1, 'Employé %2', %3, %4)"_s.arg(no)
                   .arg(QChar(u'A' + (no * 7) % 12))
                   .arg(no % 5 ? 1 : 0)
                   .arg(QLatin1String(fetes[rnd.bounded(5)]));
        if (no % 4) acces << u"(14, %1)"_s.arg(no);
        if (no % 3 == 0) ordre << u"(%1, %2)"_s.arg(no).arg(20 - no);
    }
    sql(u"DELETE FROM tblemploye; DELETE FROM tblacces_empl; DELETE FROM tblordreemployemsg;"
        "INSERT INTO tblemploye (NoEmploye, Nom, Actif, DateFete) VALUES %1; INSERT INTO tblacces_empl "
        "VALUES %2;"
        "INSERT INTO tblordreemployemsg VALUES %3; INSERT INTO tblevenement (DateEvenement, Description, "
        "BackColor, ForeColor) VALUES ('2024-02-27', 'Formation', 65535, 255), ('2024-12-25', 'Fermé', 255, 0)"_s
            .arg(emp.join(u','), acces.join(u','), ordre.join(u',')));

    // Half-days of three weeks: a common year's February 28, a leap year's with today in
    // it, and Christmas; some notes missing, empty or long, and states that no longer exist.
    const QDate lundis[] = {QDate(2023, 2, 27), QDate(2024, 2, 26), QDate(2024, 12, 23)};
    QStringList presences;
    const char* const notes[] = {"NULL", "''", "'Chez le client'",
                                 "'Réunion à Québec toute la journée, retour par le dernier train du soir'"};
    for (const QDate& lundi : lundis)
        for (int no = 2; no <= 13; ++no)
            for (int i = 0; i < 7; ++i)
                if (rnd.bounded(3))
                    presences << u"(%1, '%2', %3, %4, %5, %6)"_s.arg(no)
                                     .arg(lundi.addDays(i).toString(Qt::ISODate))
                                     .arg(1 + rnd.bounded(4))
                                     .arg(1 + rnd.bounded(3))
                                     .arg(QLatin1String(notes[rnd.bounded(4)]),
                                          QLatin1String(notes[rnd.bounded(4)]));
    sql(u"INSERT INTO tblpresences (NoEmploye, DatePresence, EtatAM, EtatPM, DescripAM, DescripPM) VALUES "_s +
        presences.join(QLatin1Char(',')));

    presence::frmPresence board, ref;
    for (const QDate& lundi : lundis) {
        SCOPED_TRACE(lundi.toString(Qt::ISODate).toStdString());
        board.SetDate(lundi);
        ref.SetDate(lundi);
        reference::remplirPresences(*ref.SGrid, 3, lundi, m_db->db());
        ASSERT_GT(board.SGrid->Rows(), 10);
        EXPECT_EQ(reference::premiereDifference(*board.SGrid, *ref.SGrid).toStdString(), "");
    }
    EXPECT_EQ(value(u"SELECT COUNT(*) FROM tblerreur"_s).toInt(), 0);
}

} // namespace
