// The HTML report of the grid and the export buttons.
#include "followup/SGridMsg.h"

void SGridMsg::cmdExport_Click(int) {}
void SGridMsg::ExportMsgHTML(const QString&, qint32) {}
QString SGridMsg::NomFichierHTML(int) {
    return QString();
}
QString SGridMsg::dossierRapports() {
    return QString();
}
void SGridMsg::setDossierRapports(const QString&) {}
bool SGridMsg::lireMessageRapport(qint32, int, followup::RapportMessage&, QString&) {
    return false;
}
