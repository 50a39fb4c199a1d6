#include "app/SingleInstance.h"

#include <QDir>
#include <QLockFile>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace helan {

// The marker is the user's own: another account on the machine, or its stray
// lock file, never keeps this user's copy from starting.
SingleInstance::SingleInstance(const QString& name)
    : m_name(name), m_path(QDir(QDir::tempPath()).filePath(name + u"-"_s + userTag() + u".lock"_s)),
      m_lock(std::make_unique<QLockFile>(m_path))
{
    // A lock is stale only when its process is gone, never because of its age:
    // the program may run for days.
    m_lock->setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::userTag()
{
#ifdef Q_OS_UNIX
    return QString::number(geteuid());
#else
    return qEnvironmentVariable("USERNAME", u"user"_s);
#endif
}

bool SingleInstance::acquire()
{
    return m_lock->isLocked() || m_lock->tryLock(0);
}

bool SingleInstance::isHeld() const
{
    return m_lock->isLocked();
}

QString SingleInstance::refusalText() const
{
    return u"程序 "_s + m_name + u" 已经运行！"_s;
}

} // namespace helan
