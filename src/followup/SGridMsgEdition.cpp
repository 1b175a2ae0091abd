// In-place editing in the message grid: the priority and state picker laid over a
// cell, the recipients sub-grid, and the rich-text editor laid over a message's text.
// What a picked state writes is in SGridMsgEtat.cpp.
#include "followup/SGridMsg.h"

#include "entry/EntryQueries.h"
#include "entry/TexteMessage.h"

#include "followup/EditQueries.h"
#include "followup/LigneAudit.h"
#include "platform/Database.h"
#include "platform/Dialogs.h"
#include "platform/Grid.h"
#include "platform/RtfEdit.h"
#include "platform/Units.h"
#include "services/Session.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QScopedValueRollback>
#include <QTextDocument>

using platform::Recordset;

namespace {

// Hands the picker's character keys to its handler, which may swallow them (code 0).
// Keys without a character (arrows, page keys) still move through the entries.
class FiltreTouches : public QObject {
public:
    FiltreTouches(QObject* parent, std::function<void(int&)> handler)
        : QObject(parent), m_handler(std::move(handler)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
        auto* key = static_cast<QKeyEvent*>(event);
        int keyAscii = 0;
        if (key->key() == Qt::Key_Escape)
            keyAscii = 27;
        else if (!key->text().isEmpty())
            keyAscii = key->text().at(0).unicode();
        else
            return false;
        m_handler(keyAscii);
        return keyAscii == 0 || keyAscii == 27;
    }

private:
    std::function<void(int&)> m_handler;
};

// The hourglass while a long text loads into the editor.
struct Sablier {
    Sablier() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~Sablier() { QApplication::restoreOverrideCursor(); }
};

} // namespace

void SGridMsg::initEdition() {
    connect(m_SGrid, &platform::Grid::RequestEdit, this, &SGridMsg::SGrid_RequestEdit, Qt::DirectConnection);
    connect(m_SGrid, &platform::Grid::ScrollChange, this, &SGridMsg::SGrid_ScrollChange);
    connect(m_ImgCbo, qOverload<int>(&QComboBox::activated), this, [this](int) { ImgCbo_Click(); });
    connect(m_txtRtfEdit, &platform::RtfEdit::keyPress, this, &SGridMsg::txtRtfEdit_KeyPress);
    m_ImgCbo->installEventFilter(new FiltreTouches(m_ImgCbo, [this](int& k) { ImgCbo_KeyPress(k); }));
    m_ImgCbo->setIconSize(m_ImageList1.imageSize());
    m_ImgCbo->setEditable(false);
    m_ImgCbo->setMaxVisibleItems(12);
}

void SGridMsg::SGrid_RequestEdit(int row, int col, int /*key*/, bool& cancel) {
    CacherEditeurs();
    FinEditText();

    platform::Grid* g = m_SGrid;
    QString sql;
    try {
        if (col == colPriorite || col == colEtat) {
            const bool priorite = col == colPriorite;
            m_ImgCbo->clear();
            sql = priorite ? followup::sqlPrioritesPicker() : followup::sqlEtatsPicker();
            Recordset rs = connexion().open(sql);
            const int image = g->CellImage(row, col);
            int choisie = -1;
            for (; !rs.eof(); rs.moveNext()) {
                const int id =
                    rs.field(priorite ? QStringLiteral("IdPriorite") : QStringLiteral("IdEtat")).toInt();
                // The picker's pictures count from 1, the grid's from 0; both draw a
                // priority by its number and a state by its order, as the grid does.
                const int imagePicker = priorite ? id : rs.field(QStringLiteral("Ordre")).toInt() + 3;
                const int imageGrille = imagePicker - 1;
                m_ImgCbo->addItem(QIcon(m_ImageList1.pixmap(imagePicker)),
                                  rs.field(QStringLiteral("Description")).text(), id);
                m_ImgCbo->setItemData(m_ImgCbo->count() - 1, imagePicker, kRoleImagePicker);
                if (imageGrille == image) choisie = m_ImgCbo->count() - 1;
            }
            m_ImgCbo->setCurrentIndex(choisie);

            const QRect cell = g->CellRect(row, col);
            m_ImgCboTag = QString::number(row) + QLatin1Char(';') + QString::number(col);
            poserSurGrille(m_ImgCbo,
                           QRect(g->x() + cell.left(), g->y() + cell.top(),
                                 platform::twipsToPixelsX(priorite ? 1300 : 3200),
                                 std::max(platform::twipsToPixelsY(360), m_ImgCbo->sizeHint().height())));
            m_ImgCbo->show();
            m_ImgCbo->raise();
            m_ImgCbo->setFocus();
            m_typeEdition = priorite ? QStringLiteral("Priorite") : QStringLiteral("Etat");
        } else if (col == colDestinataire) {
            platform::Grid* a = m_SGridEmplA;
            sql = followup::sqlDestinatairesEtat(g->CellItemData(row, colNo));
            Recordset rs = connexion().open(sql);
            a->setRedraw(false);
            a->Clear();
            for (; !rs.eof(); rs.moveNext()) {
                const int r = a->AddRow();
                a->CellDetails(r, 1, {}, kUneLigne, rs.field(QStringLiteral("Ordre")).toInt() + 2);
                a->CellDetails(r, 2, rs.field(QStringLiteral("Nom")).text(), kUneLigne, {}, {},
                               rs.field(QStringLiteral("Nouveau")).toInt() == 1 ? kRouge : -1);
            }
            if (rs.recordCount() >= 2) {
                const QRect cell = g->CellRect(row, col);
                poserSurGrille(
                    a, QRect(QPoint(g->x() + cell.left(), g->y() + cell.top()), tailleDestinataires()));
                a->setRedraw(true);
                a->show();
                a->raise();
            } else {
                cancel = true;
            }
        } else {
            cancel = true;
        }
    } catch (const platform::DbError& e) {
        cancel = true;
        erreur(e, QStringLiteral("SGrid_RequestEdit"), sql);
    }
}

void SGridMsg::ImgCbo_KeyPress(int& keyAscii) {
    // The picker takes no typing; Escape closes it without a change.
    if (keyAscii == 27)
        CacherEditeurs();
    else
        keyAscii = 0;
}

void SGridMsg::CacherEditeurs() {
    const bool focus = m_ImgCbo->hasFocus();
    m_ImgCbo->hide();
    m_SGridEmplA->hide();
    if (focus) m_SGrid->setFocus();
    m_SGrid->setRedraw(true);
    m_typeEdition.clear();
}

bool SGridMsg::ModifierMessage(int row) {
    CacherEditeurs();
    FinEditText();
    QString sql;
    try {
        const qint32 id = m_SGrid->CellItemData(row, colNo);
        sql = followup::sqlTexteMessage(id);
        Recordset rs = connexion().open(sql);
        // A row whose message is gone, or a group row, has no record: reading it fails.
        m_rtfOuvert = rs.field(QStringLiteral("Message")).text();
        {
            const Sablier sablier;
            m_txtRtfEdit->setTextRTF(m_rtfOuvert);
        }
        m_idMessageEdite = id;
        m_txtRtfEdit->setTag(QString::number(row));
        placerEditeurTexte(row); // the row grows to hold the editor: bring it into view
        m_SGrid->EnsureVisible(row);
        placerEditeurTexte(row);
        m_txtRtfEdit->raise();
        m_txtRtfEdit->setFocus();
        return true;
    } catch (const platform::DbError& e) {
        erreur(e, QStringLiteral("SGrid_MouseUp"), sql);
        return false;
    }
}

void SGridMsg::FinEditText() {
    // The question about another workstation's change runs a modal loop, in which a
    // fill or a sort would save the same text again.
    if (m_finEditEnCours) return;
    const QScopedValueRollback<bool> enCours(m_finEditEnCours, true);
    platform::Grid* g = m_SGrid;
    QString sql;
    try {
        if (!m_txtRtfEdit->tag().isEmpty()) {
            const int row = m_txtRtfEdit->tag().toInt();
            // The message is the one opened in the editor, whatever became of the row since.
            const qint32 id = m_idMessageEdite;
            const bool modifie = m_txtRtfEdit->document()->isModified();
            // A message deleted meanwhile keeps its editor open with the text.
            if (modifie && !enregistrerTexteEdite(id, sql)) return;
            const bool ligne = row >= 1 && row <= g->Rows() && g->CellItemData(row, colNo) == id;
            if (ligne && modifie) g->setCellText(row, colMessage, m_txtRtfEdit->text());
            // Changed or not, the row gives back the room it made for the editor.
            if (ligne) HauteurLigne(row);
            if (m_booRecu && intNoEmploye >= 1) {
                sql = entry::sql::marquerLu(id, intNoEmploye);
                connexion().execute(sql);
                if (ligne)
                    for (int c = colNo; c <= colDestinataire; ++c)
                        g->setCellForeColor(row, c, -1);
            }
        }
        m_txtRtfEdit->setTag(QString());
        m_idMessageEdite = 0;
        m_rtfOuvert.clear();
        const bool focus = m_txtRtfEdit->hasFocus();
        m_txtRtfEdit->hide();
        if (focus) g->setFocus();
        g->setRedraw(true);
        m_typeEdition.clear();
    } catch (const platform::DbError& e) {
        // The editor stays open with its text: the next save tries again.
        if (e.number() == platform::DbError::kTropLong)
            entry::signalerTexteTropLong(this, connexion(), window()->windowTitle());
        else
            erreur(e, QStringLiteral("FinEditText"), sql);
    }
}

bool SGridMsg::enregistrerTexteEdite(qint32 idMessage, QString& sql) {
    if (entry::enregistrerTexteMessage(connexion(), this, idMessage, m_txtRtfEdit, m_rtfOuvert, sql) !=
        entry::TexteEnregistre::Disparu)
        return true;
    // The user has been told and the text stays to be copied; closing the editor again
    // leaves it without a word, unless more is typed.
    m_txtRtfEdit->document()->setModified(false);
    return false;
}

void SGridMsg::txtRtfEdit_KeyPress(int keyAscii) {
    if (keyAscii == 27) FinEditText();
}

void SGridMsg::SGrid_ScrollChange() {
    CacherEditeurs();
    if (m_SGrid->SelectedRow() == 0 || m_txtRtfEdit->tag().isEmpty()) return;
    // Laid again over the row being edited, shown only while its top is inside the grid.
    placerEditeurTexte(m_txtRtfEdit->tag().toInt());
}

// Over the row's whole text band, just under the row's cells, so that no slice of the text
// beneath shows beside it. The row grows, while edited, to hold the editor's height, and the
// editor shows only while its top is over the grid's rows, cut to them: it never covers the
// next rows, the headers or the scroll bars.
void SGridMsg::placerEditeurTexte(int row) {
    platform::Grid* g = m_SGrid;
    const int hauteur = hauteurEditeurTexte();
    if (g->RowHeight(row) < g->DefaultRowHeight() + 1 + hauteur)
        g->setRowHeight(row, g->DefaultRowHeight() + 1 + hauteur);
    const QRect no = g->CellRect(row, colNo);
    const QRect bande = g->CellRect(row, colMessage);
    const int top = g->y() + no.top() + 1 + g->DefaultRowHeight();
    const QRect voulu(g->x() + bande.left(), top, bande.width(), hauteur);
    const QRect zone = zoneEditeurs();
    m_txtRtfEdit->setGeometry(voulu & zone);
    m_txtRtfEdit->setVisible(top >= zone.top() && top <= zone.bottom());
}

// Tall enough for the message text, up to twenty rows; beyond that the text is cut and
// turns green to say so.
void SGridMsg::HauteurLigne(int row) {
    platform::Grid* g = m_SGrid;
    int h = HauteurPleine(row);
    if (h > g->DefaultRowHeight() * 20 + 4) {
        h = hauteurCoupee();
        g->setCellForeColor(row, colMessage, kVert);
    } else {
        g->setCellForeColor(row, colMessage, kBleuFonce);
    }
    g->setRowHeight(row, h);
}

// Measured in full int: a text taller than 32,767 pixels is an ordinary long message and
// must still come out above the cap, never wrapped round to a negative height.
int SGridMsg::HauteurPleine(int row) const {
    const platform::Grid* g = m_SGrid;
    return g->EvaluateTextHeight(row, colMessage) + g->DefaultRowHeight() + 4;
}

int SGridMsg::hauteurCoupee() const {
    return m_SGrid->DefaultRowHeight() * 20 + 8;
}
