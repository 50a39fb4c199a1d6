#include "editor/QtProgramLauncher.h"

#include <QProcess>
#include <QStandardPaths>

namespace helan {

QString QtProgramLauncher::find(const QString& program) const {
    return QStandardPaths::findExecutable(program);
}

bool QtProgramLauncher::start(const QString& program, const QStringList& arguments) {
    return QProcess::startDetached(program, arguments);
}

} // namespace helan
