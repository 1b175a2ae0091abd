#pragma once

#include <QDialog>
#include <QPointer>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace followup {

// "État du message": when a state is chosen for a message with several recipients, lists
// them all ticked and writes the state to the rows of those left ticked.
//
// The opener sets its own booAnnule to true, fills txtIdMsg and txtEtat, sets Mere to
// itself and runs the dialog modally; afterwards its booAnnule is false exactly when at
// least one recipient row got the new state. "Annuler", closing by the frame or "OK"
// with nobody ticked leave it true. The ticked rows and the audit line are written as
// one transaction, so that another workstation changing the same message meanwhile
// neither loses its line nor gets its state listed out of order.
class frmChangeEtatMsg : public QDialog {
    Q_OBJECT
public:
    explicit frmChangeEtatMsg(QWidget* parent = nullptr);
    ~frmChangeEtatMsg() override;

    // The opener; its "booAnnule" property is written here (Q_PROPERTY or dynamic).
    QPointer<QObject> Mere;

    // Not shown: the message's IdMessage and the chosen state's IdEtat, as decimal text.
    QLineEdit* txtIdMsg() const { return m_txtIdMsg; }
    QLineEdit* txtEtat() const { return m_txtEtat; }

    QLabel* Label1() const { return m_Label1; }
    // One checkable item per recipient: text Nom, Qt::UserRole NoEmploye.
    QListWidget* lstvEmpl() const { return m_lstvEmpl; }
    QPushButton* cmdOk() const { return m_cmdOk; }
    QPushButton* cmdAnnule() const { return m_cmdAnnule; }

    // True once "OK" stored the states together with the message's audit line, which
    // ligneAjoutee() gives (after its line feed; empty for the initial state).
    bool ligneEcrite() const { return m_ligneEcrite; }
    QString ligneAjoutee() const { return m_ligneAjoutee; }

public slots:
    // Lists the message's recipients, all ticked (once per showing).
    void Form_Activate();
    void cmdOk_Click();
    void cmdAnnule_Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void setBooAnnule(bool value);

    QLabel* m_Label1 = nullptr;
    QListWidget* m_lstvEmpl = nullptr;
    QPushButton* m_cmdOk = nullptr;
    QPushButton* m_cmdAnnule = nullptr;
    QLineEdit* m_txtIdMsg = nullptr;
    QLineEdit* m_txtEtat = nullptr;
    bool m_active = false;
    bool m_ligneEcrite = false;
    QString m_ligneAjoutee;
};

} // namespace followup
