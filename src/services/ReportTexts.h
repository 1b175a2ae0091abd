#pragma once

#include <QString>

// Small texts of the reports and of the presence board.
namespace services {

// Head block of an HTML report: five lines, each ended by CR LF.
QString EnteteHTML(const QString& title);
// A report's duration: "45 secondes", "1 seconde", "1:05 minute", "3:00 minutes".
QString FormatDuree(qint32 minutes, qint32 seconds);
// Text of a birthday on the events row.
QString MsgAnniversaire(const QString& name);

} // namespace services
