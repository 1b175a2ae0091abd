#pragma once

#include <QWidget>

namespace followup {

class ctrlProgresTemps;

// "Progression de la tâche": a small window holding one progress control. Each report makes
// its own, shows it without waiting, drives the control directly and deletes it at the end.
class frmProgressPopUp : public QWidget {
    Q_OBJECT
public:
    explicit frmProgressPopUp(QWidget* parent = nullptr);
    ctrlProgresTemps* progres() const { return m_ctrlProgresTemps; }

private:
    ctrlProgresTemps* m_ctrlProgresTemps = nullptr;
};

} // namespace followup
