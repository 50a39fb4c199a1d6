#pragma once

#include <optional>

#include <QByteArray>
#include <QImage>
#include <QString>

namespace helan {

// Decoding and encoding of question pictures through Qt's image readers (JPEG,
// GIF, BMP, PNG, ICO, TIFF and whatever else the installed plug-ins read).
// Nothing here throws or crashes on bad bytes: what cannot be decoded is a null
// image or no result.
class PictureCodec {
public:
    // Whether a picture file of this name is kept as it is: its extension (the
    // text after the last ".", or the whole name when there is none) is exactly
    // jpg, jpeg, jpe or jfif. Case counts, so "x.JPG" is re-encoded.
    static bool keepsFileAsIs(const QString& fileName);
    // What the readers may allocate for one picture, in MB: enough for a 50-megapixel
    // phone photo or scan at 4 bytes a pixel; beyond it a picture is refused as a
    // decompression bomb.
    static constexpr int kAllocationLimitMb = 256;
    // Raises the readers' limit (process-wide) to kAllocationLimitMb.
    static void allowLargePictures();
    // Whether the bytes announce an image larger than the readers may allocate.
    static bool exceedsDecoderLimit(const QByteArray& bytes);
    // JPEG bytes of the decoded picture (transparent parts on white); no value
    // when it cannot be decoded.
    static std::optional<QByteArray> reencodeAsJpeg(const QByteArray& bytes);
    // A null image when the bytes cannot be decoded or are too large.
    static QImage decode(const QByteArray& bytes);
    // The image as a complete BMP file.
    static QByteArray bmpBytes(const QImage& image);
};

} // namespace helan
