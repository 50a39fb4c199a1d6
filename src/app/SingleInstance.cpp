#include "app/SingleInstance.h"

#include <QDir>
#include <QLockFile>

using namespace Qt::StringLiterals;

namespace helan {

SingleInstance::SingleInstance(const QString& name)
    : m_name(name), m_path(QDir(QDir::tempPath()).filePath(name + u".lock"_s)),
      m_lock(std::make_unique<QLockFile>(m_path))
{
    // A lock is stale only when its process is gone, never because of its age:
    // the program may run for days.
    m_lock->setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

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
