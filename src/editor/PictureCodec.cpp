#include "editor/PictureCodec.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>

using namespace Qt::StringLiterals;

namespace helan {

bool PictureCodec::keepsFileAsIs(const QString& fileName) {
    const qsizetype dot = fileName.lastIndexOf(u'.');
    const QString extension = dot < 0 ? fileName : fileName.mid(dot + 1);
    return extension == u"jpg"_s || extension == u"jpeg"_s || extension == u"jpe"_s || extension == u"jfif"_s;
}

void PictureCodec::allowLargePictures() {
    if (QImageReader::allocationLimit() < kAllocationLimitMb)
        QImageReader::setAllocationLimit(kAllocationLimitMb);
}

bool PictureCodec::exceedsDecoderLimit(const QByteArray& bytes) {
    allowLargePictures();
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (!size.isValid())
        return false;
    const qint64 limit = qint64(QImageReader::allocationLimit()) * 1024 * 1024;
    return limit > 0 && qint64(size.width()) * size.height() * 4 > limit;
}

QImage PictureCodec::decode(const QByteArray& bytes) {
    if (bytes.isEmpty() || exceedsDecoderLimit(bytes))
        return {};
    return QImage::fromData(bytes);
}

std::optional<QByteArray> PictureCodec::reencodeAsJpeg(const QByteArray& bytes) {
    const QImage image = decode(bytes);
    if (image.isNull())
        return std::nullopt;
    QImage flat(image.size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    {
        QPainter painter(&flat);
        painter.drawImage(0, 0, image);
    }
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpg");
    if (!writer.write(flat) || out.isEmpty())
        return std::nullopt;
    return out;
}

QByteArray PictureCodec::bmpBytes(const QImage& image) {
    QByteArray out;
    if (image.isNull())
        return out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "BMP"))
        out.clear();
    return out;
}

} // namespace helan
