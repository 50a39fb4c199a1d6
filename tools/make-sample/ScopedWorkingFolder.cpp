#include "ScopedWorkingFolder.h"

#include <QDir>

namespace helan {

ScopedWorkingFolder::ScopedWorkingFolder(const QString& folder) : m_previous(QDir::currentPath())
{
    m_entered = QDir().mkpath(folder) && QDir::setCurrent(folder);
}

ScopedWorkingFolder::~ScopedWorkingFolder()
{
    if (m_entered)
        QDir::setCurrent(m_previous);
}

} // namespace helan
