#pragma once

#include <QStringList>

#include "compose/DocumentOpener.h"

namespace helan::test {

// Stands in for the desktop: notes every document it is asked to show, and
// shows them unless told it cannot.
class RecordingOpener : public DocumentOpener {
public:
    bool openDocument(const QString& path) override {
        opened.append(path);
        return opens;
    }
    QStringList opened;
    bool opens = true;
};

} // namespace helan::test
