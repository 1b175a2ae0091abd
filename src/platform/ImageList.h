#pragma once

#include <QPixmap>
#include <QSize>
#include <QVector>

namespace platform {

// A numbered set of small pictures shared by grids and pickers. Indexes run from 0 to
// count() - 1; an index outside that range (such as -1, "no image") gives a null pixmap.
// Copies share their pixmaps.
class ImageList {
public:
    ImageList() = default;
    explicit ImageList(QSize imageSize) : m_size(imageSize) {}

    // Appends a picture and returns its index.
    int add(const QPixmap& pixmap);
    void clear() { m_images.clear(); }
    int count() const { return int(m_images.size()); }
    bool isValidIndex(int index) const { return index >= 0 && index < count(); }
    QPixmap pixmap(int index) const;
    void setPixmap(int index, const QPixmap& pixmap);

    // Size each picture is drawn at (16x16 unless set).
    QSize imageSize() const { return m_size; }
    void setImageSize(QSize size) { m_size = size; }

private:
    QVector<QPixmap> m_images;
    QSize m_size{16, 16};
};

} // namespace platform
