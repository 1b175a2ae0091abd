#include "followup/frmProgressPopUp.h"

#include "followup/ctrlProgresTemps.h"
#include "platform/Units.h"

namespace followup {

frmProgressPopUp::frmProgressPopUp(QWidget* parent) : QWidget(parent, Qt::Dialog) {
    setObjectName(QStringLiteral("frmProgressPopUp"));
    setWindowTitle(QStringLiteral("Progression de la tâche"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFixedSize(platform::twipsToPixelsX(5430), platform::twipsToPixelsY(690));
    m_ctrlProgresTemps = new ctrlProgresTemps(this);
    m_ctrlProgresTemps->setObjectName(QStringLiteral("ctrlProgresTemps"));
    m_ctrlProgresTemps->setGeometry(platform::twipsToPixelsX(120), platform::twipsToPixelsY(120),
                                    platform::twipsToPixelsX(5175), platform::twipsToPixelsY(495));
}

} // namespace followup
