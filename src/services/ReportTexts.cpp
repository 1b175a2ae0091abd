#include "services/ReportTexts.h"

namespace services {

QString EnteteHTML(const QString& title) {
    const QString crlf = QStringLiteral("\r\n");
    return QStringLiteral("<head>") + crlf +
           QStringLiteral("<meta http-equiv='Content-Type' content='text/html; charset=iso-8859-1'>") + crlf +
           QStringLiteral("<title>") + title + QStringLiteral("</title>") + crlf +
           QStringLiteral("<link rel='StyleSheet' type='Text/css' href='styleRapport.css'>") + crlf +
           QStringLiteral("</head>") + crlf;
}

QString FormatDuree(qint32 minutes, qint32 seconds) {
    if (minutes < 1)
        return QString::number(seconds) +
               (seconds >= 2 ? QStringLiteral(" secondes") : QStringLiteral(" seconde"));
    return QString::number(minutes) + QLatin1Char(':') +
           QStringLiteral("%1").arg(seconds, 2, 10, QLatin1Char('0')) +
           (minutes == 1 ? QStringLiteral(" minute") : QStringLiteral(" minutes"));
}

QString MsgAnniversaire(const QString& name) {
    return QStringLiteral("Anniversaire de ") + name;
}

} // namespace services
