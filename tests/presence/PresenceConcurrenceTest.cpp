#include "PresenceFixture.h"

#include "presence/PresenceEcriture.h"
#include "presence/PresenceEditQueries.h"

#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

// Two threads that start together at each turn, as far as a barrier can make them.
class Depart {
public:
    explicit Depart(int n) : m_n(n) {}
    void attendre() {
        std::unique_lock<std::mutex> l(m_m);
        const int tour = m_tour;
        if (++m_arrives == m_n) {
            m_arrives = 0;
            ++m_tour;
            m_cv.notify_all();
        } else {
            m_cv.wait(l, [&] { return m_tour != tour; });
        }
    }

private:
    std::mutex m_m;
    std::condition_variable m_cv;
    int m_n, m_arrives = 0, m_tour = 0;
};

// Two workstations' boards, each on its own connection, both filled before either writes:
// what one board still shows never decides the note the other's write left.
TEST_F(PresenceBoard, AStaleBoardKeepsNoteAndStateTogether) {
    presence::frmPresence& a = board(2);
    presence::frmPresence b;
    b.resize(1100, 760);
    b.show();
    b.SetDate(QDate(2024, 3, 13));
    auto surA = [&] { services::Session::setConnection(&m_db->db()); };
    auto surB = [&] { services::Session::setConnection(m_autre.get()); };
    // A cell's text and back colour.
    auto cellule = [](presence::frmPresence& w, int row, int col) {
        return (w.SGrid->CellText(row, col) + QStringLiteral(" on %1").arg(w.SGrid->CellBackColor(row, col)))
            .toStdString();
    };
    const std::string vacances = " on " + std::to_string(kVacances),
                      absent = " on " + std::to_string(kAbsent);

    {
        SCOPED_TRACE("A sets Absent, then B, still showing the empty morning, sets Vacances");
        surA();
        clicDroit(a, 4, 4, etatPour(kMatin, 2));
        surB();
        clicDroit(b, 4, 4, etatPour(kMatin, 3));
        EXPECT_EQ(jour("2024-03-13"), (Jour{3, s("Vacances"), 1, kNul}));
        EXPECT_EQ(cellule(b, 4, 4), "Vacances" + vacances);
    }
    {
        SCOPED_TRACE("B sets Vacances, then A, still showing the empty morning, sets Absent");
        surB();
        clicDroit(b, 4, 5, etatPour(kMatin, 3));
        surA();
        clicDroit(a, 4, 5, etatPour(kMatin, 2));
        EXPECT_EQ(jour("2024-03-14"), (Jour{2, s("Absent"), 1, kNul}));
        EXPECT_EQ(cellule(a, 4, 5), "Absent" + absent);
    }
    {
        SCOPED_TRACE("A types a note; B, still showing the empty morning, sets Vacances");
        surA();
        ASSERT_TRUE(saisir(a.SGrid, 4, 6, s("Dentiste")));
        surB();
        clicDroit(b, 4, 6, etatPour(kMatin, 3));
        EXPECT_EQ(jour("2024-03-15"), (Jour{3, s("Dentiste"), 1, kNul}));
        EXPECT_EQ(cellule(b, 4, 6), "Dentiste" + vacances);
    }
    {
        SCOPED_TRACE("A sets the afternoon Absent; B, showing the empty day, sets the whole day Vacances");
        surA();
        clicDroit(a, 5, 7, etatPour(kApresMidi, 2));
        surB();
        clicDroit(b, 4, 7, etatPour(kJournee, 3));
        EXPECT_EQ(jour("2024-03-16"), (Jour{3, s("Vacances"), 3, s("Vacances")}));
        EXPECT_EQ(cellule(b, 5, 7), "Vacances" + vacances);
    }
    {
        SCOPED_TRACE("B types an afternoon note and clears the week's notes: its cells show the stored rows");
        surB();
        saisir(b, 5, 5, s("Rendez-vous"));
        // Thursday's morning is A's Absent, which B had not seen.
        EXPECT_EQ(cellule(b, 4, 5), "Absent" + absent);
        clicDroit(b, 4, 2, effacerNotes(kSemaine));
        EXPECT_EQ(
            value(s("SELECT COUNT(*) FROM tblpresences WHERE DescripAM <> '' OR DescripPM <> ''")).toInt(),
            0);
        EXPECT_EQ(cellule(b, 4, 5), absent);
        EXPECT_EQ(cellule(b, 4, 6), vacances);
    }
    {
        SCOPED_TRACE("a week runs as many statements as a half-day");
        surB();
        auto instructions = [&](int answer) {
            const qint64 avant = m_autre->statementCount();
            clicDroit(b, 4, 2, answer);
            return m_autre->statementCount() - avant;
        };
        EXPECT_EQ(instructions(etatPour(kSemaine, 2)), instructions(etatPour(kMatin, 2)));
        EXPECT_EQ(instructions(effacerNotes(kSemaine)), instructions(effacerNotes(kMatin)));
    }
    services::Session::setConnection(&m_db->db());
}

// Two workstations choose a state for the same empty morning at the same moment, again
// and again: after each turn the stored note must be the stored state's text.
TEST_F(PresenceBoard, TwoWorkstationsChoosingAtTheSameMomentAgree) {
    constexpr int kEssais = 40;
    const QDate jour(2024, 3, 13);
    const platform::ConnectionSettings reglages = m_db->config().connectionSettings();
    Depart depart(3);
    auto poste = [&](qint32 etat, QString* erreur) {
        platform::Database db;
        try {
            db.open(reglages);
        } catch (const platform::DbError& e) {
            *erreur = e.text();
        }
        for (int i = 0; i < kEssais; ++i) {
            depart.attendre(); // the row is gone
            depart.attendre(); // go
            try {
                if (erreur->isEmpty())
                    presence::ecrireEtRelire(
                        db, presence::sqlEcrireEtat(presence::DemiJournees::Matin, etat, 2, {jour}), 2, jour,
                        jour);
            } catch (const platform::DbError& e) {
                *erreur = e.text() + QStringLiteral(" : ") + e.sql();
            }
            depart.attendre(); // both wrote
        }
    };
    QString erreurA, erreurB;
    std::thread a(poste, 2, &erreurA), b(poste, 3, &erreurB);
    int incoherentes = 0;
    QStringList vues;
    for (int i = 0; i < kEssais; ++i) {
        sql(s("DELETE FROM tblpresences"));
        depart.attendre();
        depart.attendre();
        depart.attendre();
        const QString ligne =
            value(s("SELECT CONCAT_WS('|', p.EtatAM, p.DescripAM, e.Description) FROM tblpresences p "
                    "JOIN tbletatpresence e ON e.IdEtat = p.EtatAM"))
                .toString();
        const QStringList champs = ligne.split(QLatin1Char('|'));
        if (champs.size() != 3 || champs[1] != champs[2]) {
            ++incoherentes;
            vues << ligne;
        }
    }
    a.join();
    b.join();
    ASSERT_TRUE(erreurA.isEmpty() && erreurB.isEmpty()) << (erreurA + erreurB).toStdString();
    EXPECT_EQ(incoherentes, 0) << incoherentes << " of " << kEssais
                               << " tries left a note that is not the stored state's text: "
                               << vues.join(s(", ")).toStdString();
}

} // namespace
