#pragma once

#include <QString>

class QDate;
class QDateTime;

// Every text value that goes into an SQL statement goes through these helpers.
// SQL is built by concatenation so that the exact statement can be logged; the
// server reads a backslash inside quotes as an escape, so backslashes are doubled
// along with the quotes.
namespace platform {

// Apostrophes and backslashes doubled; the caller adds the surrounding quotes.
QString DoubleApos(const QString& text);
// 'text' with apostrophes and backslashes doubled.
QString sqlQuote(const QString& text);
// "text" with double quotes and backslashes doubled: how rich text is stored.
QString sqlRichText(const QString& rtf);
// A date as the server reads it: 'yyyy-MM-dd'.
QString sqlDate(const QDate& date);
QString sqlDateTime(const QDateTime& dateTime);
// A number as a statement holds it (no quotes, no group separators).
inline QString num(qint64 n) {
    return QString::number(n);
}

} // namespace platform
