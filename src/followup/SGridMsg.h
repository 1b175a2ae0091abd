#pragma once

#include "followup/MessageQueries.h"
#include "platform/GridModel.h"
#include "platform/ImageList.h"
#include "platform/RichTextBox.h"

#include <QHash>
#include <QSet>
#include <QStringList>
#include <QVariant>
#include <QWidget>
#include <memory>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;

namespace followup {
struct RapportMessage;
class frmProgressPopUp;
} // namespace followup

namespace platform {
class Worksheet;
class Grid;
class RtfEdit;
class Recordset;
class Field;
class Database;
class DbError;
} // namespace platform

// One filtered list of messages with its filter bar, status line and export buttons.
// The message-list window hosts it twice: received messages (booRecu true) and sent ones.
//
// Column numbers of the message grid, used by every part of the control:
// 1 priority image, 2 state image, 3 number (item data IdMessage), 4 caller, 5 telephones,
// 6 date, 7 time, 8 sender, 9 types, 10 folders, 11 recipients, 12 message text (drawn
// under the row's other cells).
class SGridMsg : public QWidget {
    Q_OBJECT
public:
    enum Column {
        colPriorite = 1,
        colEtat,
        colNo,
        colClient,
        colTelephone,
        colDate,
        colHeure,
        colExpediteur,
        colTypeMessage,
        colDossier,
        colDestinataire,
        colMessage,
    };

    // A host that sets the mode right after creating the control (the message-list window)
    // passes listesParHote: the caller and telephone lists are then built once, by that
    // setting, instead of also at creation for a mode about to change.
    explicit SGridMsg(QWidget* parent = nullptr, bool listesParHote = false);
    ~SGridMsg() override;

    // ---- Fill
    // Empties the grid and fills it again from the database, keeping grouping and the
    // selected message. A number in txtNoMsg replaces IdMessage (the caller sees it);
    // IdMessage > 0 lists that message only. Raises Refresh at the end.
    void Remplir(qint32& IdMessage);
    void Remplir();
    // Rewrites the row of one message from the database; a message not listed is ignored.
    void UpdateLigne(qint32& IdMessage);

    // ---- In-place editing
    // Opens the message-text editor over a row (row menu "Modifier le message."), after
    // closing any other editor; Escape or any later fill, sort or menu saves and closes
    // it. False, the failure reported, when the row's message cannot be read.
    bool ModifierMessage(int row);
    // Kind of the open picker, "Priorite" or "Etat"; empty when none is open.
    QString typeEdition() const { return m_typeEdition; }

    // ---- Reports (SGridMsgRapportHTML.cpp, SGridMsgRapportExcel.cpp)
    // The row argument of the reports that stands for every row of the grid.
    static constexpr qint32 kToutesLesLignes = -1;
    // Export buttons: 0 the spreadsheet, 1 the HTML report shown in a new viewer. The host
    // window is disabled meanwhile; an empty grid does nothing.
    void cmdExport_Click(int Index);
    // Writes the messages of every row (kToutesLesLignes) or of one grid row into a new
    // spreadsheet session, whose sheet replaces `sheet` (pass services::xlSheet), then hands
    // the workbook to the desktop's spreadsheet program. A group row gives no block.
    void ExportMsgExcel(platform::Worksheet*& sheet, qint32 row);
    // Writes the HTML report of every row (kToutesLesLignes) or of one grid row to the file.
    // False, with the error reported, when the report could not be written whole.
    bool ExportMsgHTML(const QString& fileName, qint32 row);
    // True while a report of any grid is written: another one would take its place under it,
    // so no report starts meanwhile.
    static bool rapportEnCours();
    // A new HTML report's file: "MessagesRecus" or "MessagesEnvoyes", "_" and the employee's
    // name when noEmploye > 0, the seconds since midnight, "_2", "_3", ... when that name is
    // taken, ".HTML", in the report folder. Throws DbError when the employee has no row.
    QString NomFichierHTML(int noEmploye);
    // Where HTML reports are written: the program folder when it is writable, else the
    // user's temporary folder; tests set their own (empty restores the default).
    static QString dossierRapports();
    static void setDossierRapports(const QString& folder);

    // ---- Row heights
    // Height a row needs to show its whole message text under its cells, uncapped.
    int HauteurPleine(int row) const;
    // Height of a row whose text is cut: twenty default rows and a little.
    int hauteurCoupee() const;

    // ---- Properties
    bool booRecu() const { return m_booRecu; }
    // Stores the mode and rebuilds the caller and telephone lists for it (no refill).
    void setBooRecu(bool recu);
    bool ChoixEmpl() const;
    void setChoixEmpl(bool visible);
    // Rows of the grid, group rows included.
    qint32 nbEnreg() const;

    // ---- Layout, in pixels
    // Narrowest width at which the filter bar shows whole: as drawn, or wider where its
    // texts need it. Below it the right part is cut and nothing follows the width.
    int largeurBarre() const;
    // Width at which the bar and every column of the grid show.
    int largeurNaturelle() const;

    // ---- Filter bar, status line and new-message probe (public so tests act as the user)
    void cboEmpl_Click();
    void cboClient_Click();
    void cboTel_Click();
    // Enter in a combo selects the entry spelt exactly as typed, which acts as a click.
    void cbo_KeyPress(QComboBox* combo, int keyAscii);
    void chkAffTermine_Click();
    void chkIntervalle_Click();
    void DTPicker1_CloseUp();
    void DTPicker2_CloseUp();
    void DTPicker_KeyDown(int keyCode);
    void cmdRecherche_Click();
    void txtNoMsg_KeyDown(int keyCode);
    // Digits and Backspace pass; anything else becomes 0 and is dropped.
    void txtNoMsg_KeyPress(int& keyAscii);
    void cmdNouveau_Click();
    // Focus on a filter control closes the in-place editors and saves a pending text.
    void filtre_GotFocus();
    // Once a minute from the shell: newer messages under the same filters turn "!" red.
    Q_INVOKABLE void VerifNouveauMsg();

    // ---- State, for the host window and tests
    int noEmploye() const { return intNoEmploye; }
    void setNoEmploye(int noEmploye) { intNoEmploye = noEmploye; }
    qint32 idClientMsg() const { return lngIdClientMsg; }
    void setIdClientMsg(qint32 id) { lngIdClientMsg = id; }
    qint32 dernierIdMessage() const { return lngDernierIdMessage; }
    // Windows colour of the refresh button: button face, or red while newer messages wait.
    qint64 rechercheBackColor() const { return m_rechercheBackColor; }
    void setRechercheBackColor(qint64 bgr);

    // ---- Controls
    platform::Grid* SGrid() const { return m_SGrid; }
    platform::Grid* SGridEmplA() const { return m_SGridEmplA; }
    QComboBox* cboEmpl() const { return m_cboEmpl; }
    QComboBox* cboClient() const { return m_cboClient; }
    QComboBox* cboTel() const { return m_cboTel; }
    QLineEdit* txtNoMsg() const { return m_txtNoMsg; }
    QPushButton* cmdRecherche() const { return m_cmdRecherche; }
    QCheckBox* chkAffTermine() const { return m_chkAffTermine; }
    QCheckBox* chkIntervalle() const { return m_chkIntervalle; }
    QDateEdit* DTPicker1() const { return m_DTPicker1; }
    QDateEdit* DTPicker2() const { return m_DTPicker2; }
    QLabel* lblEt() const { return m_lblEt; }
    QLabel* lblEmpl() const { return m_lblEmpl; }
    QLabel* Label1() const { return m_Label1; }
    QLabel* Label2() const { return m_Label2; }
    QLabel* Label3() const { return m_Label3; }
    QLabel* lblStatus() const { return m_lblStatus; }
    QPushButton* cmdNouveau() const { return m_cmdNouveau; }
    // 0 "Exporter dans excel", 1 "Créer rapport HTML"
    QPushButton* cmdExport(int index) const { return m_cmdExport[index == 0 ? 0 : 1]; }
    QComboBox* ImgCbo() const { return m_ImgCbo; }
    platform::RtfEdit* txtRtfEdit() const { return m_txtRtfEdit; }
    platform::RichTextBox& txtRtfTransfert() { return m_txtRtfTransfert; }
    const platform::ImageList& ImageList1() const { return m_ImageList1; }

    // The filters as they stand, as the query builders take them.
    followup::MessageFilter filtre(qint32 idMessage = 0) const;

signals:
    // End of every fill; the host shows the row count.
    void Refresh();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // How a message row looks: single-line cells, unread rows in red, several recipients
    // on light red, the message text in dark blue, or green when its row height was capped.
    static constexpr int kUneLigne = platform::kAlignSingleLineEllipsis;
    static constexpr qint64 kRouge = 0x0000FF;
    static constexpr qint64 kRougePale = 0xC0C0FF;
    static constexpr qint64 kBleuFonce = 0xC00000;
    static constexpr qint64 kVert = 0x008000;
    // Set-up
    void UserControl_Initialize();
    void creerControles();
    void InitGrid();
    void UserControl_Resize();
    // Fill
    // What a row shows besides its message record.
    struct DetailsLigne {
        QString types;
        QString dossiers;
        QStringList destinataires;
        QString expediteur; // the sender's name, from the recipient row carried
    };
    // Positions of a message record's columns, looked up once for its result set.
    struct ColonnesMessage;
    // One recipient row of a message: what a message's row takes from the row it carries.
    struct Destinataire {
        qint32 idMessage = 0;
        int noEmplA = 0, noEmplDe = 0, idEtat = 0, ordre = 0, nouveau = 0, jourRecu = 0, jourEnvoi = 0;
        bool aConnu = false, deConnu = false; // its recipient and sender exist
        bool ordreConnu = false;              // its state exists
        bool compte = false;                  // it still counts under the finished filters
    };
    // The recipient row a message's row carries, among `lignes` (one message's, in the order
    // they were written), by the rule stated in the README: a row of the chosen employee
    // (received list) or that he sent (sent list), any row under "Tous"; whose sender,
    // recipient and state exist; not finished rather than finished; then the first written.
    // -1 when no row may be carried: the message is not listed.
    int ligneRetenue(const Destinataire* lignes, int nombre) const;
    // A recipient row as the fill's or the row refresh's statement gives it, its columns at
    // the positions found by positionsDestinataire (SGridMsgFill.cpp).
    static Destinataire lireDestinataire(const platform::Recordset& rs, const int* positions);
    void ajouterLigne(const platform::Recordset& rs, const ColonnesMessage& c, const Destinataire& d,
                      const DetailsLigne& details, const QFont& font, int hauteurUneLigne,
                      qint32 idSelection);
    void ecrireColonnes(int row, const platform::Recordset& rs, const ColonnesMessage& c,
                        const Destinataire& d, const QFont& font, const DetailsLigne& details);
    bool lireTextes(const QStringList& sqls, const char* champTexte, const QString& procedure,
                    QHash<qint32, QString>& textes);
    void abandonRemplir();
    void ecrireTexte(int row, const QFont& font);
    QString GetTypeMessage(qint32 IdMessage);
    QString GetDossierDetail(qint32 IdMessage);
    // The status line given (counted by the fill) or, without, read by UpdateStatus.
    void finRemplir(const QString* status = nullptr);
    // During a fill, the one copy of a text already put in a cell (dates, times, names,
    // callers, numbers): rows that repeat it share it, which saves an allocation per cell.
    QString partage(const QString& texte);
    QSet<QString> m_textesVus;
    // The text of a date of entry, kept for the next row, which most often has the same.
    QString dateTexte(const platform::Field& date);
    QVariant m_dateVue;
    QString m_dateVueTexte;
    // Filter lists
    void RemplirCboClientMsg();
    void RemplirCboTelephone();
    void initFiltres();
    void rebatirListes();
    // Status line
    void UpdateStatus();
    // In-place editors: closed and saved before a fill
    void CacherEditeurs();
    void FinEditText();
    // In-place editing (SGridMsgEdition.cpp, SGridMsgEtat.cpp)
    static constexpr int kRoleImagePicker = Qt::UserRole + 1; // a picker entry's picture
    void initEdition();
    void SGrid_RequestEdit(int row, int col, int key, bool& cancel);
    void SGrid_ScrollChange();
    void ImgCbo_Click();
    void ImgCbo_KeyPress(int& keyAscii);
    void txtRtfEdit_KeyPress(int keyAscii);
    // Appends the audit line of a state change to the message and to its row (0: not listed).
    void UpdateMsgEtat(int idEtat, qint32 idMessage, int row);
    // The row listing the message, the given one when it still does; 0 when none does.
    int ligneDuMessage(qint32 idMessage, int row) const;
    // The row's text shows an audit line just stored (0: the message is not listed).
    void afficherLigneAudit(int row, const QString& ligne);
    void placerEditeurTexte(int row);
    // Layout of the in-place editors (SGridMsgLayout.cpp): the grid's rows area in this
    // control's coordinates, which no editor leaves, and the text editor's height.
    QRect zoneEditeurs() const;
    void poserSurGrille(QWidget* w, QRect r) const;
    int hauteurEditeurTexte() const;
    QSize tailleDestinataires();
    void HauteurLigne(int row);
    // Sorting, grouping, visible columns (SGridMsgSort.cpp); row menu, double-click and the
    // one-message reports (SGridMsgMenus.cpp)
    void initMenus();
    void SGrid_ColumnClick(int col);
    void SGrid_HeaderRightClick(int x, int y);
    void basculerColonne(int col, int nbGroupees, int nbVisibles);
    void SGrid_MouseUp(int button, int shift, float x, float y);
    void SGrid_DblClick(int row, int col);
    void DevelopperGroupes(bool developper);
    void deplierTexte(int row, bool complet);
    void imprimerMessageHTML(int row);
    // The host window's cancel flag of a state change, its "booAnnule" property.
    void setBooAnnule(bool value);
    bool booAnnule() const;
    QString m_typeEdition;       // kind of the open picker: "Priorite", "Etat" or empty
    QString m_ImgCboTag;         // "row;column" of the cell the picker edits
    qint32 m_idMessageEdite = 0; // message open in the text editor
    QString m_rtfOuvert;         // its stored text when the editor opened
    bool m_finEditEnCours = false;
    // Stores the edited text, keeping what another workstation did meanwhile; false when
    // the message is gone (the editor stays open with the text).
    bool enregistrerTexteEdite(qint32 idMessage, QString& sql);

    // What the grid shows now of every row (kToutesLesLignes) or of one row: a report lets
    // other work run between rows, and the grid may be refilled meanwhile.
    struct LigneRapport {
        bool groupe;
        qint32 id;
        QString no;
    };
    QList<LigneRapport> lignesRapport(qint32 row) const;
    // Held by a report for as long as it is written (rapportEnCours).
    struct RapportEnCours {
        RapportEnCours();
        ~RapportEnCours();
        RapportEnCours(const RapportEnCours&) = delete;
        RapportEnCours& operator=(const RapportEnCours&) = delete;
    };
    // The progress window of a report over every row of the grid, shown; its clock starts
    // with the first row written, once the messages are read.
    std::unique_ptr<followup::frmProgressPopUp> ouvrirProgres() const;
    // Reports: the record, types, recipients and folders of every message of the rows, read
    // before the first block in a few statements whatever their number, with the windows'
    // events run between them; a message that no longer passes the employee filter has no
    // entry. False when the connection is gone.
    bool lireMessagesRapport(const QList<LigneRapport>& lignes, int noEmploye,
                             QHash<qint32, followup::RapportMessage>& messages, QString& sql);

    void erreur(const platform::DbError& e, const QString& procedure, const QString& sql);
    // The shared connection; a DbError (connection lost) when there is none.
    static platform::Database& connexion();

    // State
    bool m_booRecu = true;
    int intNoEmploye = 0;
    qint32 lngIdClientMsg = 0;
    bool booChargement = false;
    qint32 lngDernierIdMessage = 0;
    qint64 m_rechercheBackColor = 0;
    bool m_rechercheNo = false; // txtNoMsg's tag: a search by number is in force
    bool m_listesParHote = false;

    // Controls
    platform::Grid* m_SGrid = nullptr;
    platform::Grid* m_SGridEmplA = nullptr;
    QComboBox* m_cboEmpl = nullptr;
    QComboBox* m_cboClient = nullptr;
    QComboBox* m_cboTel = nullptr;
    QLineEdit* m_txtNoMsg = nullptr;
    QPushButton* m_cmdRecherche = nullptr;
    QCheckBox* m_chkAffTermine = nullptr;
    QCheckBox* m_chkIntervalle = nullptr;
    QDateEdit* m_DTPicker1 = nullptr;
    QDateEdit* m_DTPicker2 = nullptr;
    QLabel* m_lblEt = nullptr;
    QLabel* m_lblEmpl = nullptr;
    QLabel* m_Label1 = nullptr;
    QLabel* m_Label2 = nullptr;
    QLabel* m_Label3 = nullptr;
    QLabel* m_lblStatus = nullptr;
    QPushButton* m_cmdNouveau = nullptr;
    QPushButton* m_cmdExport[2] = {nullptr, nullptr};
    QComboBox* m_ImgCbo = nullptr;
    platform::RtfEdit* m_txtRtfEdit = nullptr;
    platform::RichTextBox m_txtRtfTransfert;
    platform::ImageList m_vbalImageList;
    platform::ImageList m_ImageList1;
};
