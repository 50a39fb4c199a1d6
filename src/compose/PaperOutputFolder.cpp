#include "compose/PaperOutputFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "base/TextRules.h"
#include "base/WriteFaults.h"

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace helan {

namespace {

#ifdef Q_OS_UNIX
QByteArray native(const QString& path) {
    return QFile::encodeName(path);
}
#endif

} // namespace

QString PaperOutputFolder::userFolder(const QString& tempRoot, QString* error) {
#ifdef Q_OS_UNIX
    const QString path = QDir(tempRoot).filePath(u"helan-"_s + QString::number(geteuid()));
    const QByteArray name = native(path);
    if (::mkdir(name.constData(), 0700) != 0 && errno != EEXIST) {
        if (error)
            *error = u"无法建立文件夹 "_s + path;
        return {};
    }
    struct stat st {};
    // lstat: a link planted under the name is not followed.
    if (::lstat(name.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != geteuid() ||
        ((st.st_mode & 077) != 0 && ::chmod(name.constData(), 0700) != 0)) {
        if (error)
            *error = u"文件夹 "_s + path + u" 不是本用户的文件夹"_s;
        return {};
    }
    return path;
#else
    const QString path = QDir(tempRoot).filePath(u"helan"_s);
    if (!QDir().mkpath(path)) {
        if (error)
            *error = u"无法建立文件夹 "_s + path;
        return {};
    }
    return path;
#endif
}

QString PaperOutputFolder::newGenerationFolder(const QString& parent, const QString& name, QString* error) {
    const QString base = safeName(name);
    for (int n = 1; n < 1000; ++n) {
        const QString path =
            QDir(parent).filePath(n == 1 ? base : base + u"（"_s + QString::number(n) + u"）"_s);
#ifdef Q_OS_UNIX
        // mkdir fails on any name in use, a link included, so the folder is new.
        if (::mkdir(native(path).constData(), 0700) == 0)
            return path + u'/';
        if (errno != EEXIST)
            break;
#else
        if (!QFileInfo::exists(path) && QDir().mkdir(path))
            return path + u'/';
#endif
    }
    if (error)
        *error = u"无法建立文件夹 "_s + QDir(parent).filePath(base);
    return {};
}

QString PaperOutputFolder::safeName(const QString& name) {
    QString out = fileNameSafe(name);
    // "." and ".." name folders already.
    if (out.isEmpty() || out == u"."_s || out == u".."_s)
        out = u"试卷"_s;
    return out;
}

bool PaperOutputFolder::writeNewFile(const QString& path, const QByteArray& bytes) {
    if (WriteFaults::fail(WriteFaults::Kind::FileWrite))
        return false;
#ifdef Q_OS_UNIX
    const int fd = ::open(native(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    QFile file;
    if (!file.open(fd, QIODevice::WriteOnly, QFile::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    const bool written = file.write(bytes) == bytes.size() && file.flush();
    file.close();
    if (!written)
        QFile::remove(path);
    return written;
#else
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::NewOnly))
        return false;
    return file.write(bytes) == bytes.size() && file.flush();
#endif
}

} // namespace helan
