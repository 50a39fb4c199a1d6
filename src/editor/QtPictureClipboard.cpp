#include "editor/QtPictureClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace helan {

QImage QtPictureClipboard::image() const {
    const QClipboard* clipboard = QGuiApplication::clipboard();
    const QMimeData* data = clipboard ? clipboard->mimeData() : nullptr;
    if (!data || !data->hasImage())
        return {};
    return clipboard->image();
}

void QtPictureClipboard::setImage(const QImage& image) {
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setImage(image);
}

} // namespace helan
