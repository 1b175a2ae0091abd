// The filter bar: its handlers, and the caller and telephone lists rebuilt for the
// listed messages.
#include "followup/SGridMsg.h"

#include "entry/frmSuiviAppel.h"
#include "platform/Database.h"
#include "services/ComboHelpers.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

using platform::Recordset;

namespace {

// Windows key code of a key, for the handlers written against those codes. Letters and
// digits have the same codes in both; any other key gets 0, so that no character (the
// period is 0x2E in Qt, Delete's code in Windows) passes for a key it is not.
int codeTouche(const QKeyEvent* key) {
    const int k = key->key();
    if ((k >= Qt::Key_0 && k <= Qt::Key_9) || (k >= Qt::Key_A && k <= Qt::Key_Z)) return k;
    switch (k) {
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Left:
        return 37;
    case Qt::Key_Up:
        return 38;
    case Qt::Key_Right:
        return 39;
    case Qt::Key_Down:
        return 40;
    case Qt::Key_Delete:
        return 46;
    default:
        return 0;
    }
}

// Focus and keys of the filter controls, and the closing of the pickers' calendars,
// handed to the control's handlers.
class FiltreBarre : public QObject {
public:
    FiltreBarre(SGridMsg* owner, QObject* calendrier1, QObject* calendrier2)
        : QObject(owner), m_owner(owner), m_calendrier1(calendrier1), m_calendrier2(calendrier2) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        SGridMsg* g = m_owner;
        if (event->type() == QEvent::Hide) {
            if (watched == m_calendrier1) g->DTPicker1_CloseUp();
            if (watched == m_calendrier2) g->DTPicker2_CloseUp();
            return false;
        }
        if (event->type() == QEvent::FocusIn) {
            g->filtre_GotFocus();
            return false;
        }
        // Turning the wheel over a list the user is not in would change his filter.
        if (event->type() == QEvent::Wheel && qobject_cast<QComboBox*>(watched))
            return !static_cast<QWidget*>(watched)->hasFocus();
        if (event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        const int code = codeTouche(key);
        if (auto* combo = qobject_cast<QComboBox*>(watched)) {
            services::CboKeyDown(combo, code);
            if (code == 13) g->cbo_KeyPress(combo, 13);
            return false;
        }
        if (qobject_cast<QDateEdit*>(watched)) {
            g->DTPicker_KeyDown(code);
            return false;
        }
        if (watched == g->txtNoMsg()) {
            g->txtNoMsg_KeyDown(code);
            // Keys without a character (arrows, Delete) are not typed characters, and
            // moving on or leaving the box is no typing either.
            if (key->text().isEmpty() || code == 9 || code == 13 || code == 27) return false;
            // Select all, copy, cut and paste are the box's own; a paste is checked below.
            if (key->modifiers() & Qt::ControlModifier) return false;
            int ascii = key->text().at(0).unicode();
            g->txtNoMsg_KeyPress(ascii);
            return ascii == 0;
        }
        return false;
    }

private:
    SGridMsg* m_owner;
    QObject* m_calendrier1;
    QObject* m_calendrier2;
};

} // namespace

void SGridMsg::initFiltres() {
    auto* filtreBarre = new FiltreBarre(this, m_DTPicker1->calendarWidget()->window(),
                                        m_DTPicker2->calendarWidget()->window());
    m_DTPicker1->calendarWidget()->window()->installEventFilter(filtreBarre);
    m_DTPicker2->calendarWidget()->window()->installEventFilter(filtreBarre);

    const std::pair<QComboBox*, void (SGridMsg::*)()> combos[] = {
        {m_cboEmpl, &SGridMsg::cboEmpl_Click},
        {m_cboClient, &SGridMsg::cboClient_Click},
        {m_cboTel, &SGridMsg::cboTel_Click},
    };
    for (const auto& [combo, click] : combos) {
        // Type-ahead is ours (CboChange); Qt's own completer would complete a second time.
        combo->setCompleter(nullptr);
        // A wheel turned over the list must not take the focus, and with it the filter.
        combo->setFocusPolicy(Qt::StrongFocus);
        connect(combo, qOverload<int>(&QComboBox::activated), this,
                [this, click = click](int) { (this->*click)(); });
        QComboBox* c = combo;
        connect(combo->lineEdit(), &QLineEdit::textEdited, this, [c] { services::CboChange(c); });
        combo->installEventFilter(filtreBarre);
    }
    for (QWidget* w : {static_cast<QWidget*>(m_DTPicker1), static_cast<QWidget*>(m_DTPicker2),
                       static_cast<QWidget*>(m_txtNoMsg)})
        w->installEventFilter(filtreBarre);
    // A paste (or a drop) holding anything but digits is refused whole, as typing it is.
    m_txtNoMsg->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), m_txtNoMsg));

    connect(m_chkAffTermine, &QCheckBox::clicked, this, &SGridMsg::chkAffTermine_Click);
    connect(m_chkIntervalle, &QCheckBox::clicked, this, &SGridMsg::chkIntervalle_Click);
    connect(m_cmdRecherche, &QPushButton::clicked, this, &SGridMsg::cmdRecherche_Click);
    connect(m_cmdNouveau, &QPushButton::clicked, this, &SGridMsg::cmdNouveau_Click);
}

// Rebuilds the caller and telephone lists for the filters in force; their selections
// made meanwhile start no fill.
void SGridMsg::rebatirListes() {
    booChargement = true;
    RemplirCboClientMsg();
    RemplirCboTelephone();
    booChargement = false;
}

void SGridMsg::cboEmpl_Click() {
    if (m_cboEmpl->isHidden() || booChargement || m_cboEmpl->currentIndex() < 0) return;
    intNoEmploye = qint16(m_cboEmpl->currentData().toInt());
    // Lists first: the fill then runs without the previous employee's caller filter.
    rebatirListes();
    Remplir();
}

void SGridMsg::cboClient_Click() {
    if (booChargement || m_cboClient->currentIndex() < 0) return;
    lngIdClientMsg = m_cboClient->currentData().toInt();
    Remplir();
}

void SGridMsg::cboTel_Click() {
    if (booChargement || m_cboTel->currentIndex() < 0) return;
    Remplir();
}

void SGridMsg::cbo_KeyPress(QComboBox* combo, int keyAscii) {
    if (keyAscii != 13) return;
    const QString texte = combo->currentText();
    for (int i = 0; i < combo->count(); ++i) {
        if (combo->itemText(i) != texte) continue;
        combo->setCurrentIndex(i);
        if (combo == m_cboEmpl)
            cboEmpl_Click();
        else if (combo == m_cboClient)
            cboClient_Click();
        else if (combo == m_cboTel)
            cboTel_Click();
        return;
    }
}

// The handlers below fill with the caller and telephone filters in force, then rebuild
// the lists for the new finished-messages choice, which returns both to "Tous".
void SGridMsg::chkAffTermine_Click() {
    Remplir();
    rebatirListes();
    const bool visible = m_chkAffTermine->isChecked();
    for (QWidget* w : {static_cast<QWidget*>(m_chkIntervalle), static_cast<QWidget*>(m_DTPicker1),
                       static_cast<QWidget*>(m_DTPicker2), static_cast<QWidget*>(m_lblEt)})
        w->setVisible(visible);
}

void SGridMsg::chkIntervalle_Click() {
    const bool actif = m_chkIntervalle->isChecked();
    m_DTPicker1->setEnabled(actif);
    m_DTPicker2->setEnabled(actif);
    Remplir();
    rebatirListes();
}

void SGridMsg::DTPicker1_CloseUp() {
    Remplir();
    rebatirListes();
}

void SGridMsg::DTPicker2_CloseUp() {
    Remplir();
    rebatirListes();
}

void SGridMsg::DTPicker_KeyDown(int keyCode) {
    if (keyCode != 13) return;
    Remplir();
    rebatirListes();
}

void SGridMsg::cmdRecherche_Click() {
    const QString texte = m_txtNoMsg->text().trimmed();
    if (!texte.isEmpty()) {
        // Remplir reads the box itself and refuses what is not a message number.
        qint32 id = texte.toInt();
        Remplir(id);
        m_rechercheNo = true;
    } else {
        Remplir();
        m_rechercheNo = false;
    }
}

void SGridMsg::txtNoMsg_KeyDown(int keyCode) {
    if (keyCode == 13) cmdRecherche_Click();
}

void SGridMsg::txtNoMsg_KeyPress(int& keyAscii) {
    keyAscii = services::ValidNumeriqueSeulement(keyAscii);
}

void SGridMsg::cmdNouveau_Click() {
    setCursor(Qt::WaitCursor);
    // Whatever the form last showed stays in it; after a save it calls this window back.
    entry::frmSuiviAppel* f = entry::frmSuiviAppel::instance();
    f->show();
    f->frmMere = window();
    if (f->isMinimized()) f->showNormal();
    f->raise();
    f->activateWindow();
    unsetCursor();
}

void SGridMsg::filtre_GotFocus() {
    CacherEditeurs();
    FinEditText();
}

void SGridMsg::RemplirCboClientMsg() {
    QString sql;
    try {
        m_cboClient->clear();
        sql = followup::sqlCboClientMsg(filtre());
        Recordset rs = connexion().open(sql);
        m_cboClient->addItem(QStringLiteral("Tous"), 0);
        for (; !rs.eof(); rs.moveNext()) {
            QString texte = rs.field(QStringLiteral("Nom")).text();
            for (const char* part : {"Prenom", "NomCie"}) {
                const QString t = rs.field(QLatin1String(part)).text();
                if (!t.isEmpty()) texte += QStringLiteral(", ") + t;
            }
            m_cboClient->addItem(texte, rs.field(QStringLiteral("IdClientMsg")).toInt());
        }
        // After a rebuild no caller filter is in force.
        m_cboClient->setCurrentIndex(0);
        lngIdClientMsg = 0;
    } catch (const platform::DbError& e) {
        erreur(e, QStringLiteral("RemplirCboClientMsg"), sql);
    }
}

void SGridMsg::RemplirCboTelephone() {
    QString sql;
    try {
        m_cboTel->clear();
        m_cboTel->addItem(QStringLiteral("Tous"), 0);
        sql = followup::sqlCboTelephone(filtre());
        Recordset rs = connexion().open(sql);
        for (; !rs.eof(); rs.moveNext()) {
            // One number per caller: the first one he has.
            QString numero;
            for (const char* name : {"Telephone", "TelBureau", "Cellulaire", "AutreTel", "Fax"}) {
                numero = rs.field(QLatin1String(name)).text();
                if (!numero.isEmpty()) break;
            }
            // The list stays sorted by character code, so "Tous" follows every number.
            int at = 0;
            bool present = false;
            for (; at < m_cboTel->count(); ++at) {
                const int cmp = QString::compare(m_cboTel->itemText(at), numero, Qt::CaseSensitive);
                if (cmp == 0) present = true;
                if (cmp >= 0) break;
            }
            if (!present) m_cboTel->insertItem(at, numero, 0);
        }
        // No telephone filter after a rebuild. "Tous" is the last entry while every number
        // is stored as "(000)000-0000", but a number typed otherwise (lower case, an
        // accent) sorts after it: choose "Tous" itself, not whatever comes last.
        m_cboTel->setCurrentIndex(m_cboTel->findText(QStringLiteral("Tous"), Qt::MatchExactly));
    } catch (const platform::DbError& e) {
        erreur(e, QStringLiteral("RemplirCboTelephone"), sql);
    }
}
