#pragma once

#include "editor/ProgramLauncher.h"

namespace helan {

// Programs on the PATH, started detached.
class QtProgramLauncher : public ProgramLauncher {
public:
    QString find(const QString& program) const override;
    bool start(const QString& program, const QStringList& arguments) override;
};

} // namespace helan
