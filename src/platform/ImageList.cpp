#include "platform/ImageList.h"

namespace platform {

int ImageList::add(const QPixmap& pixmap) {
    m_images.push_back(pixmap);
    return count() - 1;
}

QPixmap ImageList::pixmap(int index) const {
    return isValidIndex(index) ? m_images[index] : QPixmap();
}

void ImageList::setPixmap(int index, const QPixmap& pixmap) {
    if (index < 0) return;
    while (count() <= index)
        m_images.push_back(QPixmap());
    m_images[index] = pixmap;
}

} // namespace platform
