#include "services/ReportTexts.h"
#include "services/Calendar.h"

#include "platform/Units.h"
#include "support/Etapes.h"

#include <QColor>
#include <cmath>
#include <gtest/gtest.h>

using namespace services;
using namespace Qt::Literals::StringLiterals;

namespace {

TEST(ReportTexts, FormatDureeSingularPluralAndPadding) {
    EXPECT_EQ(FormatDuree(0, 1), u"1 seconde"_s);
    EXPECT_EQ(FormatDuree(0, 0), u"0 seconde"_s);
    EXPECT_EQ(FormatDuree(0, 2), u"2 secondes"_s);
    EXPECT_EQ(FormatDuree(1, 5), u"1:05 minute"_s);
    EXPECT_EQ(FormatDuree(3, 0), u"3:00 minutes"_s);
}

TEST(Calendar, EasterSundayOverManyYears) {
    for (const char* known : {"1961-04-02", "1981-04-19", "2000-04-23", "2008-03-23", "2011-04-24",
                              "2019-04-21", "2024-03-31", "2025-04-20", "2038-04-25", "2285-03-22"}) {
        const QDate d = QDate::fromString(QLatin1String(known), Qt::ISODate);
        EXPECT_EQ(DatePaques(d.year()), d) << known;
    }
    for (int y = 1900; y <= 2100; ++y) {
        SCOPED_TRACE(y);
        const QDate e = DatePaques(y);
        EXPECT_EQ(e.dayOfWeek(), Qt::Sunday);
        EXPECT_GE(e, QDate(y, 3, 22));
        EXPECT_LE(e, QDate(y, 4, 25));
    }
}

double luminance(const QColor& c) {
    auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

TEST(Calendar, EachHolidayItsDayAndReadableColours) {
    const auto holiday = [](const QDate& d) {
        QString name = u"stale"_s;
        qint64 back = -1, fore = -1;
        VerifEvenement(d, name, back, fore);
        return name;
    };
    // Each holiday on its day, and neighbours that a wrong rule would catch (no name).
    const QString patriotes = u"Journée nationale des patriotes"_s, travail = u"Fête du travail"_s,
                  graces = u"Action de grâces"_s;
    const std::pair<QDate, QString> jours[] = {
        {{2024, 1, 1}, u"Jour de l'an"_s},
        {{2024, 1, 2}, {}},
        {{2024, 3, 30}, {}}, // Easter Saturday
        {{2024, 3, 31}, u"Pâques"_s},
        {{2024, 4, 1}, {}}, // Easter Monday
        // The patriots' day is the Monday before May 25, the 24th itself when that is a Monday.
        {{2021, 5, 17}, {}},
        {{2026, 5, 25}, {}}, // a Monday 25th: the 18th
        {{2021, 5, 24}, patriotes},
        {{2024, 5, 20}, patriotes},
        {{2020, 5, 25}, {}},
        {{2026, 5, 18}, patriotes},
        {{2020, 5, 18}, patriotes},
        {{2024, 6, 23}, {}},
        {{2024, 6, 24}, u"Saint-Jean Baptiste"_s},
        {{2026, 7, 1}, u"Fête du Canada"_s},
        {{2024, 9, 2}, travail}, // the first Monday of September
        {{2026, 9, 14}, {}},
        {{2026, 9, 7}, travail},
        {{2024, 10, 14}, graces}, // the second Monday of October
        {{2026, 10, 12}, graces},
        {{2026, 10, 5}, {}},
        {{2026, 10, 19}, {}},
        {{2024, 12, 24}, {}},
        {{2025, 12, 25}, u"Noël"_s},
        {{2024, 12, 26}, {}},
    };
    for (const auto& [jour, nom] : jours)
        EXPECT_EQ(holiday(jour), nom) << jour.toString(Qt::ISODate).toStdString();

    // Over one year, eight holidays; every day's text keeps a contrast ratio of at least 4.5 on
    // a background that stays light beside the presence colours.
    ETAPE("the colours of every day of a year");
    int holidays = 0;
    for (QDate d(2025, 1, 1); d.year() == 2025; d = d.addDays(1)) {
        QString name;
        qint64 back = 0, fore = 0;
        holidays += VerifEvenement(d, name, back, fore);
        const double lb = luminance(platform::colorFromBgr(back)),
                     lf = luminance(platform::colorFromBgr(fore));
        SCOPED_TRACE(d.toString(Qt::ISODate).toStdString() + " " + name.toStdString());
        EXPECT_GE((lb + 0.05) / (lf + 0.05), 4.5);
        EXPECT_GE(lb, 0.7);
    }
    EXPECT_EQ(holidays, 8);
}

} // namespace
