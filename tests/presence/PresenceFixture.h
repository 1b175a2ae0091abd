#pragma once

#include "platform/Clock.h"
#include "platform/Grid.h"
#include "platform/Units.h"
#include "presence/frmPresence.h"
#include "services/ErrorLogger.h"
#include "services/Session.h"
#include "support/Etapes.h"
#include "support/MiseEnPage.h"
#include "support/ScriptedChooser.h"
#include "support/TestDb.h"

#include <QDateEdit>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>
#include <tuple>

inline QString s(const char* text) {
    return QString::fromUtf8(text);
}

// A stored day of an employee: the states and notes of its morning and afternoon. A note
// that is NULL reads kNul; a day without a row reads states 0 and notes kNul.
inline const QString kNul = QStringLiteral("NULL");
struct Jour {
    int etatAM = 0;
    QString descripAM = kNul;
    int etatPM = 0;
    QString descripPM = kNul;
    bool operator==(const Jour& o) const {
        return std::tie(etatAM, descripAM, etatPM, descripPM) ==
               std::tie(o.etatAM, o.descripAM, o.etatPM, o.descripPM);
    }
};
inline void PrintTo(const Jour& j, std::ostream* os) {
    *os << "{EtatAM " << j.etatAM << ", DescripAM ";
    PrintTo(j.descripAM, os);
    *os << ", EtatPM " << j.etatPM << ", DescripPM ";
    PrintTo(j.descripPM, os);
    *os << '}';
}

// The presence menu's answers: a state for a target (its digit written in front of the
// state's number), or the clearing of the target's notes.
enum Cible { kMatin = 1, kApresMidi = 2, kJournee = 3, kSemaine = 4 };
constexpr int etatPour(Cible c, int idEtat) {
    int echelle = 10;
    while (echelle <= idEtat)
        echelle *= 10;
    return c * echelle + idEtat;
}
constexpr int effacerNotes(Cible c) {
    return -c;
}
// The legend's menu: add, recolour, remove a state; the events row's: its back or text colour.
enum ChoixLegende { kAjouter = 1, kRecolorer = 2, kRetirer = 3 };
enum ChoixCouleur { kFond = 1, kTexte = 2 };

// A board of the week of Monday 2024-03-11 (today Wednesday 13th) with three states,
// shown offscreen so that clicks land on real cells. Employee 2 is the user without the
// right to manage the board, 3 a colleague, 8 a manager (access type 16); they come in
// that order (rows 4-5, 7-8, 10-11 for employee 2), then Alice, Bob and Yann by name.
// Inactif is never listed.
class PresenceBoard : public ::testing::Test {
protected:
    static constexpr qint64 kBureau = 0xD8F5D8, kAbsent = 0xC0C0FF, kVacances = 16113072;

    void SetUp() override {
        REQUIRE_TEST_DB();
        m_db = std::make_unique<TestDb>(s("presence"));
        services::setErrorLogPath(m_logDir.filePath(s("Erreur.log")));
        sql(s(
            "INSERT INTO tbletatpresence VALUES (1, 'Au bureau', 14218712), (2, 'Absent', 12632319), (3, "
            "'Vacances', 16113072); INSERT INTO tblemploye (NoEmploye, Nom, Actif) VALUES (2, 'Moi', 1), (3, "
            "'Zed', 1), (4, 'Yann', 1), (5, 'Bob', 1), (6, 'Alice', 1), (7, 'Inactif', 0), (8, 'Chef', 1); "
            "INSERT INTO tblacces_empl VALUES (14, 2), (14, 3), (14, 4), (14, 5), (14, 6), (14, 7), (14, 8), "
            "(16, 8); INSERT INTO tblordreemployemsg VALUES (2, 1), (3, 2), (8, 3)"));
        // Another workstation: its own connection to the same database.
        m_autre = std::make_unique<platform::Database>();
        m_autre->open(m_db->config().connectionSettings());
        platform::Clock::setFixed(QDateTime(QDate(2024, 3, 13), QTime(10, 0)));
    }
    void TearDown() override {
        m_w.reset();
        services::Session::onConnectionLost = nullptr;
        platform::Clock::setFixed(QDateTime());
    }
    void sql(const QString& script) { m_db->runScript(script + QLatin1Char(';')); }
    QVariant value(const QString& query) { return m_db->db().open(query).field(0).value(); }
    // The stored day of employee 2.
    Jour jour(const char* date) {
        const auto rs = m_db->db().open(QString::asprintf(
            "SELECT EtatAM, IFNULL(DescripAM, 'NULL'), EtatPM, IFNULL(DescripPM, 'NULL') FROM tblpresences "
            "WHERE NoEmploye = 2 AND DatePresence = '%s'",
            date));
        if (rs.eof()) return {};
        return {rs.field(0).toInt(), rs.field(1).text(), rs.field(2).toInt(), rs.field(3).text()};
    }
    // One column of that day, "-" when it has no row.
    QString jour(const char* date, const char* column) {
        const auto rs = m_db->db().open(QString::asprintf(
            "SELECT %s FROM tblpresences WHERE NoEmploye = 2 AND DatePresence = '%s'", column, date));
        return rs.eof() ? s("-") : rs.field(0).text();
    }
    // The board as employee `no` sees it.
    presence::frmPresence& board(qint32 no = 2, const QDate& d = QDate(2024, 3, 13)) {
        services::Session::lngNoEmploye = no;
        m_w = std::make_unique<presence::frmPresence>();
        m_w->resize(1100, 760);
        m_w->show();
        m_w->SetDate(d);
        return *m_w;
    }
    QStringList names() const {
        QStringList out;
        for (int r = 4; r <= m_w->SGrid->Rows(); r += 3)
            out << m_w->SGrid->CellText(r, 1);
        return out;
    }
    // A right-click released over a cell of a grid, as the grid reports it, answering the
    // menu with `answer` when one is given (0: the answers set before).
    void clicDroit(platform::Grid* g, int row, int col, int answer = 0) {
        if (answer) m_chooser.menuAnswers = {answer};
        g->EnsureVisible(row, col);
        const QPoint p = g->CellRect(row, col).center();
        const float x = float(platform::pixelsToTwipsX(p.x())), y = float(platform::pixelsToTwipsY(p.y()));
        (m_w.get()->*(g == m_w->SGrid ? &presence::frmPresence::SGrid_MouseUp
                                      : &presence::frmPresence::SGridEtat_MouseUp))(2, 0, x, y);
    }
    void clicDroit(int row, int col, int answer = 0) { clicDroit(m_w->SGrid, row, col, answer); }
    // The same on the board of another window.
    void clicDroit(presence::frmPresence& w, int row, int col, int answer) {
        m_chooser.menuAnswers = {answer};
        w.SGrid->EnsureVisible(row, col);
        const QPoint p = w.SGrid->CellRect(row, col).center();
        w.SGrid_MouseUp(2, 0, float(platform::pixelsToTwipsX(p.x())), float(platform::pixelsToTwipsY(p.y())));
    }
    // The grid asks for an editor on a cell; true when the board opened one.
    bool editer(platform::Grid* g, int row, int col) {
        bool cancel = false;
        (m_w.get()->*(g == m_w->SGrid ? &presence::frmPresence::SGrid_RequestEdit
                                      : &presence::frmPresence::SGridEtat_RequestEdit))(row, col, 0, cancel);
        EXPECT_TRUE(cancel); // the grid's own editor never opens
        return m_w->lngLigneEdit == row && m_w->lngColEdit == col && !m_w->txtEdit->isHidden();
    }
    // Opens the editor on a cell, puts a text in and presses Enter; false when no editor opened.
    [[nodiscard]] bool saisir(platform::Grid* g, int row, int col, const QString& texte) {
        const bool ouvert = editer(g, row, col);
        EXPECT_TRUE(ouvert) << "no editor on row " << row << ", column " << col;
        if (!ouvert) return false;
        m_w->txtEdit->setText(texte);
        m_w->txtEdit_KeyDown(13, 0);
        return true;
    }
    void saisir(presence::frmPresence& w, int row, int col, const QString& texte) {
        bool cancel = false;
        w.SGrid_RequestEdit(row, col, 0, cancel);
        ASSERT_EQ(std::pair(w.lngLigneEdit, w.lngColEdit), std::pair(row, col)) << "no editor opened";
        w.txtEdit->setText(texte);
        w.txtEdit_KeyDown(13, 0);
    }
    QString log() const {
        QFile f(m_logDir.filePath(s("Erreur.log")));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

    std::unique_ptr<TestDb> m_db;
    std::unique_ptr<platform::Database> m_autre;
    std::unique_ptr<presence::frmPresence> m_w;
    QTemporaryDir m_logDir;
    ScriptedChooser m_chooser;
};
