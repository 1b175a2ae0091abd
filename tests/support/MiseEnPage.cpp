#include "support/MiseEnPage.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QStringList>
#include <QStyle>
#include <QWidget>

namespace {

bool controle(const QWidget* w) {
    return qobject_cast<const QLabel*>(w) || qobject_cast<const QAbstractButton*>(w) ||
           qobject_cast<const QLineEdit*>(w) || qobject_cast<const QComboBox*>(w) ||
           qobject_cast<const QAbstractSpinBox*>(w);
}

// Qt's own inner widgets (the field of a date or combo box) go by their owner's name.
QString nom(const QWidget* w) {
    const QString n =
        w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName();
    return n.startsWith(QLatin1String("qt_")) && w->parentWidget() ? nom(w->parentWidget()) : n;
}

// The room the text needs, in pixels, or an empty size when the widget shows no text.
QSize besoin(const QWidget* w, QString* texte) {
    const QFontMetrics fm = w->fontMetrics();
    auto lignes = [&](const QString& t) {
        int large = 0;
        const QStringList l = t.split(QLatin1Char('\n'));
        for (const QString& s : l)
            large = std::max(large, fm.horizontalAdvance(s));
        return QSize(large, fm.height() + (int(l.size()) - 1) * fm.lineSpacing());
    };
    if (auto* l = qobject_cast<const QLabel*>(w)) {
        *texte = l->text();
        if (texte->isEmpty() || l->textFormat() == Qt::RichText) return {};
        const int marges = 2 * (l->margin() + l->frameWidth()) + (l->indent() > 0 ? l->indent() : 0);
        return l->wordWrap() ? QSize(0, l->heightForWidth(l->width()))
                             : lignes(*texte) + QSize(marges, marges);
    }
    if (auto* b = qobject_cast<const QAbstractButton*>(w)) {
        *texte = b->text();
        // A check box's hint holds its box and its text.
        const QSize voulu = qobject_cast<const QCheckBox*>(w) ? b->sizeHint() : lignes(*texte) + QSize(4, 2);
        return texte->isEmpty() ? QSize() : voulu;
    }
    if (auto* e = qobject_cast<const QLineEdit*>(w)) {
        *texte = e->text();
        // Qt keeps two pixels free each side of a line edit's text.
        const int cadre = e->hasFrame() ? 2 * w->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) : 0;
        return texte->isEmpty() ? QSize() : QSize(fm.horizontalAdvance(*texte) + 4 + cadre, fm.height());
    }
    return {};
}

} // namespace

std::string defautsMiseEnPage(const QWidget* window) {
    QStringList defauts;
    const QList<QWidget*> enfants = window->findChildren<QWidget*>();
    for (const QWidget* w : enfants) {
        if (!w->isVisibleTo(window) || !controle(w)) continue;
        QString texte;
        const QSize voulu = besoin(w, &texte);
        if (voulu.isValid() && (voulu.width() > w->width() || voulu.height() > w->height()))
            defauts << QStringLiteral("%1 « %2 » : il faut %3×%4, il a %5×%6")
                           .arg(nom(w), texte, QString::number(voulu.width()),
                                QString::number(voulu.height()), QString::number(w->width()),
                                QString::number(w->height()));
        // A control laid wholly inside another (a date inside its day's header) is meant.
        for (const QWidget* autre : enfants) {
            const QRect a = w->geometry(), b = autre->geometry();
            if (autre > w && autre->parentWidget() == w->parentWidget() && autre->isVisibleTo(window) &&
                controle(autre) && a.intersects(b) && !a.contains(b) && !b.contains(a))
                defauts << QStringLiteral("%1 et %2 se chevauchent").arg(nom(w), nom(autre));
        }
    }
    return defauts.join(QLatin1Char('\n')).toStdString();
}
