#pragma once

#include <QPointer>
#include <QWidget>

class QTabWidget;
class SGridMsg;

namespace followup {

// "Suivi des messages": the messages the chosen employee received (first tab) and those
// he sent (second tab), each in its own message grid. One program-wide instance; closing
// the window discards it with both grids and their filters, so the next showing starts
// afresh.
class frmListeMsg : public QWidget {
    Q_OBJECT
    // Read and written by name by the state-change code of the grids.
    Q_PROPERTY(bool booAnnule MEMBER booAnnule)
public:
    // Public so that tests can make their own; the program uses instance().
    explicit frmListeMsg(QWidget* parent = nullptr);
    ~frmListeMsg() override;

    // The program-wide instance, created on first use.
    static frmListeMsg* instance();
    // The program-wide instance when it exists, without creating it.
    static frmListeMsg* existing();

    // Refills both grids with the filters the user left in them.
    void Rafraichir();
    // Rewrites the row of a saved message in each grid that lists it; called by name by
    // the message form after a save. A message not listed is left for the next fill.
    Q_INVOKABLE void UpdateMsg(qint32 IdMessage);

    // Cancel flag of the last state change made from one of the grids.
    bool booAnnule = false;

    QTabWidget* SSTabSuivi() const { return m_SSTabSuivi; }
    SGridMsg* SGridMsgRecu() const { return m_SGridMsgRecu; }
    SGridMsg* SGridMsgEnvoye() const { return m_SGridMsgEnvoye; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void Form_Load();
    void Form_Resize();
    void SGridMsgRecu_Refresh();
    void SGridMsgEnvoye_Refresh();
    // Keeps each grid at its place in the tab control, whatever room the tab bar takes.
    void placerGrilles();

    QTabWidget* m_SSTabSuivi = nullptr;
    SGridMsg* m_SGridMsgRecu = nullptr;
    SGridMsg* m_SGridMsgEnvoye = nullptr;
};

// Opens the message list the way every opener does: hourglass; a hidden window is shown
// then refilled, a visible one refilled, brought to the front and given the focus.
void ouvrirListeMsg();
// The shell's minute tick: an open message list looks for newer messages (sent grid,
// then received grid). Never creates the window.
void sonderListeMsg();

} // namespace followup
