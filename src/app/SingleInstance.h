#pragma once

#include <memory>

#include <QString>

class QLockFile;

namespace helan {

// The marker that keeps a second copy of the program from running on the same
// data: a lock file in the system's temporary folder, named after the program's
// executable file and the user, held for the life of the process. A lock left
// behind by a process that has died is taken over.
class SingleInstance {
public:
    // name: the executable's file name, e.g. "helan".
    explicit SingleInstance(const QString& name);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Takes the marker; false when another running process holds it.
    bool acquire();
    bool isHeld() const;
    QString lockFilePath() const { return m_path; }
    // What tells this user's marker from another account's: the user's number.
    static QString userTag();
    // "程序 " + name + " 已经运行！"
    QString refusalText() const;

private:
    QString m_name;
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace helan
