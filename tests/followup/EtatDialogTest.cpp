#include "followup/frmChangeEtatMsg.h"

#include "EtatGridFixture.h"
#include "support/MiseEnPage.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

using followup::frmChangeEtatMsg;

class EtatDialog : public SGridMsgDb {
protected:
    void SetUp() override {
        SGridMsgDb::SetUp();
        if (IsSkipped()) return;
        platform::Clock::setFixed(QDateTime(QDate(2026, 12, 7), QTime(14, 3, 12)));
        message(10);
        recipient(10, 2, 2, 1, 1);
        recipient(10, 2, 3, 1, 1);
        recipient(10, 2, 4, 2, 1);
        hote.booAnnule = true; // as the grid sets it before opening
    }

    // Opens the dialog as the grid does and lets it list the recipients.
    std::unique_ptr<frmChangeEtatMsg> ouvrir(int idEtat, int idMessage = 10) {
        auto d = std::make_unique<frmChangeEtatMsg>();
        d->txtIdMsg()->setText(QString::number(idMessage));
        d->txtEtat()->setText(QString::number(idEtat));
        d->Mere = &hote;
        d->show();
        return d;
    }
    QString etat(int noEmpl) { return ligneDest(10, noEmpl); }

    HoteGrille hote;
};

TEST_F(EtatDialog, ListsEveryRecipientTickedAndFinishesOnlyThoseLeftTicked) {
    auto d = ouvrir(4);
    EXPECT_FALSE(d->txtIdMsg()->isVisible());
    ASSERT_EQ(d->lstvEmpl()->count(), 3);
    QStringList noms;
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(d->lstvEmpl()->item(i)->checkState(), Qt::Checked);
        noms << d->lstvEmpl()->item(i)->text() + QLatin1Char('=') +
                    d->lstvEmpl()->item(i)->data(Qt::UserRole).toString();
    }
    noms.sort();
    EXPECT_EQ(noms,
              QStringList({QStringLiteral("Julie=2"), QStringLiteral("Marc=3"), QStringLiteral("Sophie=4")}));

    for (int i = 0; i < 3; ++i)
        if (d->lstvEmpl()->item(i)->text() == QStringLiteral("Marc"))
            d->lstvEmpl()->item(i)->setCheckState(Qt::Unchecked);
    d->cmdOk()->click();

    EXPECT_FALSE(hote.booAnnule);
    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_EQ(etat(2), QStringLiteral("4|2026-12-07 14:03:12|0"));
    EXPECT_EQ(etat(3), QStringLiteral("1|-|1"));
    EXPECT_EQ(etat(4), QStringLiteral("4|2026-12-07 14:03:12|0"));
    EXPECT_EQ(errorReports(), 0);
}

TEST_F(EtatDialog, EveryTextReadsWhole) {
    auto d = ouvrir(4);
    QApplication::processEvents();
    EXPECT_EQ(defautsMiseEnPage(d.get()), "");
}

TEST_F(EtatDialog, RecipientWithoutEmployeeRowIsNotListedAndAnEmptyNumberListsNobody) {
    recipient(10, 2, 99, 1, 1);
    auto d = ouvrir(4);
    EXPECT_EQ(d->lstvEmpl()->count(), 3);

    frmChangeEtatMsg vide;
    vide.Mere = &hote;
    vide.show();
    EXPECT_EQ(vide.lstvEmpl()->count(), 0);
    vide.cmdOk()->click();
    EXPECT_TRUE(hote.booAnnule);
}

TEST_F(EtatDialog, StatesAndLineAreWrittenTogetherOrNotAtAll) {
    // A state without a description cannot make its line: no row keeps the state.
    auto d = ouvrir(9);
    d->cmdOk()->click();
    EXPECT_TRUE(hote.booAnnule);
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(etat(2), QStringLiteral("1|-|1"));
    EXPECT_EQ(etat(4), QStringLiteral("2|-|1"));
    EXPECT_EQ(errorReports(), 1);

    auto ok = ouvrir(3);
    ok->cmdOk()->click();
    EXPECT_FALSE(hote.booAnnule);
    EXPECT_EQ(ok->ligneAjoutee(), QStringLiteral("\nEn attente le 2026-12-07 à 14:03:12 par Julie"));
    EXPECT_EQ(texteStocke(10), QStringLiteral("Bonjour\r\nEn attente le 2026-12-07 à 14:03:12 par Julie"));
}
