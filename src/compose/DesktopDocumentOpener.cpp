#include "compose/DesktopDocumentOpener.h"

#include <QDesktopServices>
#include <QUrl>

namespace helan {

bool DesktopDocumentOpener::openDocument(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace helan
