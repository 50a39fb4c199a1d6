#pragma once

#include <QImage>

namespace helan {

// The clipboard as the picture features use it, so that tests touch no real one.
class PictureClipboard {
public:
    virtual ~PictureClipboard() = default;
    // The bitmap on the clipboard; a null image when it holds none.
    virtual QImage image() const = 0;
    virtual void setImage(const QImage& image) = 0;
};

} // namespace helan
