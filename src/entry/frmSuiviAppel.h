#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTreeWidget;

namespace platform {
class RtfEdit;
}

namespace entry {

// The message form, "Saisie de message": records a telephone message for one or
// more colleagues, and shows a message opened from the message list.
// One program-wide instance, shown modeless.
class frmSuiviAppel : public QWidget {
    Q_OBJECT
public:
    // Public so that tests can make their own; the program uses instance().
    explicit frmSuiviAppel(QWidget* parent = nullptr);
    ~frmSuiviAppel() override;

    // The program-wide instance, created on first use.
    static frmSuiviAppel* instance();

    // The window to call back after a save: its UpdateMsg(qint32) is called by name.
    QPointer<QObject> frmMere;

    // Opens the message list and refreshes it; the shell sets it (the list lives in a
    // layer this one cannot see).
    static std::function<void()> ouvrirListeMsg;

    // Loads a message and its recipient rows. When the logged-in employee is one of
    // its recipients, his unread flag is cleared and the shell counts again. An
    // unknown number leaves the form empty, ready for a new message.
    void ChargeMessage(qint32 IdMessage);

    // The message shown; 0 for a new one.
    qint32 idMessage() const { return m_idMessage; }

public slots:
    void cmdNouveau_Click();
    void cmdEnregistrer_Click();
    void cmdListeMsg_Click();

private:
    void buildUi();
    // Clears the form for a new message, filling its lists again from the database.
    void nouveauMessage();
    void remplirListes();
    void remplirDestinatairesPossibles();
    void afficherClient(const QString& texte, const QString& telephones);
    void setModeNouveau(bool nouveau);
    // Reads the message into the form; returns false when there is no such message.
    bool lireMessage(qint32 idMessage);
    bool valider();
    // Each returns the saved message's number, 0 when nothing was saved.
    qint32 enregistrerNouveau();
    qint32 enregistrerExistant();
    void rappelerMere(qint32 idMessage);

    qint32 m_idMessage = 0;
    // The loaded message's stored text and priority: a save writes only what changed.
    QString m_rtfOuvert;
    int m_prioriteOuverte = 0;

    QLabel* lblDate = nullptr;
    QLabel* lblHeure = nullptr;
    QComboBox* cboClient = nullptr;
    QLabel* lblClient = nullptr;
    QLabel* lblTelephones = nullptr;
    QComboBox* cboPriorite = nullptr;
    QComboBox* cboEtat = nullptr;
    platform::RtfEdit* txtMessage = nullptr;
    QListWidget* lstType = nullptr;
    QLineEdit* txtDossier = nullptr;
    QTreeWidget* lstEmploye = nullptr;
    QPushButton* cmdNouveau = nullptr;
    QPushButton* cmdEnregistrer = nullptr;
    QPushButton* cmdListeMsg = nullptr;
};

} // namespace entry
