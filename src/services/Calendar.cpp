#include "services/Calendar.h"

namespace services {

namespace {

// Windows colour value 0x00BBGGRR from its red, green and blue parts.
constexpr qint64 bgr(int r, int g, int b) {
    return (qint64(b) << 16) | (qint64(g) << 8) | qint64(r);
}

struct Holiday {
    const char16_t* name;
    qint64 back;
    qint64 fore;
};

// Pale backgrounds so that the row stays quiet beside the presence colours, and dark
// text of the same hue so that each name reads easily.
constexpr Holiday kJourDeLAn{u"Jour de l'an", bgr(255, 244, 204), bgr(128, 90, 0)};
constexpr Holiday kPaques{u"Pâques", bgr(236, 226, 250), bgr(90, 40, 140)};
constexpr Holiday kPatriotes{u"Journée nationale des patriotes", bgr(221, 242, 221), bgr(0, 100, 0)};
constexpr Holiday kSaintJean{u"Saint-Jean Baptiste", bgr(214, 230, 255), bgr(0, 51, 153)};
constexpr Holiday kCanada{u"Fête du Canada", bgr(255, 255, 255), bgr(200, 16, 46)};
constexpr Holiday kTravail{u"Fête du travail", bgr(226, 233, 242), bgr(40, 60, 90)};
constexpr Holiday kActionDeGraces{u"Action de grâces", bgr(255, 226, 196), bgr(130, 60, 10)};
constexpr Holiday kNoel{u"Noël", bgr(255, 218, 218), bgr(139, 0, 0)};

// The n-th Monday (from 1) of a month.
QDate nthMonday(int year, int month, int n) {
    const QDate first(year, month, 1);
    const int toMonday = (Qt::Monday - first.dayOfWeek() + 7) % 7;
    return first.addDays(toMonday + 7 * (n - 1));
}

const Holiday* holidayOf(const QDate& d) {
    const int m = d.month();
    const int day = d.day();
    if (m == 1 && day == 1) return &kJourDeLAn;
    if (m == 6 && day == 24) return &kSaintJean;
    if (m == 7 && day == 1) return &kCanada;
    if (m == 12 && day == 25) return &kNoel;
    if (d == DatePaques(d.year())) return &kPaques;
    if (d.dayOfWeek() != Qt::Monday) return nullptr;
    // The Monday strictly before May 25: May 18 when the 25th is itself a Monday.
    const QDate may24(d.year(), 5, 24);
    if (d == may24.addDays(-(may24.dayOfWeek() - Qt::Monday))) return &kPatriotes;
    if (d == nthMonday(d.year(), 9, 1)) return &kTravail;
    if (d == nthMonday(d.year(), 10, 2)) return &kActionDeGraces;
    return nullptr;
}

} // namespace

QDate DatePaques(int year) {
    // Anonymous Gregorian algorithm (Meeus/Jones/Butcher).
    const int a = year % 19;
    const int b = year / 100;
    const int c = year % 100;
    const int d = b / 4;
    const int e = b % 4;
    const int f = (b + 8) / 25;
    const int g = (b - f + 1) / 3;
    const int h = (19 * a + b - d - g + 15) % 30;
    const int i = c / 4;
    const int k = c % 4;
    const int l = (32 + 2 * e + 2 * i - h - k) % 7;
    const int m = (a + 11 * h + 22 * l) / 451;
    const int month = (h + l - 7 * m + 114) / 31;
    const int day = (h + l - 7 * m + 114) % 31 + 1;
    return QDate(year, month, day);
}

bool VerifEvenement(const QDate& date, QString& name, qint64& backColor, qint64& foreColor) {
    const Holiday* h = date.isValid() ? holidayOf(date) : nullptr;
    if (!h) {
        name.clear();
        backColor = 0xFFFFFF;
        foreColor = 0;
        return false;
    }
    name = QString::fromUtf16(h->name);
    backColor = h->back;
    foreColor = h->fore;
    return true;
}

} // namespace services
