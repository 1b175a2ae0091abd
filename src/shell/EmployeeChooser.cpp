#include "shell/EmployeeChooser.h"

#include "platform/Database.h"
#include "platform/Dialogs.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace shell {

QString employeesInOrderSql() {
    return QStringLiteral(
        "SELECT tblemploye.NoEmploye, tblemploye.Nom FROM tblemploye"
        " LEFT JOIN tblordreemployemsg ON (tblemploye.NoEmploye = tblordreemployemsg.NoEmploye)"
        " WHERE tblemploye.Actif = 1 AND tblemploye.NoEmploye <> 1"
        " ORDER BY (tblordreemployemsg.Ordre IS NULL), tblordreemployemsg.Ordre, tblemploye.Nom");
}

QList<QPair<qint32, QString>> employeesInOrder(platform::Database& db) {
    QList<QPair<qint32, QString>> out;
    platform::Recordset rs = db.open(employeesInOrderSql());
    for (; !rs.eof(); rs.moveNext())
        out.append({rs.field(QStringLiteral("NoEmploye")).toInt(), rs.field(QStringLiteral("Nom")).text()});
    return out;
}

int employeeFromCommandLine(platform::Database& db, const QString& number, qint32* no, QString* name) {
    const QString title = QStringLiteral("Corvel");
    *no = number.toInt();
    try {
        platform::Recordset rs =
            db.open(QStringLiteral("SELECT Nom FROM tblemploye WHERE NoEmploye = ") + QString::number(*no));
        if (rs.eof()) {
            platform::messageBox(nullptr, QStringLiteral("L'employé numéro %1 n'existe pas.").arg(number),
                                 title, platform::MsgIcon::Critical);
            return 2;
        }
        *name = rs.field(QStringLiteral("Nom")).text();
        return 0;
    } catch (const platform::DbError& e) {
        platform::messageBox(
            nullptr,
            QStringLiteral("L'employé numéro %1 n'a pas pu être lu dans la base de données.").arg(number) +
                QStringLiteral("\n\n") + e.text(),
            title, platform::MsgIcon::Critical);
        return 3;
    }
}

EmployeeChooser::EmployeeChooser(const QList<QPair<qint32, QString>>& employees, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmChoixEmploye"));
    setWindowTitle(QStringLiteral("Corvel - Ouverture de session"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Choisissez votre nom :"), this));
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("lstEmploye"));
    for (const auto& e : employees) {
        auto* item = new QListWidgetItem(e.second, m_list);
        item->setData(Qt::UserRole, e.first);
    }
    if (m_list->count() > 0) m_list->setCurrentRow(0);
    layout->addWidget(m_list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Ouvrir"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annuler"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    resize(320, 380);
}

qint32 EmployeeChooser::chosenEmployee() const {
    const QListWidgetItem* item = m_list->currentItem();
    return item ? item->data(Qt::UserRole).toInt() : 0;
}

QString EmployeeChooser::chosenName() const {
    const QListWidgetItem* item = m_list->currentItem();
    return item ? item->text() : QString();
}

} // namespace shell
