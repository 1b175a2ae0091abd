#pragma once

#include "followup/SGridMsg.h"
#include "followup/frmBrowserMdi.h"
#include "followup/frmListeMsg.h"
#include "platform/Clock.h"
#include "platform/Database.h"
#include "platform/Grid.h"
#include "platform/RichTextBox.h"
#include "platform/RtfEdit.h"
#include "platform/SqlText.h"
#include "platform/Units.h"
#include "platform/Workbook.h"
#include "services/ErrorLogger.h"
#include "services/Session.h"
#include "support/Etapes.h"
#include "support/MiseEnPage.h"
#include "support/ScriptedChooser.h"
#include "support/TestDb.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>
#include <tuple>

// A recipient row as stored: its state, when it was finished ("-": not), its unread flag.
struct LigneDest {
    int idEtat = 0;
    QString dateTermine;
    int nouveau = 0;
    bool operator==(const LigneDest& o) const {
        return std::tie(idEtat, dateTermine, nouveau) == std::tie(o.idEtat, o.dateTermine, o.nouveau);
    }
};
inline void PrintTo(const LigneDest& d, std::ostream* os) {
    *os << "{IdEtat " << d.idEtat << ", DateTermine " << d.dateTermine.toStdString() << ", Nouveau "
        << d.nouveau << '}';
}

// A small office: Julie (2) and Marc (3) have their place in the lists, Sophie (4) and
// Éric (5) follow by name, the system employee (1) has no right to appear.
// The clock reads 2024-03-15 10:00, so the finishing interval runs from 03-08 to 03-15.
class SGridMsgDb : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (TestDb::available()) s_db = new TestDb(QStringLiteral("sgridmsg"));
    }
    static void TearDownTestSuite() {
        delete s_db;
        s_db = nullptr;
    }

    void SetUp() override {
        // Workbooks are written to the temporary folder and never deleted by the program:
        // the test's own folder takes them, and goes with the test.
        m_tmpdir = qgetenv("TMPDIR");
        QDir(m_dir.path()).mkdir(QStringLiteral("tmp"));
        qputenv("TMPDIR", QFile::encodeName(m_dir.filePath(QStringLiteral("tmp"))));
        REQUIRE_TEST_DB();
        services::Session::setConnection(&s_db->db());
        services::setErrorLogPath(m_dir.filePath(QStringLiteral("Erreur.log")));
        platform::Clock::setFixed(QDateTime(QDate(2024, 3, 15), QTime(10, 0)));
        services::Session::lngNoEmploye = 2;
        services::Session::strNomEmploye = QStringLiteral("Julie");
        s_db->truncateAll();
        s_db->runScript(QStringLiteral(
            "INSERT INTO tblemploye (NoEmploye, Nom) VALUES (1, 'Système'), (2, 'Julie'), (3, 'Marc'),"
            " (4, 'Sophie'), (5, 'Éric');\n"
            "INSERT INTO tblacces_empl (typeAcces, NoEmploye) VALUES (14, 2), (14, 3), (14, 4), (14, 5);\n"
            "INSERT INTO tblordreemployemsg (NoEmploye, Ordre) VALUES (2, 1), (3, 2);\n"
            "INSERT INTO tbletatmessage (IdEtat, Description, Ordre) VALUES (1, 'Ouvert', 1),"
            " (2, 'En traitement', 2), (3, 'En attente', 3), (4, 'Terminé', 4), (5, 'Annulé', 5);\n"
            "INSERT INTO tblpriorite VALUES (1, 'Urgente'), (2, 'Normale'), (3, 'Basse');\n"
            "INSERT INTO tbltypemessage VALUES (1, 'Rappeler'), (2, 'Information');\n"));
    }
    void TearDown() override {
        if (m_tmpdir.isNull())
            qunsetenv("TMPDIR");
        else
            qputenv("TMPDIR", m_tmpdir);
        if (m_ouvreur) platform::ExcelApplication::setOpener(m_ouvreur);
        for (const QString& f : classeurs)
            QFile::remove(f);
        SGridMsg::setDossierRapports(QString());
        platform::Worksheet::setMaxRows(0);
        services::setErrorLogPath(QString());
        platform::Clock::setFixed(QDateTime());
        services::Session::lngNoEmploye = 0;
        services::Session::strNomEmploye.clear();
    }

    platform::Database& db() { return s_db->db(); }
    void exec(const QString& sql) { db().execute(sql); }
    int count(const QString& sql) { return db().open(sql).field(0).toInt(); }
    int errorReports() { return count(QStringLiteral("SELECT COUNT(*) FROM tblerreur")); }

    // Callers: "(IdClientMsg, Nom, Prenom, NomCie, Telephone, TelBureau, Cellulaire, AutreTel, Fax), ...".
    void clients(const QString& rows) {
        exec(QStringLiteral(
                 "INSERT INTO tblclientmsg (IdClientMsg, Nom, Prenom, NomCie, Telephone, TelBureau, "
                 "Cellulaire, AutreTel, Fax) VALUES ") +
             rows);
    }
    // A message entered on the 14th; the text is stored as RTF.
    void message(int id, const QString& text = QStringLiteral("Bonjour"), int client = 0, int priority = 2,
                 const QString& date = QStringLiteral("2024-03-14"),
                 const QString& time = QStringLiteral("09:05:33")) {
        const QString rtf =
            platform::sqlRichText(QStringLiteral("{\\rtf1\\ansi ") + text + QStringLiteral("}"));
        exec(QStringLiteral("INSERT INTO tblmessage (IdMessage, DateSaisie, HeureSaisie, IdPriorite, "
                            "IdClientMsg, Message) VALUES (%1, '%2', '%3', %4, %5, %6)")
                 .arg(QString::number(id), date, time, QString::number(priority), QString::number(client),
                      rtf));
    }
    // One recipient row; finished is a date-time text or empty (NULL).
    void recipient(int id, int from, int to, int state = 1, int unread = 0,
                   const QString& finished = QString(), int dailyIn = 0, int dailyOut = 0) {
        const QString fin = finished.isEmpty() ? QStringLiteral("NULL") : platform::sqlQuote(finished);
        exec(QStringLiteral(
                 "INSERT INTO tblmessageemploye (IdMessage, NoEmplDe, NoEmplA, Nouveau, IdEtat, "
                 "DateTermine, NoMsgJourRecu, NoMsgJourEnvoi) VALUES (%1, %2, %3, %4, %5, %6, %7, %8)")
                 .arg(QString::number(id), QString::number(from), QString::number(to),
                      QString::number(unread), QString::number(state), fin, QString::number(dailyIn),
                      QString::number(dailyOut)));
    }
    QString scalar(const QString& sql) { return db().open(sql).field(0).text(); }
    QString texteStocke(int id) {
        platform::RichTextBox b;
        b.setTextRTF(scalar(QStringLiteral("SELECT Message FROM tblmessage WHERE IdMessage = %1").arg(id)));
        return b.text();
    }
    // One recipient row of a message; IdEtat 0 when there is none.
    LigneDest ligneDest(int id, int noEmpl) {
        const auto rs = db().open(QStringLiteral("SELECT IdEtat, IFNULL(DateTermine, '-'), Nouveau FROM "
                                                 "tblmessageemploye WHERE IdMessage = %1 AND NoEmplA = %2")
                                      .arg(id)
                                      .arg(noEmpl));
        if (rs.eof()) return {};
        return {rs.field(0).toInt(), rs.field(1).text(), rs.field(2).toInt()};
    }
    // A list's entries.
    static QStringList entries(const QComboBox* c) {
        QStringList out;
        for (int i = 0; i < c->count(); ++i)
            out << c->itemText(i);
        return out;
    }
    // The user picks an entry of a list; false when the list has no such entry.
    [[nodiscard]] static bool choisir(QComboBox* c, const QString& texte) {
        const int i = c->findText(texte, Qt::MatchExactly);
        EXPECT_GE(i, 0) << "no entry " << texte.toStdString() << " in " << c->objectName().toStdString();
        if (i < 0) return false;
        c->setCurrentIndex(i);
        emit c->activated(i);
        return true;
    }
    static QString lire(const QString& path) {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return QString::fromLatin1(f.readAll());
    }
    // Reports go to the test's folder, workbooks are recorded instead of opened.
    void capturerRapports() {
        SGridMsg::setDossierRapports(m_dir.path());
        m_ouvreur = platform::ExcelApplication::setOpener([this](const QString& path) {
            classeurs << path;
            return true;
        });
    }
    // What a Python script given the last workbook prints; openpyxl reads it as any
    // spreadsheet program would.
    QString relire(const char* script) {
        if (classeurs.isEmpty()) return {};
        QProcess py;
        py.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import json, sys, openpyxl\n") + QString::fromUtf8(script),
                  classeurs.last()});
        py.waitForFinished(60000);
        const QByteArray out = py.readAllStandardOutput().trimmed();
        if (out.isEmpty()) ADD_FAILURE() << py.readAllStandardError().constData();
        return QString::fromUtf8(out);
    }
    static QList<followup::frmBrowserMdi*> visionneuses() {
        QList<followup::frmBrowserMdi*> v;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* b = qobject_cast<followup::frmBrowserMdi*>(w)) v << b;
        return v;
    }
    // Message numbers listed, in grid order (group rows left out).
    static QList<int> listed(const SGridMsg& g) {
        QList<int> ids;
        for (int r = 1; r <= g.SGrid()->Rows(); ++r)
            if (!g.SGrid()->RowIsGroup(r)) ids << g.SGrid()->CellItemData(r, SGridMsg::colNo);
        return ids;
    }
    static int rowOf(const SGridMsg& g, int id) {
        for (int r = 1; r <= g.SGrid()->Rows(); ++r)
            if (!g.SGrid()->RowIsGroup(r) && g.SGrid()->CellItemData(r, SGridMsg::colNo) == id) return r;
        return 0;
    }
    static bool struck(const SGridMsg& g, int id) {
        return g.SGrid()->CellFont(rowOf(g, id), SGridMsg::colNo).strikeOut();
    }

    static inline TestDb* s_db = nullptr;
    QTemporaryDir m_dir;
    QStringList classeurs;
    platform::ExcelApplication::Opener m_ouvreur;
    QByteArray m_tmpdir; // TMPDIR before the test; null when it had none
};
