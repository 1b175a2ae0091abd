#include "followup/frmChangeEtatMsg.h"

#include "EtatGridFixture.h"

#include <QListWidget>

using followup::frmChangeEtatMsg;

// A morning: the hour of the audit line keeps its two digits.
class EtatDialog : public SGridMsgDb {
protected:
    void SetUp() override {
        SGridMsgDb::SetUp();
        if (IsSkipped()) return;
        platform::Clock::setFixed(QDateTime(QDate(2026, 1, 2), QTime(9, 5, 7)));
        message(10);
        recipient(10, 2, 2, 1, 1);
        recipient(10, 2, 3, 1, 1);
        recipient(10, 2, 4, 2, 1);
        hote = std::make_unique<followup::frmListeMsg>();
        hote->booAnnule = true; // as the grid sets it before opening
    }
    // Opens the dialog as the grid does and lets it list the recipients.
    std::unique_ptr<frmChangeEtatMsg> ouvrir(int idEtat, const QString& idMessage = QStringLiteral("10")) {
        auto d = std::make_unique<frmChangeEtatMsg>();
        d->txtIdMsg()->setText(idMessage);
        d->txtEtat()->setText(QString::number(idEtat));
        d->Mere = hote.get();
        d->show();
        return d;
    }
    QString etat(int noEmpl) { return ligneDest(10, noEmpl); }

    std::unique_ptr<followup::frmListeMsg> hote;
};

TEST_F(EtatDialog, ListsEveryRecipientTickedAndFinishesOnlyThoseLeftTicked) {
    recipient(10, 2, 99, 1, 1); // no employee row: not listed
    auto d = ouvrir(4);
    QApplication::processEvents();
    EXPECT_EQ(defautsMiseEnPage(d.get()), "");
    EXPECT_FALSE(d->txtIdMsg()->isVisible());
    ASSERT_EQ(d->lstvEmpl()->count(), 3);
    QStringList noms;
    for (int i = 0; i < 3; ++i) {
        QListWidgetItem* it = d->lstvEmpl()->item(i);
        EXPECT_EQ(it->checkState(), Qt::Checked);
        noms << it->text() + QLatin1Char('=') + it->data(Qt::UserRole).toString();
        if (it->text() == QStringLiteral("Marc")) it->setCheckState(Qt::Unchecked);
    }
    noms.sort();
    EXPECT_EQ(noms.join(QLatin1Char(' ')), QStringLiteral("Julie=2 Marc=3 Sophie=4"));
    d->cmdOk()->click();

    EXPECT_FALSE(hote->booAnnule);
    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_EQ(etat(2), QStringLiteral("4|2026-01-02 09:05:07|0"));
    EXPECT_EQ(etat(3), QStringLiteral("1|-|1"));
    EXPECT_EQ(etat(4), QStringLiteral("4|2026-01-02 09:05:07|0"));
    EXPECT_EQ(texteStocke(10), QStringLiteral("Bonjour\r\nTerminé le 2026-01-02 à 09:05:07 par Julie"));
    EXPECT_EQ(errorReports(), 0);

    // An empty number lists nobody and changes nothing.
    hote->booAnnule = true;
    auto vide = ouvrir(4, QString());
    EXPECT_EQ(vide->lstvEmpl()->count(), 0);
    vide->cmdOk()->click();
    EXPECT_TRUE(hote->booAnnule);
}

TEST_F(EtatDialog, StatesAndLineAreWrittenTogetherOrNotAtAll) {
    // A state without a description cannot make its line: no row keeps the state.
    auto d = ouvrir(9);
    d->cmdOk()->click();
    EXPECT_TRUE(hote->booAnnule);
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(etat(2), QStringLiteral("1|-|1"));
    EXPECT_EQ(etat(4), QStringLiteral("2|-|1"));
    EXPECT_EQ(errorReports(), 1);

    auto ok = ouvrir(3);
    ok->cmdOk()->click();
    EXPECT_FALSE(hote->booAnnule);
    EXPECT_EQ(ok->ligneAjoutee(), QStringLiteral("\nEn attente le 2026-01-02 à 09:05:07 par Julie"));
    EXPECT_EQ(texteStocke(10), QStringLiteral("Bonjour\r\nEn attente le 2026-01-02 à 09:05:07 par Julie"));
}
