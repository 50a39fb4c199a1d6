#pragma once

#include <QString>

namespace helan {

// Shows a written file with the desktop's default program for its kind, so
// that tests open nothing.
class DocumentOpener {
public:
    virtual ~DocumentOpener() = default;
    // False when no program could be asked to show the file.
    virtual bool openDocument(const QString& path) = 0;
};

} // namespace helan
