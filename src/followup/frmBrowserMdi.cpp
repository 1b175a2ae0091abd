#include "followup/frmBrowserMdi.h"

#include "followup/RapportDocument.h"
#include "followup/VueRapport.h"
#include "platform/Dialogs.h"
#include "services/ErrorLogger.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QThread>
#include <QTimer>

namespace followup {

namespace {

const QString kForm = QStringLiteral("frmBrowserMdi");

bool estAdresseWeb(const QString& address) {
    return address.left(4).toUpper() == QLatin1String("HTTP") ||
           address.left(3).toUpper() == QLatin1String("FTP");
}

} // namespace

frmBrowserMdi::frmBrowserMdi(QWidget* parent) : QWidget(parent) {
    setObjectName(kForm);
    setAttribute(Qt::WA_DeleteOnClose);
    resize(800, 600);
    m_brwWebBrowser = new VueRapport(this);
    m_brwWebBrowser->setObjectName(QStringLiteral("brwWebBrowser"));
    m_brwWebBrowser->menuContextuel = [this] { menuContextuel(); };
    m_timTimer = new QTimer(this);
    m_timTimer->setObjectName(QStringLiteral("timTimer"));
    m_timTimer->setInterval(55);
    connect(m_timTimer, &QTimer::timeout, this, &frmBrowserMdi::timTimer_Timer);

    m_actImprimer = new QAction(QStringLiteral("Imprimer…"), this);
    m_actImprimer->setObjectName(QStringLiteral("actImprimer"));
    m_actImprimer->setShortcut(QKeySequence::Print);
    connect(m_actImprimer, &QAction::triggered, this, &frmBrowserMdi::imprimer);
    m_actApercu = new QAction(QStringLiteral("Aperçu avant impression…"), this);
    m_actApercu->setObjectName(QStringLiteral("actApercu"));
    connect(m_actApercu, &QAction::triggered, this, &frmBrowserMdi::apercu);
    addAction(m_actImprimer);
    addAction(m_actApercu);
}

// A report still loading would print only its first messages: the user is told to wait.
bool frmBrowserMdi::pretAImprimer() {
    if (!m_busy) return true;
    platform::messageBox(this,
                         QStringLiteral("Le rapport est encore en chargement. Il pourra être imprimé dès "
                                        "qu'il sera affiché en entier."),
                         windowTitle(), platform::MsgIcon::Information);
    return false;
}

void frmBrowserMdi::imprimer() {
    if (!pretAImprimer()) return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(windowTitle());
    if (platform::printDialog(this, &printer))
        PagesRapport(*m_brwWebBrowser->document(), &printer).imprimer(&printer);
}

void frmBrowserMdi::apercu() {
    if (!pretAImprimer()) return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(windowTitle());
    platform::printPreview(
        this, &printer, [this](QPrinter* p) { PagesRapport(*m_brwWebBrowser->document(), p).imprimer(p); });
}

void frmBrowserMdi::menuContextuel() {
    const bool selection = m_brwWebBrowser->textCursor().hasSelection();
    const platform::Menu menu{platform::MenuItem::item(1, QStringLiteral("Copier"), false, !selection),
                              platform::MenuItem::item(2, QStringLiteral("Tout sélectionner")),
                              platform::MenuItem::sep(), platform::MenuItem::item(3, m_actImprimer->text()),
                              platform::MenuItem::item(4, m_actApercu->text())};
    switch (platform::popupMenu(this, menu)) {
    case 1:
        m_brwWebBrowser->copy();
        break;
    case 2:
        m_brwWebBrowser->selectAll();
        break;
    case 3:
        imprimer();
        break;
    case 4:
        apercu();
        break;
    default:
        break;
    }
}

// The reading stops, and the report's document is freed on another thread: a large one takes
// seconds.
frmBrowserMdi::~frmBrowserMdi() {
    if (m_lecteur) m_lecteur->arreter();
    m_brwWebBrowser->setDocument(nullptr);
    if (m_complet && m_lecteur)
        m_lecteur->rendre(m_document);
    else
        jeterDocument(m_document);
    m_lecteur.reset();
}

void frmBrowserMdi::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!m_charge) {
        m_charge = true;
        Form_Load();
    }
}

void frmBrowserMdi::Form_Load() {
    setWindowState(windowState() | Qt::WindowMaximized);
    resizeEvent(nullptr);
    if (StartingAddress.isEmpty()) return;
    m_timTimer->start();
    Navigate(StartingAddress);
    timTimer_Timer(); // the caption says the page is loading from the first moment
    setWindowIcon(style()->standardIcon(estAdresseWeb(StartingAddress) ? QStyle::SP_DriveNetIcon
                                                                       : QStyle::SP_FileIcon));
}

void frmBrowserMdi::resizeEvent(QResizeEvent* event) {
    if (event) QWidget::resizeEvent(event);
    if (isMinimized()) return;
    m_brwWebBrowser->setGeometry(0, m_brwWebBrowser->y(), width(),
                                 std::max(0, height() - m_brwWebBrowser->y()));
}

// The page loads once the window is on screen, so that a long report shows the window and
// its "Traitement en cours..." caption first.
void frmBrowserMdi::Navigate(const QString& address) {
    m_adresse = address;
    m_busy = true;
    QTimer::singleShot(0, this, &frmBrowserMdi::charger);
}

// A local report is read and laid out on a thread of its own, its first messages shown at
// once and the whole report as soon as it is ready; the window thread only paints it. It is laid
// out at the width the window has once maximised. A web address is not shown.
void frmBrowserMdi::charger() {
    if (estAdresseWeb(m_adresse)) {
        m_busy = false;
        return;
    }
    // The viewport of a maximised window once the report's vertical scroll bar shows, less a
    // pixel the layout may round up: a report laid out at the viewport's width before the bar
    // shows would run under it and be cut on the right. The window manager's borders may not
    // be drawn yet: a few pixels are allowed for them.
    const QRect ecran = screen() ? screen()->availableGeometry() : QRect();
    const int barre =
        m_brwWebBrowser->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_brwWebBrowser);
    const int bords = std::max(8, int(frameGeometry().width() - geometry().width()));
    const int fenetre = ecran.isValid() ? ecran.width() - bords : m_brwWebBrowser->width();
    m_largeur = fenetre - 2 * m_brwWebBrowser->frameWidth() - barre - 2;
    m_lecteur = std::make_unique<LecteurRapport>(
        m_adresse, m_brwWebBrowser->font(), m_largeur,
        [this](QTextDocument* doc, bool complet) { recevoir(doc, complet); });
}

// The whole report replaces its first part where the reader is: same place, same selection.
void frmBrowserMdi::recevoir(QTextDocument* doc, bool complet) {
    const QPoint position(m_brwWebBrowser->horizontalScrollBar()->value(),
                          m_brwWebBrowser->verticalScrollBar()->value());
    const QTextCursor avant = m_brwWebBrowser->textCursor();
    if (!complet) mettreEnPageIci(doc, m_largeur);
    QTextDocument* ancien = m_document;
    m_document = doc;
    m_brwWebBrowser->setDocument(doc);
    jeterDocument(ancien);
    if (avant.hasSelection()) {
        QTextCursor c(doc);
        c.setPosition(avant.anchor());
        c.setPosition(avant.position(), QTextCursor::KeepAnchor);
        m_brwWebBrowser->setTextCursor(c);
    }
    m_brwWebBrowser->horizontalScrollBar()->setValue(position.x());
    m_brwWebBrowser->verticalScrollBar()->setValue(position.y());
    if (complet) {
        m_complet = true;
        m_busy = false;
    }
}

void frmBrowserMdi::timTimer_Timer() {
    if (m_busy) {
        setWindowTitle(QStringLiteral("Traitement en cours..."));
        return;
    }
    m_timTimer->stop();
    setWindowTitle(RapportCaption);
}

void frmBrowserMdi::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

bool frmBrowserMdi::fichierASupprimer(const QString& address) {
    // A help page is named so; the folders above it may hold any word.
    const QString haut = address.toUpper();
    if (QFileInfo(address).fileName().toUpper().contains(QLatin1String("AIDE"))) return false;
    if (estAdresseWeb(address)) return false;
    if (address.isEmpty() || !QFileInfo::exists(address)) return false;
    return haut.right(4) == QLatin1String("HTML");
}

bool frmBrowserMdi::supprimerFichier(const QString& path, int tries, int waitMs,
                                     const std::function<bool(const QString&)>& remove) {
    for (int i = 0; i < tries; ++i) {
        if (remove(path) || !QFileInfo::exists(path)) return true;
        if (i + 1 == tries) break;
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < waitMs) {
            QCoreApplication::processEvents();
            QThread::msleep(10);
        }
    }
    return false;
}

// A file still held open somewhere is tried again for about two seconds, then left and
// logged: the window always closes.
void frmBrowserMdi::Form_Unload() {
    m_timTimer->stop();
    if (m_lecteur) m_lecteur->arreter(); // a report closed while it loads is read no further
    if (!fichierASupprimer(StartingAddress)) return;
    const bool ok = supprimerFichier(StartingAddress, 10, 200, [this](const QString& path) {
        if (QFile::remove(path)) return true;
        setWindowTitle(QStringLiteral("Unload..."));
        return false;
    });
    if (!ok)
        services::DoErreur(QStringLiteral("70"),
                           QStringLiteral("Le fichier ne peut pas être supprimé : ") + StartingAddress,
                           QStringLiteral("corvel"), kForm, QStringLiteral("Form_Unload"), QString());
}

} // namespace followup
