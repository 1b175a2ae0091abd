#pragma once

#include <QDate>
#include <QHash>
#include <QList>
#include <QMargins>
#include <QWidget>
#include <array>
#include <functional>

class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QToolButton;

namespace platform {
class Database;
class Grid;
class Recordset;
} // namespace platform

namespace presence {

// "Gestion des présences": the week's board of every listed employee's morning and
// afternoon (SGrid), the legend of the presence states under it (SGridEtat), and the
// date picker with its two week buttons. One window for the whole program.
//
// Files: frmPresence.cpp (loading, grids, navigation), frmPresenceLayout.cpp (layout
// that follows the window's size), frmPresenceFill.cpp (the board's content),
// frmPresenceEdition.cpp (half-days, notes and the in-place editor),
// frmPresenceEvenement.cpp (the events row), frmPresenceEtats.cpp (the legend).
class frmPresence : public QWidget {
    Q_OBJECT
public:
    explicit frmPresence(QWidget* parent = nullptr);
    ~frmPresence() override;

    // The program's one board, created on first use (and again after it was closed).
    static frmPresence* instance();
    // "Présences" of the notification icon's menu: shows the board, brings it to the
    // front and shows the current week.
    static void ouvrir();

    // Shows the week that holds d.
    void SetDate(const QDate& d);
    // Refills the whole board for the week in DTPicker.
    void Remplir();
    // The Monday of the week that holds d; a Sunday belongs to the week ending on it.
    static QDate Lundi(const QDate& d);
    // Icon of the events row for a day (April fool, Easter, St Patrick, national
    // holidays), -1 when none.
    static int IconeDuJour(const QDate& d);

    void Form_Load();
    void Form_Resize();
    void DTPicker_CloseUp();
    void DTPicker_KeyDown(int KeyCode, int Shift);
    void cmdPrecedent_Click();
    void cmdSuivant_Click();
    void chkPresenceAuto_Click();
    // The picker's date moved (typed, wheel, arrows, calendar): back to its Monday.
    void DTPicker_Change();

    // ---- Editing the board
    // Right-click on the board: the presence menu of a half-day, the colour menu of the
    // events row. x and y in twips relative to the grid.
    void SGrid_MouseUp(int Button, int Shift, float X, float Y);
    void SGrid_RequestEdit(int row, int col, int key, bool& cancel);
    void SGrid_SelChange(int row, int col);
    void txtEdit_KeyDown(int KeyCode, int Shift);
    void txtEdit_LostFocus();
    void SGridEtat_MouseUp(int Button, int Shift, float X, float Y);
    void SGridEtat_RequestEdit(int row, int col, int key, bool& cancel);
    void SGridEtat_SelChange(int row, int col);
    // May the user change this board row (his own, or any with the right)? Column 1,
    // separator rows and the thin row under the events row are never changed.
    bool PeutModifier(int row, int col) const;
    // Commits the edit that is open, before the board changes under it. False while the
    // editor holds a note that could not be written: it stays open with its text, and
    // what was about to change the board does not happen.
    bool ValiderEdition();

    // The date a day column (2 Monday to 8 Sunday) shows, read back from its label.
    QDate DateColonne(int col) const;

    // Controls, as the window's handlers and its tests reach them.
    platform::Grid* SGrid = nullptr;
    platform::Grid* SGridEtat = nullptr;
    QLabel* lblEntete[8] = {};
    QLabel* lblDate[7] = {};
    QDateEdit* DTPicker = nullptr;
    QToolButton* cmdPrecedent = nullptr;
    QToolButton* cmdSuivant = nullptr;
    QCheckBox* chkPresenceAuto = nullptr;
    QLineEdit* txtEdit = nullptr; // in-place editor of the cells (hidden until an edit)

    // The logged-in employee may change every employee's cells, the events row and the
    // legend (access type 16); read at each load.
    bool booAccesGestion = false;
    // Cell under edit in txtEdit, 0 when no edit is open.
    qint32 lngLigneEdit = 0;
    qint32 lngColEdit = 0;
    // What txtEdit edits: "Event" an events cell, "Etat" a legend cell, empty a half-day.
    QString txtEditTag;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void creerControles();
    void ensureLoaded();
    void occuperHauteur();
    // The window's frame changed since occuperHauteur last placed it: placed again.
    void tenirDansEcran();
    void InitGrid();
    void InitSgridEtat();
    int HauteurLigne(int row) const;
    void DisposerEntetes();
    // One half-day pair of the shown week, as read with everyone's.
    struct Presence {
        bool existe = false; // a presence row whose two states exist
        QString descrip[2];  // morning, afternoon
        qint64 couleur[2] = {0, 0};
        qint32 etat[2] = {0, 0};
    };
    using Semaine = std::array<Presence, 7>; // Monday first
    QHash<qint32, Semaine> lireSemaines(const QList<qint32>& employes, const QDate& lundi);
    // Presence rows as sqlPresencesJours returns them, by employee, on the week of lundi.
    static QHash<qint32, Semaine> lirePresences(platform::Recordset& rs, const QDate& lundi);
    // The morning and afternoon cells of a day column, from what is stored.
    void afficherJour(int matin, int col, const Presence& p);
    // After a write: the day columns du to au of the employee whose morning row is matin,
    // as the write left them (read back by ecrireEtRelire).
    void afficherRelu(int matin, int du, int au, platform::Recordset& relu);
    void RemplirLigne(qint32 NoEmploye, const QString& Nom, int row, const Semaine& semaine);
    void remplirEvenements();
    void GetEvenement(int row, int col);
    void colorerEntete(QLabel* label, qint64 back, qint64 fore);

    void initEdition();
    bool filtreEditeur(QEvent* event);
    void choisirEtat(int id, int row, int col);
    void effacerTexte(int cible, int row, int col);
    // Writes the days in columns du to au of the employee whose morning row is matin with
    // the statement made for their dates, then shows them as stored. A failure is logged,
    // said, and the board shows again what is stored.
    void
    UpdateEtatPersence(int matin, int du, int au,
                       const std::function<QString(qint32 employe, const QList<QDate>& jours)>& ecriture);
    void ouvrirEditeur(platform::Grid* grid, int row, int col, const QString& tag, int maxLength);
    void placerEditeur(platform::Grid* grid, int row, int col);
    // The character typed on a cell opens its editor and is the first one the user wrote.
    void ajouterToucheTapee(int key);
    void fermerEditeur();
    bool commitNote();
    bool commitEvenement();
    bool commitEtat();
    // Runs one write of the in-place editor; a failure is logged and said, and the edit stays open.
    bool ecrireEdition(const std::function<void(QString& sql)>& ecrire);
    void couleurEvenement(int row, int col);
    // A write failed: says so, and shows again what the database holds.
    void echecEcriture();
    // The shared connection; throws when the program has none.
    static platform::Database& cn();

    // Presence and event writes insert or update the day's row through its unique key: on
    // a database made before those keys every write would add a row. Without them the
    // board only shows those rows, and the opening says once, and logs, what to run.
    void verifierCles();
    bool m_presencesSansCle = false;
    bool m_evenementsSansCle = false;
    bool m_loaded = false;
    QMargins m_cadre{-1, -1, -1, -1}; // the frame around the window when it was last placed
    bool m_enValidation = false;      // a commit is running (its message box takes the focus)
    bool m_echecEdition = false;      // the open edit's last commit failed
    int m_ligneSelection = 0;         // the board's selected row before the last move
    // The check box's caption, on two lines beside it: one line would not fit before the
    // week buttons.
    QLabel* m_lblPresenceAuto = nullptr;
};

} // namespace presence
