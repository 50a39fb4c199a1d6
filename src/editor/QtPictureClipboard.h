#pragma once

#include "editor/PictureClipboard.h"

namespace helan {

// The system clipboard.
class QtPictureClipboard : public PictureClipboard {
public:
    QImage image() const override;
    void setImage(const QImage& image) override;
};

} // namespace helan
