// Time the message editors take on long texts without blanks:
// - opening: the in-place editor loads a stored RTF and lays the text out, against the time
//   the rich-text reader alone takes for the same text in the same process;
// - pasting: one line of 100,000 to 1,000,000 characters pasted into the message form's
//   editor and into the grid's in-place editor ("Modifier le message."), the time the window
//   is held (the paste, then the events and the first paint), against a plain QTextEdit of
//   the same size wrapping anywhere, the least Qt's own layout takes for that line. The
//   in-place editor is then closed with Escape, which saves the text and sizes its row.
//
// "bench_editor 16384" opens only the largest text the column holds (sizes in kilobytes);
// "bench_editor --collage 100000 800000" pastes only those lengths (in characters).
// The in-place editor needs a MariaDB server (CORVEL_TEST_DB_* or DB_*, as scripts/db.sh
// writes them); without one its column is left out.
#include "BenchDatabase.h"
#include "entry/frmSuiviAppel.h"
#include "followup/SGridMsg.h"
#include "platform/Grid.h"
#include "platform/RichTextBox.h"
#include "platform/RtfEdit.h"
#include "platform/RtfReader.h"
#include "platform/RtfWriter.h"
#include "platform/SqlText.h"
#include "services/ErrorLogger.h"
#include "services/Session.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTextEdit>
#include <cstdio>
#include <optional>

namespace {

double seconds(const QElapsedTimer& t) {
    return t.nsecsElapsed() / 1e9;
}

void ouvertures(const QList<int>& sizes) {
    std::printf("Opening a stored text of one word\n");
    std::printf("%10s %12s %12s %12s %8s\n", "text", "reader (s)", "loaded (s)", "shown (s)", "ratio");
    for (const int kb : sizes) {
        const QString word(kb * 1024, QLatin1Char('x'));
        const QString rtf = platform::RtfWriter().writePlain(word);

        QElapsedTimer t;
        t.start();
        QTextDocument doc;
        platform::RtfReader::read(rtf, &doc);
        const double reader = seconds(t);

        platform::RtfEdit editor;
        editor.resize(900, 73);
        editor.show();
        t.restart();
        editor.setTextRTF(rtf);
        const double load = seconds(t);
        QApplication::processEvents(); // the layout and first paint, as when the editor appears
        editor.repaint();
        const double open = seconds(t);
        std::printf("%7d KB %12.3f %12.3f %12.3f %8.1f\n", kb, reader, load, open, open / qMax(reader, 1e-6));
        std::fflush(stdout);
    }
}

// How long the window is held by pasting the clipboard into `editor`: the paste itself,
// then the events it posted and the first paint. False in `entier` when the editor does
// not hold the whole line afterwards.
double coller(QTextEdit* editor, const QString& ligne, bool& entier) {
    QApplication::clipboard()->setText(ligne);
    editor->setFocus();
    QApplication::processEvents();
    QElapsedTimer t;
    t.start();
    editor->paste();
    QApplication::processEvents();
    editor->repaint();
    const double s = seconds(t);
    entier =
        editor->document()->characterCount() - 1 >= ligne.size() && editor->toPlainText().contains(ligne);
    return s;
}

// The received list of "Tous", holding one short message from Marc to Julie.
struct Grille {
    explicit Grille(platform::Database& db) {
        db.execute(
            QStringLiteral("INSERT INTO tblemploye (NoEmploye, Nom) VALUES (1, 'Système'), (2, 'Julie'),"
                           " (3, 'Marc')"));
        db.execute(QStringLiteral("INSERT INTO tbletatmessage (IdEtat, Description, Ordre) VALUES"
                                  " (1, 'Ouvert', 1), (4, 'Terminé', 4)"));
        db.execute(QStringLiteral("INSERT INTO tblpriorite (IdPriorite, Description) VALUES (1, 'Urgente'),"
                                  " (2, 'Normale'), (3, 'Basse')"));
        services::Session::lngNoEmploye = 0;
        grid.resize(1200, 800);
        grid.show();
    }
    // Opens the editor on a fresh copy of the message, as the row menu does.
    platform::RtfEdit* ouvrir(platform::Database& db) {
        platform::RichTextBox b;
        b.setText(QStringLiteral("Rappeler le client : "));
        db.execute(QStringLiteral("REPLACE INTO tblmessage (IdMessage, DateSaisie, HeureSaisie, IdPriorite, "
                                  "IdClientMsg, Message) VALUES (1, CURDATE(), '09:00:00', 2, 0, %1)")
                       .arg(platform::sqlRichText(b.textRTF())));
        db.execute(QStringLiteral("REPLACE INTO tblmessageemploye (IdMessage, NoEmplDe, NoEmplA, Nouveau, "
                                  "IdEtat) VALUES (1, 3, 2, 0, 1)"));
        grid.Remplir();
        if (grid.SGrid()->Rows() < 1 || !grid.ModifierMessage(1)) return nullptr;
        grid.txtRtfEdit()->moveCursor(QTextCursor::End);
        return grid.txtRtfEdit();
    }
    // Escape: the text is saved, the editor closes and the row takes its height.
    double fermer() {
        QElapsedTimer t;
        t.start();
        QKeyEvent echap(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(grid.txtRtfEdit(), &echap);
        QApplication::processEvents();
        grid.repaint();
        return seconds(t);
    }
    SGridMsg grid;
};

void collages(const QList<int>& longueurs) {
    std::printf("\nPasting one line without blanks: seconds the window is held, and the ratio to a plain "
                "QTextEdit of the same size wrapping anywhere\n");
    std::printf("%10s %10s %10s %7s %10s %7s %10s\n", "line", "plain (s)", "form (s)", "ratio", "grid (s)",
                "ratio", "saved (s)");
    std::optional<ScratchDatabase> base;
    std::optional<Grille> grille;
    try {
        base.emplace(QStringLiteral("bench_editor"));
        services::Session::setConnection(&base->db);
        grille.emplace(base->db);
    } catch (const platform::DbError& e) {
        std::printf("(no database, the in-place editor is left out: %s)\n", qPrintable(e.text()));
    } catch (const std::exception& e) {
        std::printf("(no database, the in-place editor is left out: %s)\n", e.what());
    }

    for (const int n : longueurs) {
        const QString ligne(n, QLatin1Char('x'));
        bool entier = true, tout = true;

        entry::frmSuiviAppel form;
        form.show();
        auto* txtMessage = form.findChild<platform::RtfEdit*>(QStringLiteral("txtMessage"));
        QTextEdit simple;
        simple.setWordWrapMode(QTextOption::WrapAnywhere);
        simple.setFont(txtMessage->font());
        simple.resize(txtMessage->size());
        simple.show();
        const double plain = coller(&simple, ligne, entier);
        const double enForm = coller(txtMessage, ligne, entier);
        tout = tout && entier;
        std::printf("%10d %10.3f %10.3f %7.1f", n, plain, enForm, enForm / qMax(plain, 1e-6));
        if (grille) {
            platform::RtfEdit* ed = grille->ouvrir(base->db);
            if (ed) {
                const double enGrille = coller(ed, ligne, entier);
                tout = tout && entier;
                const double ferme = grille->fermer();
                std::printf(" %10.3f %7.1f %10.3f", enGrille, enGrille / qMax(plain, 1e-6), ferme);
            } else {
                std::printf(" (the editor did not open)");
            }
        }
        std::printf("%s\n", tout ? "" : "  TEXT CUT");
        std::fflush(stdout);
    }
    grille.reset();
    services::Session::setConnection(nullptr);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    services::setErrorLogPath(dir.filePath(QStringLiteral("Erreur.log")));

    QList<int> sizes{64, 256, 1024};
    QList<int> longueurs{100000, 200000, 400000, 800000, 1000000};
    bool collage = false, ouverture = false;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLatin1(argv[i]);
        if (arg == QLatin1String("--collage")) {
            if (!collage) longueurs.clear();
            collage = true;
        } else if (collage) {
            longueurs << arg.toInt();
        } else {
            if (!ouverture) sizes.clear();
            ouverture = true;
            sizes << arg.toInt();
        }
    }
    if (!collage) ouvertures(sizes);
    if (!ouverture) collages(longueurs);
    return 0;
}
