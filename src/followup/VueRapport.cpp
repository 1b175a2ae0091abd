#include "followup/VueRapport.h"

#include <QAbstractTextDocumentLayout>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QTextDocument>
#include <QTextDocumentFragment>

namespace followup {

VueRapport::VueRapport(QWidget* parent) : QAbstractScrollArea(parent) {
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    setFocusPolicy(Qt::StrongFocus);
}

void VueRapport::setDocument(QTextDocument* doc) {
    m_doc = doc;
    m_ancre = m_position = 0;
    barres();
    viewport()->update();
}

QTextCursor VueRapport::textCursor() const {
    if (!m_doc) return {};
    QTextCursor c(m_doc);
    c.setPosition(m_ancre);
    c.setPosition(m_position, QTextCursor::KeepAnchor);
    return c;
}

void VueRapport::setTextCursor(const QTextCursor& cursor) {
    if (!m_doc || cursor.document() != m_doc) return;
    m_ancre = cursor.anchor();
    m_position = cursor.position();
    viewport()->update();
}

void VueRapport::copy() {
    const QTextCursor c = textCursor();
    if (!c.hasSelection()) return;
    auto* donnees = new QMimeData;
    const QTextDocumentFragment morceau(c);
    donnees->setHtml(morceau.toHtml());
    donnees->setText(morceau.toPlainText());
    QGuiApplication::clipboard()->setMimeData(donnees);
}

void VueRapport::selectAll() {
    if (!m_doc) return;
    m_ancre = 0;
    m_position = m_doc->characterCount() - 1;
    viewport()->update();
}

void VueRapport::barres() {
    const QSizeF taille = m_doc ? m_doc->documentLayout()->documentSize() : QSizeF();
    const QSize vue = viewport()->size();
    verticalScrollBar()->setRange(0, std::max(0, qCeil(taille.height()) - vue.height()));
    verticalScrollBar()->setPageStep(vue.height());
    verticalScrollBar()->setSingleStep(20);
    horizontalScrollBar()->setRange(0, std::max(0, qCeil(taille.width()) - vue.width()));
    horizontalScrollBar()->setPageStep(vue.width());
    horizontalScrollBar()->setSingleStep(20);
}

void VueRapport::paintEvent(QPaintEvent*) {
    if (!m_doc) return;
    QPainter p(viewport());
    const QPointF decalage(horizontalScrollBar()->value(), verticalScrollBar()->value());
    p.translate(-decalage);
    QAbstractTextDocumentLayout::PaintContext ctx;
    ctx.clip = QRectF(decalage, viewport()->size());
    ctx.palette = palette();
    ctx.cursorPosition = -1;
    const QTextCursor c = textCursor();
    if (c.hasSelection()) {
        QAbstractTextDocumentLayout::Selection s;
        s.cursor = c;
        s.format.setBackground(palette().brush(QPalette::Highlight));
        s.format.setForeground(palette().brush(QPalette::HighlightedText));
        ctx.selections << s;
    }
    p.setClipRect(ctx.clip);
    m_doc->documentLayout()->draw(&p, ctx);
}

void VueRapport::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    barres();
}

int VueRapport::position(const QPoint& point) const {
    const QPointF dansDoc =
        QPointF(point) + QPointF(horizontalScrollBar()->value(), verticalScrollBar()->value());
    return std::max(0, m_doc->documentLayout()->hitTest(dansDoc, Qt::FuzzyHit));
}

void VueRapport::mousePressEvent(QMouseEvent* event) {
    if (!m_doc || event->button() != Qt::LeftButton) return;
    m_position = position(event->position().toPoint());
    if (!(event->modifiers() & Qt::ShiftModifier)) m_ancre = m_position;
    m_glisse = true;
    viewport()->update();
}

void VueRapport::mouseMoveEvent(QMouseEvent* event) {
    if (!m_doc || !m_glisse) return;
    const QPoint p = event->position().toPoint();
    // Dragged past an edge, the text comes along.
    if (p.y() < 0)
        verticalScrollBar()->setValue(verticalScrollBar()->value() + p.y());
    else if (p.y() > viewport()->height())
        verticalScrollBar()->setValue(verticalScrollBar()->value() + p.y() - viewport()->height());
    m_position = position(p);
    viewport()->update();
}

void VueRapport::mouseReleaseEvent(QMouseEvent*) {
    m_glisse = false;
}

void VueRapport::mouseDoubleClickEvent(QMouseEvent* event) {
    if (!m_doc || event->button() != Qt::LeftButton) return;
    QTextCursor c(m_doc);
    c.setPosition(position(event->position().toPoint()));
    c.select(QTextCursor::WordUnderCursor);
    setTextCursor(c);
}

void VueRapport::keyPressEvent(QKeyEvent* event) {
    if (event == QKeySequence::Copy)
        copy();
    else if (event == QKeySequence::SelectAll)
        selectAll();
    else if (event == QKeySequence::MoveToStartOfDocument)
        verticalScrollBar()->setValue(0);
    else if (event == QKeySequence::MoveToEndOfDocument)
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    else
        QAbstractScrollArea::keyPressEvent(event);
}

void VueRapport::contextMenuEvent(QContextMenuEvent*) {
    if (menuContextuel) menuContextuel();
}

} // namespace followup
