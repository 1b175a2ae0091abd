// In-place editing in the message grid: the priority and state picker laid over a
// cell, the recipients sub-grid, and the rich-text editor laid over a message's text.
// What a picked state writes is in SGridMsgEtat.cpp.
#include "followup/SGridMsg.h"

#include "followup/EditQueries.h"
#include "platform/Database.h"
#include "platform/Grid.h"
#include "platform/RtfEdit.h"
#include "platform/Units.h"
#include "services/Session.h"

#include <QComboBox>
#include <QKeyEvent>

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
            m_ImgCbo->setGeometry(g->x() + cell.left(), g->y() + cell.top(),
                                  platform::twipsToPixelsX(priorite ? 1300 : 3200),
                                  platform::twipsToPixelsY(360));
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
                a->move(g->x() + cell.left(), g->y() + cell.top());
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
    m_SGrid->EndEdit();
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
        m_txtRtfEdit->setTextRTF(rs.field(QStringLiteral("Message")).text());
        m_idMessageEdite = id;
        m_txtRtfEdit->setTag(QString::number(row));
        placerEditeurTexte(row);
        m_txtRtfEdit->show();
        m_txtRtfEdit->raise();
        m_txtRtfEdit->setFocus();
        return true;
    } catch (const platform::DbError& e) {
        erreur(e, QStringLiteral("SGrid_MouseUp"), sql);
        return false;
    }
}

void SGridMsg::FinEditText() {
    platform::Grid* g = m_SGrid;
    QString sql;
    try {
        if (!m_txtRtfEdit->tag().isEmpty()) {
            const int row = m_txtRtfEdit->tag().toInt();
            // The message is the one opened in the editor, whatever became of the row since.
            const qint32 id = m_idMessageEdite;
            sql = followup::sqlUpdateMessage(m_txtRtfEdit->textRTF(), id);
            connexion().execute(sql);
            const bool ligne = row >= 1 && row <= g->Rows() && g->CellItemData(row, colNo) == id;
            if (ligne) {
                g->setCellText(row, colMessage, m_txtRtfEdit->text());
                HauteurLigne(row);
            }
            if (m_booRecu && intNoEmploye >= 1) {
                sql = followup::sqlMarquerLu(id, intNoEmploye);
                connexion().execute(sql);
                if (ligne)
                    for (int c = colNo; c <= colDestinataire; ++c)
                        g->setCellForeColor(row, c, -1);
            }
        }
        m_txtRtfEdit->setTag(QString());
        m_idMessageEdite = 0;
        g->EndEdit();
        const bool focus = m_txtRtfEdit->hasFocus();
        m_txtRtfEdit->hide();
        if (focus) g->setFocus();
        g->setRedraw(true);
        m_typeEdition.clear();
    } catch (const platform::DbError& e) {
        // The editor stays open with its text: the next save tries again.
        erreur(e, QStringLiteral("FinEditText"), sql);
    }
}

void SGridMsg::txtRtfEdit_KeyPress(int keyAscii) {
    if (keyAscii == 27) FinEditText();
}

void SGridMsg::SGrid_ScrollChange() {
    CacherEditeurs();
    if (m_SGrid->SelectedRow() == 0 || m_txtRtfEdit->tag().isEmpty()) return;
    // Laid again over the row being edited, shown only while its top is inside the grid.
    placerEditeurTexte(m_txtRtfEdit->tag().toInt());
    const int top = m_txtRtfEdit->y();
    m_txtRtfEdit->setVisible(top >= m_SGrid->y() && top <= m_SGrid->y() + m_SGrid->height());
}

// Over the row's text band: from the number column to the end of the types column, just
// under the row's cells; the editor keeps its own height.
void SGridMsg::placerEditeurTexte(int row) {
    const platform::Grid* g = m_SGrid;
    const QRect no = g->CellRect(row, colNo);
    const QRect types = g->CellRect(row, colTypeMessage);
    const int left = g->x() + no.left();
    const int top = g->y() + no.top() + 1 + g->DefaultRowHeight();
    m_txtRtfEdit->setGeometry(left, top, g->x() + types.left() + types.width() - left,
                              m_txtRtfEdit->height());
}

// Tall enough for the message text, up to twenty rows; beyond that the text is cut and
// turns green to say so.
void SGridMsg::HauteurLigne(int row) {
    platform::Grid* g = m_SGrid;
    const int defaut = g->DefaultRowHeight();
    int h = qint16(g->EvaluateTextHeight(row, colMessage) + defaut + 4);
    if (h > defaut * 20 + 4) {
        h = defaut * 20 + 8;
        g->setCellForeColor(row, colMessage, kVert);
    } else {
        g->setCellForeColor(row, colMessage, kBleuFonce);
    }
    g->setRowHeight(row, h);
}
