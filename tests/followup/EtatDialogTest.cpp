#include "followup/frmChangeEtatMsg.h"

#include "SGridMsgFixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

using followup::frmChangeEtatMsg;

namespace {

// Stands for the message-list window: the dialog writes its cancel flag by name.
class Hote : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool booAnnule MEMBER booAnnule)
public:
    bool booAnnule = false;
};

} // namespace

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
    QString etat(int noEmpl) {
        return db()
            .open(QStringLiteral("SELECT CONCAT_WS('|', IdEtat, IFNULL(DateTermine, '-'), Nouveau) FROM "
                                 "tblmessageemploye WHERE IdMessage = 10 AND NoEmplA = %1")
                      .arg(noEmpl))
            .field(0)
            .text();
    }

    Hote hote;
};

TEST_F(EtatDialog, ListsEveryRecipientTickedAndFinishesOnlyThoseLeftTicked) {
    auto d = ouvrir(4);
    EXPECT_EQ(d->windowTitle(), QStringLiteral("État du message"));
    EXPECT_EQ(d->Label1()->text(),
              QStringLiteral("Sélectionnez les personnes pour qui vous désirez modifier l'état du message."));
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
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(etat(2), QStringLiteral("4|2026-12-07 14:03:12|0"));
    EXPECT_EQ(etat(3), QStringLiteral("1|-|1"));
    EXPECT_EQ(etat(4), QStringLiteral("4|2026-12-07 14:03:12|0"));
    EXPECT_EQ(errorReports(), 0);
}

TEST_F(EtatDialog, AnotherStateLeavesFinishTimeAndUnreadFlag) {
    exec(
        QStringLiteral("UPDATE tblmessageemploye SET DateTermine = '2026-01-01 08:00:00' WHERE NoEmplA = 2"));
    auto d = ouvrir(3);
    d->cmdOk()->click();
    EXPECT_FALSE(hote.booAnnule);
    EXPECT_EQ(etat(2), QStringLiteral("3|2026-01-01 08:00:00|1"));
    EXPECT_EQ(etat(3), QStringLiteral("3|-|1"));
}

TEST_F(EtatDialog, NobodyTickedCancelOrFrameWriteNothingAndLeaveTheFlagSet) {
    {
        auto d = ouvrir(4);
        for (int i = 0; i < d->lstvEmpl()->count(); ++i)
            d->lstvEmpl()->item(i)->setCheckState(Qt::Unchecked);
        hote.booAnnule = false; // "OK" raises it itself before looking at the ticks
        d->cmdOk()->click();
        EXPECT_TRUE(hote.booAnnule);
    }
    {
        auto d = ouvrir(4);
        hote.booAnnule = false;
        d->cmdAnnule()->click();
        EXPECT_TRUE(hote.booAnnule);
        EXPECT_EQ(d->result(), QDialog::Rejected);
        EXPECT_FALSE(d->isVisible());
    }
    {
        auto d = ouvrir(4);
        d->close(); // the frame's close box: the opener's value stands
        EXPECT_TRUE(hote.booAnnule);
        EXPECT_EQ(d->result(), QDialog::Rejected);
    }
    for (int no : {2, 3})
        EXPECT_EQ(etat(no), QStringLiteral("1|-|1"));
    EXPECT_EQ(etat(4), QStringLiteral("2|-|1"));
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

#include "EtatDialogTest.moc"
