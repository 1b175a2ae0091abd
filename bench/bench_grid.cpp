// Timings of the grid: fill, sort, grouping and painting. Prints figures and ratios.
#include "platform/Grid.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <string>
#include <vector>

using namespace platform;

namespace {

constexpr int kRows = 10000;
constexpr int kCols = 12;

QString cellText(int r, int c) {
    switch (c) {
    case 4:
        return QStringLiteral("Client %1 Émile").arg((r * 7919) % 1000);
    case 6:
        return QStringLiteral("2024-%1-%2")
            .arg(1 + r % 12, 2, 10, QLatin1Char('0'))
            .arg(1 + r % 28, 2, 10, QLatin1Char('0'));
    case 7:
        return QStringLiteral("%1:%2")
            .arg(r % 24, 2, 10, QLatin1Char('0'))
            .arg(r % 60, 2, 10, QLatin1Char('0'));
    case 8:
        return QStringLiteral("Employé %1").arg(r % 9);
    case 9:
        return QStringLiteral("Type %1").arg(r % 5);
    default:
        return QStringLiteral("c%1 r%2").arg(c).arg(r);
    }
}

QString longText(int r) {
    QString s = QStringLiteral("Message %1 : ").arg(r);
    while (s.size() < 300)
        s += QStringLiteral("rappeler le client au sujet du dossier en cours ");
    return s.left(300);
}

void addColumns(Grid& g) {
    for (int c = 1; c <= kCols; ++c)
        g.AddColumn(QStringLiteral("k%1").arg(c), QStringLiteral("Col %1").arg(c), 0, -1, c == 12 ? 985 : 90,
                    true, false, QString(), true, QString(), c == 12,
                    c == 6 || c == 7 ? kSortDate
                    : c == 3         ? kSortItemData
                    : c <= 2         ? kSortImage
                                     : kSortText);
}

// Fills rows through CellDetails the way the message list does; returns seconds.
double fill(Grid& g, int rows, const std::vector<std::vector<QString>>& data) {
    QElapsedTimer t;
    t.start();
    g.setRedraw(false);
    const QFont f = g.GridFont();
    for (int r = 0; r < rows; ++r) {
        const int row = g.AddRow();
        const auto& d = data[size_t(r % int(data.size()))];
        for (int c = 1; c <= kCols; ++c)
            g.CellDetails(row, c, d[size_t(c - 1)], c == 12 ? 16 : 0x40020, c <= 2 ? r % 3 : -1, -1, -1, f, 0,
                          -1, r + 1);
        g.setRowHeight(row, g.EvaluateTextHeight(row, 12) + g.DefaultRowHeight() + 4);
    }
    g.setRedraw(true);
    return t.nsecsElapsed() / 1e9;
}

struct PlainCell {
    QString text;
    int alignment, image;
    qint64 back, fore;
    QFont font;
    int indent, extra, item;
};

double fillVector(int rows, const std::vector<std::vector<QString>>& data, const QFont& f) {
    QElapsedTimer t;
    t.start();
    std::vector<std::vector<PlainCell>> v;
    for (int r = 0; r < rows; ++r) {
        v.emplace_back(kCols);
        const auto& d = data[size_t(r % int(data.size()))];
        for (int c = 0; c < kCols; ++c)
            v.back()[size_t(c)] = {d[size_t(c)], 0x40020, -1, -1, -1, f, 0, -1, r + 1};
    }
    const double s = t.nsecsElapsed() / 1e9;
    return v.size() == size_t(rows) ? s : 0;
}

double timeMs(const std::function<void()>& f) {
    QElapsedTimer t;
    t.start();
    f();
    return t.nsecsElapsed() / 1e6;
}

double paintMs(Grid& g, int repeats) {
    QImage img(g.size(), QImage::Format_ARGB32_Premultiplied);
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < repeats; ++i) {
        QPainter p(&img);
        g.renderTo(p);
    }
    return t.nsecsElapsed() / 1e6 / repeats;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    std::vector<std::vector<QString>> data(kRows);
    for (int r = 0; r < kRows; ++r) {
        for (int c = 1; c < kCols; ++c)
            data[size_t(r)].push_back(cellText(r, c));
        data[size_t(r)].push_back(longText(r));
    }

    Grid g;
    g.resize(1200, 800);
    addColumns(g);
    const double fillS = fill(g, kRows, data);
    const double vecS = fillVector(kRows, data, g.GridFont());
    std::printf("fill %d rows x %d cells + EvaluateTextHeight: %.3f s (limit 0.3 s), plain vector %.4f s, "
                "ratio %.1f\n",
                kRows, kCols, fillS, vecS, fillS / vecS);

    std::printf("sort by text:            %6.1f ms (limit 50)\n", timeMs([&] {
                    g.sortKeys().clear();
                    g.sortKeys().add(4, kSortAscending, kSortText);
                    g.Sort();
                }));
    std::printf("sort by date, time desc: %6.1f ms (limit 50)\n", timeMs([&] {
                    g.sortKeys().clear();
                    g.sortKeys().add(6, kSortDescending, kSortDate);
                    g.sortKeys().add(7, kSortDescending, kSortDate);
                    g.Sort();
                }));
    double ms = timeMs([&] { g.setColumnIsGrouped(8, true); });
    std::printf("group by one column:     %6.1f ms (limit 50), rows %d\n", ms, g.Rows());
    ms = timeMs([&] { g.setColumnIsGrouped(9, true); });
    std::printf("group by two columns:    %6.1f ms (limit 50), rows %d\n", ms, g.Rows());
    ms = timeMs([&] {
        g.setColumnIsGrouped(9, false);
        g.setColumnIsGrouped(8, false);
    });
    std::printf("ungroup both:            %6.1f ms (limit 50), rows %d\n", ms, g.Rows());

    Grid small, big;
    for (Grid* gr : {&small, &big}) {
        gr->resize(1200, 800);
        addColumns(*gr);
    }
    fill(small, 100, data);
    fill(big, 100000, data);
    big.setSelectedRow(50000);
    big.EnsureVisible(50000, 1);
    paintMs(small, 3);
    paintMs(big, 3); // warm caches
    const double ps = paintMs(small, 30), pb = paintMs(big, 30);
    std::printf("paint visible rows: 100 rows %.2f ms, 100,000 rows %.2f ms, ratio %.2f (limit 1.5)\n", ps,
                pb, pb / ps);
    return 0;
}
