#include "TempFolder.h"

#include <QDir>

#include <gtest/gtest.h>

namespace helan::test {

TempFolder::TempFolder() : m_previous(QDir::currentPath())
{
    EXPECT_TRUE(m_dir.isValid());
    QDir::setCurrent(m_dir.path());
}

TempFolder::~TempFolder()
{
    QDir::setCurrent(m_previous);
}

} // namespace helan::test
