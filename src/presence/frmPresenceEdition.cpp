// Editing the board's half-days: the presence menu of a cell (a state for the morning,
// the afternoon, the day or the week, or clearing notes), the write of one half-day,
// and the in-place editor shared with the events row and the legend.

#include "presence/PresenceEcriture.h"
#include "presence/PresenceEditQueries.h"
#include "presence/frmPresence.h"

#include "platform/Database.h"
#include "platform/Dialogs.h"
#include "platform/Grid.h"
#include "platform/TexteLimite.h"
#include "platform/Units.h"
#include "services/ErrorLogger.h"
#include "services/PopupMenus.h"
#include "services/Session.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <cmath>
#include <stdexcept>

using services::Session;

namespace presence {

namespace {

const QString kForm = QStringLiteral("frmPresence");
const QString kTagEvent = QStringLiteral("Event");
const QString kTagEtat = QStringLiteral("Etat");
const QString kNonEnregistree = QStringLiteral("La modification n'a pas été enregistrée.");

// A day's own rows: the morning row (remainder 1), the afternoon row (remainder 2).
bool ligneMatin(int row) {
    return row % 3 == 1;
}
bool ligneDeDemiJournee(int row) {
    return row >= 4 && row % 3 != 0;
}

} // namespace

void frmPresence::initEdition() {
    connect(SGrid, &platform::Grid::MouseUp, this, &frmPresence::SGrid_MouseUp);
    connect(SGrid, &platform::Grid::RequestEdit, this, &frmPresence::SGrid_RequestEdit, Qt::DirectConnection);
    connect(SGrid, &platform::Grid::SelectionChange, this, &frmPresence::SGrid_SelChange);
    connect(SGrid, &platform::Grid::ScrollChange, this, [this] {
        if (ValiderEdition() || txtEditTag == kTagEtat) return;
        // The note that could not be written stays over its cell, in view.
        SGrid->EnsureVisible(lngLigneEdit, lngColEdit);
        placerEditeur(SGrid, lngLigneEdit, lngColEdit);
    });
    connect(SGridEtat, &platform::Grid::MouseUp, this, &frmPresence::SGridEtat_MouseUp);
    connect(SGridEtat, &platform::Grid::RequestEdit, this, &frmPresence::SGridEtat_RequestEdit,
            Qt::DirectConnection);
    connect(SGridEtat, &platform::Grid::SelectionChange, this, &frmPresence::SGridEtat_SelChange);
    txtEdit->installEventFilter(this);
    // The selected half-day keeps its state's colour; a frame shows which one it is.
    SGrid->setSelectionBackColor(-1);
}

bool frmPresence::PeutModifier(int row, int col) const {
    if (row < 1 || row > SGrid->Rows() || col < 2 || col > SGrid->Columns()) return false;
    if (row == 1) return booAccesGestion && SGrid->CellItemData(1, 1) == -1 && !m_evenementsSansCle;
    if (!ligneDeDemiJournee(row) || m_presencesSansCle) return false;
    return booAccesGestion || SGrid->CellItemData(row, 1) == Session::lngNoEmploye;
}

// ---- The right-click menus

void frmPresence::SGrid_MouseUp(int Button, int /*Shift*/, float X, float Y) {
    if (Button != 2) return;
    int row = 0, col = 0;
    SGrid->CellFromPoint(platform::twipsToPixelsX(int(std::lround(X))),
                         platform::twipsToPixelsY(int(std::lround(Y))), row, col);
    if (row == 0 || !PeutModifier(row, col) || !ValiderEdition()) return;
    if (row == 1) {
        couleurEvenement(row, col);
        return;
    }
    const int id = services::mnuPopPresences(this);
    if (id < 0)
        effacerTexte(-id, row, col);
    else if (id > 0)
        choisirEtat(id, row, col);
}

void frmPresence::effacerTexte(int cible, int row, int col) {
    if (cible < 1 || cible > 4) return;
    const int matin = ligneMatin(row) ? row : row - 1;
    // Only the notes change: the states stay as stored, whatever the board shows.
    const bool am = cible != 2, pm = cible != 1;
    UpdateEtatPersence(
        matin, cible == 4 ? 2 : col, cible == 4 ? SGrid->Columns() : col,
        [&](qint32 employe, const QList<QDate>& jours) { return sqlEffacerNotes(am, pm, employe, jours); });
}

void frmPresence::choisirEtat(int id, int row, int col) {
    // The first digit names the half-days, the others the state.
    const QString chiffres = QString::number(id);
    const int cible = chiffres.left(1).toInt();
    const qint32 etat = chiffres.mid(1).toInt();
    if (cible < 1 || cible > 4 || etat < 1) return;

    QString sql;
    try {
        sql = sqlCouleurDescriptionEtat(etat);
        if (cn().open(sql).eof()) {
            // Removed from another workstation since the menu was made: the record the
            // menu named is gone, which is no lost connection.
            services::DoErreur(QStringLiteral("3021"), QStringLiteral("L'état %1 n'existe plus.").arg(etat),
                               QStringLiteral("corvel"), kForm, QStringLiteral("SGrid_MouseUp"), sql);
            platform::messageBox(this, QStringLiteral("Cet état de présence n'existe plus."));
            InitSgridEtat();
            return;
        }
    } catch (const platform::DbError& e) {
        services::DoErreur(e, kForm, QStringLiteral("SGrid_MouseUp"));
        return;
    }
    // The note each half-day keeps or takes is decided by the database against the row as
    // stored, in the statement that writes the state: another workstation's write since
    // this board was filled is part of it.
    const DemiJournees demi = cible == 1   ? DemiJournees::Matin
                              : cible == 2 ? DemiJournees::ApresMidi
                                           : DemiJournees::Journee;
    UpdateEtatPersence(
        ligneMatin(row) ? row : row - 1, cible == 4 ? 2 : col, cible == 4 ? SGrid->Columns() : col,
        [&](qint32 employe, const QList<QDate>& jours) { return sqlEcrireEtat(demi, etat, employe, jours); });
}

void frmPresence::UpdateEtatPersence(
    int matin, int du, int au,
    const std::function<QString(qint32 employe, const QList<QDate>& jours)>& ecriture) {
    const qint32 employe = SGrid->CellItemData(matin, 1);
    QList<QDate> jours;
    for (int c = du; c <= au; ++c)
        jours << DateColonne(c);
    try {
        platform::Recordset relu =
            ecrireEtRelire(cn(), ecriture(employe, jours), employe, jours.first(), jours.last());
        afficherRelu(matin, du, au, relu);
        return;
    } catch (const platform::DbError& e) {
        services::DoErreur(e, kForm, QStringLiteral("UpdateEtatPersence"));
    } catch (const std::exception& e) {
        services::DoErreur(e, kForm, QStringLiteral("UpdateEtatPersence"));
    }
    echecEcriture();
}

void frmPresence::echecEcriture() {
    platform::messageBox(this, kNonEnregistree, QString(), platform::MsgIcon::Critical);
    Remplir();
}

// ---- Selection

void frmPresence::SGrid_SelChange(int row, int col) {
    // The separators and the hidden row under the events are not cells of the board:
    // the selection steps over them in the direction it was moving.
    const int pas = row >= m_ligneSelection ? 1 : -1;
    int r = row;
    while (r >= 1 && r <= SGrid->Rows() && (r == 2 || r % 3 == 0))
        r += pas;
    if (r < 1 || r > SGrid->Rows())
        r = m_ligneSelection >= 1 && m_ligneSelection <= SGrid->Rows() ? m_ligneSelection : 1;
    if (r != row) {
        SGrid->setSelectedRow(r);
        SGrid->EnsureVisible(r, col);
    }
    m_ligneSelection = r;
}

// ---- The in-place editor

void frmPresence::SGrid_RequestEdit(int row, int col, int key, bool& cancel) {
    cancel = true;
    try {
        if (!PeutModifier(row, col)) return;
        ouvrirEditeur(SGrid, row, col, row == 1 ? kTagEvent : QString(), kLongueurNote);
        ajouterToucheTapee(key);
    } catch (const std::exception& e) {
        services::DoErreur(e, kForm, QStringLiteral("SGrid_RequestEdit"));
    }
}

void frmPresence::ouvrirEditeur(platform::Grid* grid, int row, int col, const QString& tag, int maxLength) {
    if (!ValiderEdition()) return;
    txtEditTag = tag;
    platform::limiterSaisie(txtEdit, maxLength);
    txtEdit->setToolTip(QStringLiteral("%1 caractères au plus").arg(maxLength));
    txtEdit->setText(grid->CellText(row, col));
    QPalette pal = txtEdit->palette();
    pal.setColor(QPalette::Base,
                 platform::colorFromBgr(grid->CellBackColor(row, col) == -1 ? grid->BackColor()
                                                                            : grid->CellBackColor(row, col)));
    pal.setColor(QPalette::Text,
                 platform::colorFromBgr(grid->CellForeColor(row, col) == -1 ? grid->ForeColor()
                                                                            : grid->CellForeColor(row, col)));
    txtEdit->setPalette(pal);
    txtEdit->setFont(grid->CellFont(row, col));
    placerEditeur(grid, row, col);
    txtEdit->raise();
    lngLigneEdit = row;
    lngColEdit = col;
    txtEdit->show();
    txtEdit->setFocus();
}

void frmPresence::placerEditeur(platform::Grid* grid, int row, int col) {
    // Over the cell, and never beyond the grid's visible part.
    QRect cellule = grid->CellRect(row, col).intersected(grid->viewport()->geometry());
    txtEdit->setGeometry(cellule.translated(grid->pos()));
}

void frmPresence::ajouterToucheTapee(int key) {
    // A click (0) and F2 open the editor without writing anything.
    if (key <= 0 || key > 0x10FFFF || !txtEdit->isVisible()) return;
    const char32_t c = char32_t(key);
    txtEdit->end(false);
    txtEdit->insert(QString::fromUcs4(&c, 1));
}

bool frmPresence::filtreEditeur(QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* k = static_cast<QKeyEvent*>(event);
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
            txtEdit_KeyDown(13, 0);
            return true;
        }
        if (k->key() == Qt::Key_Escape) {
            txtEdit_KeyDown(27, 0);
            return true;
        }
    } else if (event->type() == QEvent::FocusOut) {
        // Another window coming to the front is not leaving the cell.
        const Qt::FocusReason r = static_cast<QFocusEvent*>(event)->reason();
        if (r != Qt::ActiveWindowFocusReason && r != Qt::PopupFocusReason) txtEdit_LostFocus();
    }
    return false;
}

void frmPresence::txtEdit_KeyDown(int KeyCode, int /*Shift*/) {
    if (KeyCode == 27) {
        fermerEditeur();
        return;
    }
    if (KeyCode != 13 || lngLigneEdit < 1 || m_enValidation) return;
    m_enValidation = true;
    bool ok = false;
    if (txtEditTag == kTagEtat) {
        ok = commitEtat();
    } else {
        ok = txtEditTag == kTagEvent ? commitEvenement() : commitNote();
        if (ok && lngLigneEdit >= 1 && lngLigneEdit <= SGrid->Rows())
            SGrid->setRowHeight(lngLigneEdit, HauteurLigne(lngLigneEdit));
    }
    m_enValidation = false;
    if (ok) fermerEditeur();
}

void frmPresence::txtEdit_LostFocus() {
    if (lngLigneEdit >= 1 && txtEdit->isVisible()) txtEdit_KeyDown(13, 0);
}

void frmPresence::fermerEditeur() {
    // Hidden first: the loss of focus this causes finds no edit to commit.
    const bool focus = txtEdit->hasFocus();
    txtEdit->hide();
    if (focus) (txtEditTag == kTagEtat ? SGridEtat : SGrid)->setFocus();
    lngLigneEdit = 0;
    lngColEdit = 0;
    txtEditTag.clear();
    m_echecEdition = false;
}

bool frmPresence::ValiderEdition() {
    if (lngLigneEdit < 1) return true;
    // A failed commit has said so once: Enter or leaving the cell tries again, the
    // board's moves do not.
    if (!m_enValidation && !m_echecEdition) txtEdit_KeyDown(13, 0);
    return lngLigneEdit < 1;
}

bool frmPresence::commitNote() {
    return ecrireEdition([this](QString& sql) {
        const bool am = lngLigneEdit % 3 != 2;
        const qint32 employe = SGrid->CellItemData(lngLigneEdit, 1);
        const QString texte = platform::couperTexte(txtEdit->text(), kLongueurNote);
        const QDate jour = DateColonne(lngColEdit);
        sql = sqlEcrireNote(am, employe, jour, texte);
        platform::Recordset relu = ecrireEtRelire(cn(), sql, employe, jour, jour);
        afficherRelu(am ? lngLigneEdit : lngLigneEdit - 1, lngColEdit, lngColEdit, relu);
    });
}

bool frmPresence::ecrireEdition(const std::function<void(QString& sql)>& ecrire) {
    QString sql;
    try {
        ecrire(sql);
        return true;
    } catch (const platform::DbError& e) {
        services::DoErreur(e, kForm, QStringLiteral("txtEdit_KeyDown"));
    } catch (const std::exception& e) {
        services::DoErreur(e, kForm, QStringLiteral("txtEdit_KeyDown"), sql);
    }
    // The editor stays open with its text: the next Enter tries again.
    m_echecEdition = true;
    platform::messageBox(this, kNonEnregistree, QString(), platform::MsgIcon::Critical);
    return false;
}

} // namespace presence
