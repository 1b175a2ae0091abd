#pragma once

#include <QDialog>
#include <QList>
#include <QPair>

class QListWidget;

namespace platform {
class Database;
}

namespace shell {

// Active employees in the office's order: those ordered in tblordreemployemsg
// first, in that order, then the others by name. Throws DbError.
QList<QPair<qint32, QString>> employeesInOrder(platform::Database& db);
QString employeesInOrderSql();

// Start-up window that lets the user say who he is.
class EmployeeChooser : public QDialog {
    Q_OBJECT
public:
    EmployeeChooser(const QList<QPair<qint32, QString>>& employees, QWidget* parent = nullptr);
    qint32 chosenEmployee() const;
    QString chosenName() const;
    QListWidget* list() const { return m_list; }

private:
    QListWidget* m_list = nullptr;
};

} // namespace shell
