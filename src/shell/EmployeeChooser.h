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

// The employee named on the command line (--employe N): his number and name, and 0; or,
// the French reason shown through the dialog seam, the program's exit status: 2 when
// there is no such employee, 3 when the database could not be read.
int employeeFromCommandLine(platform::Database& db, const QString& number, qint32* no, QString* name);

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
