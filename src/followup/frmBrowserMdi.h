#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

class QAction;
class QTextDocument;
class QTimer;

namespace followup {

class LecteurRapport;
class VueRapport;

// The window in which a report file is read. Each report opens a new one:
//     auto* v = new frmBrowserMdi; v->StartingAddress = file; v->show(); v->RapportCaption = "...";
// The caption reads "Traitement en cours..." while the page loads, then RapportCaption.
// Closing the window deletes the report file it showed (a local file ending in HTML, not a
// help page); the window deletes itself when closed. The page prints ("Imprimer…", Ctrl+P)
// and shows its printed pages ("Aperçu avant impression…") from the right-click menu. A local
// report is read and laid out on another thread and shown by a view that only paints it, so
// that a report of any size neither freezes the window nor scrolls slowly; a web address is
// not shown (no browser here reads one).
class frmBrowserMdi : public QWidget {
    Q_OBJECT
public:
    explicit frmBrowserMdi(QWidget* parent = nullptr);
    ~frmBrowserMdi() override;

    // The full path of a local file, or a web address.
    QString StartingAddress;
    // Caption once the page is loaded; may be set right after show().
    QString RapportCaption;

    VueRapport* brwWebBrowser() const { return m_brwWebBrowser; }
    QTimer* timTimer() const { return m_timTimer; }
    // True from Navigate until the page is loaded. A local report shows its first messages
    // while the rest is read on another thread; it prints once it is whole.
    bool Busy() const { return m_busy; }
    void Navigate(const QString& address);

    QAction* actImprimer() const { return m_actImprimer; }
    QAction* actApercu() const { return m_actApercu; }
    // The print dialog, then the page printed as the user set it.
    void imprimer();
    // The printed pages in the preview window.
    void apercu();
    // The browser's right-click menu: Copier, Tout sélectionner, then the two above.
    void menuContextuel();

    // Whether closing deletes the shown file: not a help page ("AIDE" in the file's name),
    // not a web address (HTTP, FTP), an existing file, ending in "HTML" whatever the case.
    static bool fichierASupprimer(const QString& address);
    // Deletes a file, trying again while it is held: `tries` attempts `waitMs` apart, with
    // pending window messages run in between. False when it is still there at the end.
    static bool supprimerFichier(const QString& path, int tries, int waitMs,
                                 const std::function<bool(const QString&)>& remove);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Form_Load();
    void Form_Unload();
    void timTimer_Timer();
    void charger();
    void recevoir(QTextDocument* doc, bool complet);
    bool pretAImprimer();

    VueRapport* m_brwWebBrowser = nullptr;
    QTimer* m_timTimer = nullptr;
    QAction* m_actImprimer = nullptr;
    QAction* m_actApercu = nullptr;
    bool m_charge = false;
    bool m_busy = false;
    QString m_adresse;
    std::unique_ptr<LecteurRapport> m_lecteur;
    QTextDocument* m_document = nullptr; // the report shown, ours to free
    bool m_complet = false;              // m_document is the whole report, from m_lecteur
    double m_largeur = 0;                // the width the report is laid out at
};

} // namespace followup
