#include "services/ReportTexts.h"
#include "services/Calendar.h"

#include "platform/Units.h"

#include <QColor>
#include <cmath>
#include <gtest/gtest.h>

using namespace services;

namespace {

TEST(ReportTexts, FormatDureeSingularPluralAndPadding) {
    EXPECT_EQ(FormatDuree(0, 1) + FormatDuree(0, 0) + FormatDuree(0, 2),
              QStringLiteral("1 seconde0 seconde2 secondes"));
    EXPECT_EQ(FormatDuree(1, 5) + FormatDuree(3, 0), QStringLiteral("1:05 minute3:00 minutes"));
}

TEST(Calendar, EasterSundayOverManyYears) {
    const QDate known[] = {QDate(1961, 4, 2),  QDate(1981, 4, 19), QDate(2000, 4, 23), QDate(2008, 3, 23),
                           QDate(2011, 4, 24), QDate(2019, 4, 21), QDate(2024, 3, 31), QDate(2025, 4, 20),
                           QDate(2038, 4, 25), QDate(2285, 3, 22)};
    for (const QDate& d : known)
        EXPECT_EQ(DatePaques(d.year()), d) << d.year();
    for (int y = 1900; y <= 2100; ++y) {
        const QDate e = DatePaques(y);
        EXPECT_EQ(e.dayOfWeek(), Qt::Sunday) << y;
        EXPECT_GE(e, QDate(y, 3, 22)) << y;
        EXPECT_LE(e, QDate(y, 4, 25)) << y;
    }
}

double luminance(const QColor& c) {
    auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

TEST(Calendar, EachHolidayItsDayAndReadableColours) {
    const auto holiday = [](const QDate& d) {
        QString name = QStringLiteral("stale");
        qint64 back = -1, fore = -1;
        VerifEvenement(d, name, back, fore);
        return name;
    };
    const std::pair<QDate, const char16_t*> cases[] = {
        {QDate(2024, 1, 1), u"Jour de l'an"},
        {QDate(2024, 3, 31), u"Pâques"},
        {QDate(2021, 5, 24), u"Journée nationale des patriotes"}, // the 24th is itself a Monday
        {QDate(2024, 5, 20), u"Journée nationale des patriotes"},
        {QDate(2026, 5, 18), u"Journée nationale des patriotes"}, // May 25 is a Monday
        {QDate(2020, 5, 18), u"Journée nationale des patriotes"}, // likewise
        {QDate(2024, 6, 24), u"Saint-Jean Baptiste"},
        {QDate(2026, 7, 1), u"Fête du Canada"},
        {QDate(2024, 9, 2), u"Fête du travail"},
        {QDate(2026, 9, 7), u"Fête du travail"},
        {QDate(2024, 10, 14), u"Action de grâces"},
        {QDate(2026, 10, 12), u"Action de grâces"},
        {QDate(2025, 12, 25), u"Noël"},
    };
    for (const auto& [date, name] : cases)
        EXPECT_EQ(holiday(date), QString::fromUtf16(name)) << date.toString(Qt::ISODate).toStdString();
    // Neighbours that a wrong rule would catch.
    for (const QDate& d : {QDate(2026, 5, 25), QDate(2020, 5, 25), QDate(2021, 5, 17), QDate(2024, 4, 1),
                           QDate(2024, 3, 30), QDate(2026, 9, 14), QDate(2026, 10, 5), QDate(2026, 10, 19),
                           QDate(2024, 12, 24), QDate(2024, 12, 26), QDate(2024, 6, 23), QDate(2024, 1, 2)})
        EXPECT_TRUE(holiday(d).isEmpty()) << d.toString(Qt::ISODate).toStdString();

    // Over one year: a plain day is black on white; a holiday's text keeps a contrast ratio
    // of at least 4.5 on a background that stays light beside the presence colours.
    int holidays = 0;
    for (QDate d(2025, 1, 1); d.year() == 2025; d = d.addDays(1)) {
        QString name;
        qint64 back = 0, fore = 0;
        if (!VerifEvenement(d, name, back, fore)) {
            EXPECT_EQ(std::make_pair(back, fore), std::make_pair(qint64(0xFFFFFF), qint64(0)));
            continue;
        }
        ++holidays;
        const double lb = luminance(platform::colorFromBgr(back)),
                     lf = luminance(platform::colorFromBgr(fore));
        EXPECT_GE((lb + 0.05) / (lf + 0.05), 4.5) << name.toStdString();
        EXPECT_GE(lb, 0.7) << name.toStdString();
    }
    EXPECT_EQ(holidays, 8);
}

} // namespace
