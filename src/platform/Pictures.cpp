#include "platform/Pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace platform {

namespace {

constexpr int kSize = 16;

// Runs a drawing on a fresh transparent 16x16 picture.
template <typename Draw> QPixmap drawn(Draw draw) {
    QPixmap pm(kSize, kSize);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
    return pm;
}

QPixmap disc(const QColor& fill, const QString& mark, const QColor& markColor) {
    return drawn([&](QPainter& p) {
        p.setPen(QPen(fill.darker(150), 1));
        p.setBrush(fill);
        p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
        if (mark.isEmpty()) return;
        QFont f;
        f.setPixelSize(11);
        f.setBold(true);
        p.setFont(f);
        p.setPen(markColor);
        p.drawText(QRect(0, 0, kSize, kSize), Qt::AlignCenter, mark);
    });
}

QPixmap star(const QColor& fill) {
    return drawn([&](QPainter& p) {
        QPainterPath path;
        for (int i = 0; i < 10; ++i) {
            const double r = (i % 2) ? 3.0 : 7.0;
            const double a = -M_PI / 2 + i * M_PI / 5;
            const QPointF pt(8 + r * std::cos(a), 8.5 + r * std::sin(a));
            if (i == 0)
                path.moveTo(pt);
            else
                path.lineTo(pt);
        }
        path.closeSubpath();
        p.setPen(QPen(fill.darker(160), 0.8));
        p.setBrush(fill);
        p.drawPath(path);
    });
}

QPixmap fish() {
    return drawn([](QPainter& p) {
        const QColor body(255, 140, 0);
        p.setPen(QPen(body.darker(160), 0.8));
        p.setBrush(body);
        QPainterPath tail;
        tail.moveTo(4.5, 8);
        tail.lineTo(0.5, 4);
        tail.lineTo(0.5, 12);
        tail.closeSubpath();
        p.drawPath(tail);
        p.drawEllipse(QRectF(3.5, 4, 12, 8));
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        p.drawEllipse(QRectF(11.5, 6.2, 1.8, 1.8));
        p.setPen(QPen(body.darker(160), 0.8));
        p.drawLine(QPointF(8, 5), QPointF(8, 11)); // gill
    });
}

QPixmap cake() {
    return drawn([](QPainter& p) {
        p.setPen(QPen(QColor(120, 60, 30), 0.8));
        p.setBrush(QColor(250, 170, 200));
        p.drawRect(QRectF(2.5, 8.5, 11, 6));
        p.setBrush(QColor(255, 250, 235));
        p.drawRect(QRectF(2.5, 8.5, 11, 2)); // icing
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(70, 130, 230));
        p.drawRect(QRectF(7.2, 4, 1.6, 4.5)); // candle
        p.setBrush(QColor(255, 190, 0));
        p.drawEllipse(QRectF(6.8, 0.8, 2.4, 3.4)); // flame
    });
}

QPixmap egg() {
    return drawn([](QPainter& p) {
        QPainterPath shape;
        shape.addEllipse(QRectF(3, 1, 10, 14));
        p.setPen(QPen(QColor(90, 60, 140), 0.8));
        p.setBrush(QColor(200, 170, 255));
        p.drawPath(shape);
        p.setClipPath(shape);
        QPainterPath zig;
        zig.moveTo(2, 8);
        for (int i = 0; i < 6; ++i)
            zig.lineTo(3.5 + i * 2, (i % 2) ? 6.5 : 9.5);
        p.setPen(QPen(QColor(255, 220, 0), 1.6));
        p.setBrush(Qt::NoBrush);
        p.drawPath(zig);
        p.setPen(QPen(QColor(80, 180, 90), 1.2));
        p.drawLine(QPointF(2, 12), QPointF(14, 12));
    });
}

QPixmap shamrock() {
    return drawn([](QPainter& p) {
        const QColor green(20, 140, 50);
        p.setPen(QPen(green.darker(150), 1.4));
        p.drawLine(QPointF(8, 8), QPointF(10.5, 15)); // stem
        p.setPen(QPen(green.darker(150), 0.7));
        p.setBrush(green);
        const QPointF centres[3] = {{8, 4.2}, {4.3, 8.3}, {11.7, 8.3}};
        for (const QPointF& c : centres) { // each leaf a small heart made of two discs
            p.drawEllipse(c + QPointF(-2.6, -1.2), 2.6, 2.6);
            p.drawEllipse(c + QPointF(1.2, -1.2), 2.6, 2.6);
            p.drawEllipse(c + QPointF(-0.7, 1.4), 2.4, 2.4);
        }
    });
}

QPixmap mapleLeaf() {
    return drawn([](QPainter& p) {
        // Outline of the leaf on a 16-unit grid, clockwise from the stem.
        const QPointF pts[] = {{8, 12.5}, {8.6, 12.5}, {12.6, 13}, {12, 11.2}, {15.5, 8},   {14, 7.4},
                               {15, 4.2}, {12.6, 5},   {12, 3.8},  {10, 6.8},  {10.8, 1.8}, {9.4, 2.6},
                               {8, 0.2},  {6.6, 2.6},  {5.2, 1.8}, {6, 6.8},   {4, 3.8},    {3.4, 5},
                               {1, 4.2},  {2, 7.4},    {0.5, 8},   {4, 11.2},  {3.4, 13},   {7.4, 12.5}};
        p.setPen(QPen(QColor(140, 0, 0), 0.7));
        p.setBrush(QColor(220, 20, 30));
        p.drawPolygon(pts, int(sizeof pts / sizeof pts[0]));
        p.setPen(QPen(QColor(140, 0, 0), 1.2));
        p.drawLine(QPointF(8, 12), QPointF(8, 15.5));
    });
}

QPixmap fleurDeLis() {
    return drawn([](QPainter& p) {
        p.fillRect(QRect(0, 0, kSize, kSize), QColor(0, 60, 160));
        p.setPen(QPen(QColor(230, 230, 255), 0.6));
        p.setBrush(Qt::white);
        QPainterPath middle; // the upright petal
        middle.moveTo(8, 1);
        middle.cubicTo(10.5, 3.5, 10, 7, 8, 10);
        middle.cubicTo(6, 7, 5.5, 3.5, 8, 1);
        p.drawPath(middle);
        QPainterPath left; // the side petals curl outwards and down
        left.moveTo(7.2, 9.5);
        left.cubicTo(4, 10, 1, 7.5, 2.5, 4.5);
        left.cubicTo(3, 6.5, 5, 7.5, 7.2, 8);
        p.drawPath(left);
        QPainterPath right;
        right.moveTo(8.8, 9.5);
        right.cubicTo(12, 10, 15, 7.5, 13.5, 4.5);
        right.cubicTo(13, 6.5, 11, 7.5, 8.8, 8);
        p.drawPath(right);
        p.drawRect(QRectF(4.5, 9.5, 7, 1.6)); // the band
        QPainterPath foot;
        foot.moveTo(8, 11);
        foot.lineTo(9.5, 14.5);
        foot.lineTo(6.5, 14.5);
        foot.closeSubpath();
        p.drawPath(foot);
    });
}

} // namespace

QPixmap priorityPixmap(int priority) {
    switch (priority) {
    case 1:
        return disc(QColor(220, 30, 30), QStringLiteral("!"), Qt::white);
    case 2:
        return disc(QColor(40, 170, 60), QString(), Qt::white);
    default:
        return disc(QColor(250, 210, 30), QString(), Qt::black);
    }
}

QPixmap statePixmap(int stateOrder) {
    switch (stateOrder) {
    case 1: // open: an empty ring
        return drawn([](QPainter& p) {
            p.setPen(QPen(QColor(30, 90, 200), 2));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QRectF(2.5, 2.5, 11, 11));
        });
    case 2: // in progress: a half-filled disc
        return drawn([](QPainter& p) {
            p.setPen(QPen(QColor(30, 90, 200), 1.5));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QRectF(2.5, 2.5, 11, 11));
            p.setBrush(QColor(30, 90, 200));
            p.drawPie(QRectF(2.5, 2.5, 11, 11), 90 * 16, -180 * 16);
        });
    case 3: // waiting: a clock face
        return drawn([](QPainter& p) {
            p.setPen(QPen(QColor(200, 120, 0), 1.5));
            p.setBrush(QColor(255, 240, 200));
            p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
            p.drawLine(QPointF(8, 8), QPointF(8, 4));
            p.drawLine(QPointF(8, 8), QPointF(11, 9.5));
        });
    case 4: // finished: a check mark
        return drawn([](QPainter& p) {
            p.setPen(QPen(QColor(20, 150, 40), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            const QPointF tick[] = {{2.5, 8.5}, {6.5, 12.5}, {13.5, 3.5}};
            p.drawPolyline(tick, 3);
        });
    case 5: // other: a grey square with a dash
        return drawn([](QPainter& p) {
            p.setPen(QPen(QColor(100, 100, 100), 1));
            p.setBrush(QColor(210, 210, 210));
            p.drawRoundedRect(QRectF(2.5, 2.5, 11, 11), 2, 2);
            p.setPen(QPen(QColor(60, 60, 60), 2));
            p.drawLine(QPointF(5, 8), QPointF(11, 8));
        });
    default: { // further states: a coloured dot each
        static const QColor spare[] = {QColor(150, 60, 200), QColor(0, 160, 170), QColor(190, 90, 40)};
        const QColor c = spare[(std::max(stateOrder, 6) - 6) % 3];
        return drawn([&](QPainter& p) {
            p.setPen(Qt::NoPen);
            p.setBrush(c);
            p.drawEllipse(QRectF(4, 4, 8, 8));
        });
    }
    }
}

ImageList messageImages() {
    ImageList list;
    for (int prio = 1; prio <= 3; ++prio)
        list.add(priorityPixmap(prio));
    for (int order = 1; order <= 8; ++order)
        list.add(statePixmap(order)); // index = order + 2
    return list;
}

QPixmap eventPixmap(int index) {
    switch (index) {
    case 1:
        return fish();
    case 3:
        return cake();
    case 4:
        return egg();
    case 5:
        return shamrock();
    case 6:
        return mapleLeaf();
    case 7:
        return fleurDeLis();
    default:
        return star(QColor(255, 200, 0));
    }
}

ImageList eventImages() {
    ImageList list;
    for (int i = 0; i <= 7; ++i)
        list.add(eventPixmap(i));
    return list;
}

} // namespace platform
