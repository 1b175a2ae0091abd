#include "services/ReportTexts.h"
#include "services/Calendar.h"

#include "platform/Units.h"

#include <QColor>
#include <cmath>
#include <gtest/gtest.h>

using namespace services;
using namespace Qt::Literals::StringLiterals;

namespace {

TEST(ReportTexts, FormatDureeSingularPluralAndPadding) {
    EXPECT_EQ(FormatDuree(0, 1) + FormatDuree(0, 0) + FormatDuree(0, 2), u"1 seconde0 seconde2 secondes"_s);
    EXPECT_EQ(FormatDuree(1, 5) + FormatDuree(3, 0), u"1:05 minute3:00 minutes"_s);
}

TEST(Calendar, EasterSundayOverManyYears) {
    for (const char* known : {"1961-04-02", "1981-04-19", "2000-04-23", "2008-03-23", "2011-04-24",
                              "2019-04-21", "2024-03-31", "2025-04-20", "2038-04-25", "2285-03-22"}) {
        const QDate d = QDate::fromString(QLatin1String(known), Qt::ISODate);
        EXPECT_EQ(DatePaques(d.year()), d) << known;
    }
    for (int y = 1900; y <= 2100; ++y) {
        const QDate e = DatePaques(y);
        EXPECT_TRUE(e.dayOfWeek() == Qt::Sunday && e >= QDate(y, 3, 22) && e <= QDate(y, 4, 25)) << y;
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
    // Each holiday on its day, and neighbours that a wrong rule would catch (no name). The
    // patriots' day is the Monday before May 25, the 24th itself when that is a Monday.
    const QString cases = QStringLiteral(
        "2024-01-01 Jour de l'an|2024-01-02|2024-03-30|2024-03-31 Pâques|2024-04-01|2021-05-17|2026-05-25|"
        "2021-05-24 Journée nationale des patriotes|2024-05-20 Journée nationale des patriotes|2020-05-25|"
        "2026-05-18 Journée nationale des patriotes|2020-05-18 Journée nationale des patriotes|2024-06-23|"
        "2024-06-24 Saint-Jean Baptiste|2026-07-01 Fête du Canada|2024-09-02 Fête du travail|2026-09-14|"
        "2026-09-07 Fête du travail|2024-10-14 Action de grâces|2026-10-12 Action de grâces|2026-10-05|"
        "2026-10-19|2024-12-24|2025-12-25 Noël|2024-12-26");
    for (const QString& c : cases.split(u'|'))
        EXPECT_EQ(holiday(QDate::fromString(c.left(10), Qt::ISODate)), c.mid(11)) << c.toStdString();

    // Over one year, eight holidays; every day's text keeps a contrast ratio of at least 4.5 on
    // a background that stays light beside the presence colours.
    int holidays = 0;
    for (QDate d(2025, 1, 1); d.year() == 2025; d = d.addDays(1)) {
        QString name;
        qint64 back = 0, fore = 0;
        holidays += VerifEvenement(d, name, back, fore);
        const double lb = luminance(platform::colorFromBgr(back)),
                     lf = luminance(platform::colorFromBgr(fore));
        EXPECT_TRUE((lb + 0.05) / (lf + 0.05) >= 4.5 && lb >= 0.7) << name.toStdString();
    }
    EXPECT_EQ(holidays, 8);
}

} // namespace
