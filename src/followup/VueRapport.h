#pragma once

#include <QAbstractScrollArea>
#include <QTextCursor>
#include <functional>

class QTextDocument;

namespace followup {

// Shows a report's document already laid out, as it is: the window thread only paints the part
// on screen, so a report of any length scrolls at once. The text is read, selected with the
// mouse (a double click takes a word), copied (Ctrl+C) and selected whole (Ctrl+A); it is laid
// out at one width, and a narrower window scrolls sideways. Nothing here changes the document:
// a change would have the window thread lay it out again.
class VueRapport : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit VueRapport(QWidget* parent = nullptr);

    // The document shown, laid out in full at its page width; not owned. Nothing is selected.
    void setDocument(QTextDocument* doc);
    QTextDocument* document() const { return m_doc; }
    // The selection, as a cursor on the document.
    QTextCursor textCursor() const;
    void setTextCursor(const QTextCursor& cursor);
    void copy();
    void selectAll();
    // Called for a right click, instead of a menu of its own.
    std::function<void()> menuContextuel;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void barres();
    int position(const QPoint& point) const;

    QTextDocument* m_doc = nullptr;
    int m_ancre = 0;
    int m_position = 0;
    bool m_glisse = false;
};

} // namespace followup
