#include "editor/PicturePreviewWindow.h"

#include <algorithm>

#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>

#include "editor/PictureCodec.h"

using namespace Qt::StringLiterals;

namespace helan {

PicturePreviewWindow::PicturePreviewWindow(const QByteArray& picture, const QString& caption, QWidget* parent)
    : QDialog(parent) {
    setObjectName(u"图片预览"_s);
    setWindowTitle(caption);
    auto* area = new QScrollArea(this);
    area->setFrameShape(QFrame::NoFrame);
    area->setAlignment(Qt::AlignCenter);
    m_box = new QLabel;
    m_box->setObjectName(u"图片框1"_s);
    m_box->setAlignment(Qt::AlignCenter);
    const QImage image = PictureCodec::decode(picture);
    if (!image.isNull())
        m_box->setPixmap(QPixmap::fromImage(image));
    area->setWidget(m_box);
    area->setWidgetResizable(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(area);

    QSize size = image.isNull() ? QSize(240, 160) : image.size() + QSize(4, 4);
    if (const QScreen* screen = parent ? parent->screen() : this->screen())
        size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
    resize(size.expandedTo(QSize(160, 100)));
}

bool PicturePreviewWindow::showsPicture() const {
    return !m_box->pixmap().isNull();
}

} // namespace helan
