#include "support/WorkingDirectory.h"

#include <QDir>

ScopedWorkingDirectory::ScopedWorkingDirectory() : m_previous(QDir::currentPath())
{
    QDir::setCurrent(m_folder.path());
}

ScopedWorkingDirectory::~ScopedWorkingDirectory()
{
    QDir::setCurrent(m_previous);
}
