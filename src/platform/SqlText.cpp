#include "platform/SqlText.h"

#include <QDate>
#include <QDateTime>

namespace platform {

QString DoubleApos(const QString& text) {
    QString out;
    out.reserve(text.size() + 8);
    for (const QChar c : text) {
        if (c == QLatin1Char('\'') || c == QLatin1Char('\\')) out += c;
        out += c;
    }
    return out;
}

QString sqlQuote(const QString& text) {
    return QLatin1Char('\'') + DoubleApos(text) + QLatin1Char('\'');
}

QString sqlRichText(const QString& rtf) {
    QString out;
    out.reserve(rtf.size() + 16);
    out += QLatin1Char('"');
    for (const QChar c : rtf) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\\')) out += c;
        out += c;
    }
    out += QLatin1Char('"');
    return out;
}

QString sqlDate(const QDate& date) {
    return sqlQuote(date.toString(QStringLiteral("yyyy-MM-dd")));
}

QString sqlDateTime(const QDateTime& dateTime) {
    return sqlQuote(dateTime.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
}

} // namespace platform
