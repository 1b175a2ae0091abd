#pragma once

#include <QDate>
#include <QString>

// The holidays shown on the events row of the presence board.
namespace services {

// Easter Sunday of the year, Gregorian calendar.
QDate DatePaques(int year);

// For a holiday the program knows, writes its name and its two colours (Windows BGR
// values) and returns true; otherwise writes an empty name, white back and black text
// and returns false.
bool VerifEvenement(const QDate& date, QString& name, qint64& backColor, qint64& foreColor);

} // namespace services
