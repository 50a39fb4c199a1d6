#pragma once

#include <QString>
#include <QTemporaryDir>

namespace helan::test {

// A fresh temporary folder made the working folder for the life of the object, so
// that code writing into "the program's folder" never touches the real one.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

} // namespace helan::test
