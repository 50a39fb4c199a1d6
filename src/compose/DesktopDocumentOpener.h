#pragma once

#include "compose/DocumentOpener.h"

namespace helan {

// Opens files through the desktop's default handler.
class DesktopDocumentOpener : public DocumentOpener {
public:
    bool openDocument(const QString& path) override;
};

} // namespace helan
