#pragma once

#include <QString>

namespace helan {

// Makes a folder the working folder for the life of the object (every table of
// the program lives there) and returns to the previous one afterwards. The folder
// is created when it does not exist.
class ScopedWorkingFolder {
public:
    explicit ScopedWorkingFolder(const QString& folder);
    ~ScopedWorkingFolder();
    ScopedWorkingFolder(const ScopedWorkingFolder&) = delete;
    ScopedWorkingFolder& operator=(const ScopedWorkingFolder&) = delete;

    // Whether the folder exists and is now the working folder.
    bool entered() const { return m_entered; }

private:
    QString m_previous;
    bool m_entered = false;
};

} // namespace helan
