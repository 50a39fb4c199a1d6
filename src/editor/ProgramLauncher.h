#pragma once

#include <QString>
#include <QStringList>

namespace helan {

// Finding and starting external programs, so that tests start nothing.
class ProgramLauncher {
public:
    virtual ~ProgramLauncher() = default;
    // The program's path when it is on the PATH; empty otherwise.
    virtual QString find(const QString& program) const = 0;
    // Starts the program detached; false when it could not be started.
    virtual bool start(const QString& program, const QStringList& arguments) = 0;
};

} // namespace helan
