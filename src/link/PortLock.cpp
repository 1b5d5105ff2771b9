#include "PortLock.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

QString SerialLockFilePath(const QString &devicePath) {
#ifdef Q_OS_UNIX
    // The folders and the rule by which QSerialPort (Qt 6) picks its lock file.
    static const QStringList folders = {QStringLiteral("/var/lock"),
                                        QStringLiteral("/etc/locks"),
                                        QStringLiteral("/var/spool/locks"),
                                        QStringLiteral("/var/spool/uucp"),
                                        QStringLiteral("/tmp"),
                                        QStringLiteral("/var/tmp"),
                                        QStringLiteral("/var/lock/lockdev"),
                                        QStringLiteral("/run/lock")};
    QString name = devicePath.startsWith(QLatin1String("/dev/")) ? devicePath.mid(5) : devicePath;
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    for (const QString &folder : folders) {
        const QString path = folder + QStringLiteral("/LCK..") + name;
        const QFileInfo info(folder);
        if (info.isReadable() && (QFile::exists(path) || info.isWritable()))
            return path;
    }
#else
    Q_UNUSED(devicePath);
#endif
    return {};
}

long long LockFileOwner(const QString &lockPath) {
    QFile file(lockPath);
    if (lockPath.isEmpty() || !file.open(QIODevice::ReadOnly))
        return 0;
    // QLockFile writes the id on the first line; other programs write it alone, padded.
    bool ok = false;
    const long long pid = QString::fromLatin1(file.readLine(32)).trimmed().toLongLong(&ok);
    return ok && pid > 0 ? pid : 0;
}

#ifdef Q_OS_UNIX
namespace {

// The age of the empty, unheld lock file open as fd, or -1 ms. The lock taken here is kept
// until fd is closed, so that no new owner starts on the file meanwhile.
std::chrono::milliseconds EmptyUnheldAge(int fd, struct stat *st) {
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::fstat(fd, st) != 0 || !S_ISREG(st->st_mode) ||
        st->st_size != 0)
        return std::chrono::milliseconds(-1);
    const qint64 modified = qint64(st->st_mtim.tv_sec) * 1000 + st->st_mtim.tv_nsec / 1000000;
    return std::chrono::milliseconds(qAbs(QDateTime::currentMSecsSinceEpoch() - modified));
}

} // namespace
#endif

std::chrono::milliseconds EmptyLockFileAge(const QString &lockPath) {
#ifdef Q_OS_UNIX
    if (lockPath.isEmpty())
        return std::chrono::milliseconds(-1);
    const int fd =
        ::open(QFile::encodeName(lockPath).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return std::chrono::milliseconds(-1);
    struct stat st {};
    const auto age = EmptyUnheldAge(fd, &st);
    ::close(fd);
    return age;
#else
    Q_UNUSED(lockPath);
    return std::chrono::milliseconds(-1);
#endif
}

bool RemoveAbandonedLockFile(const QString &lockPath, std::chrono::milliseconds grace) {
#ifdef Q_OS_UNIX
    if (lockPath.isEmpty())
        return false;
    const QByteArray path = QFile::encodeName(lockPath);
    const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    struct stat now {};
    // Only the file looked at goes, not one that replaced it in between.
    const bool removed = EmptyUnheldAge(fd, &st) > grace && ::stat(path.constData(), &now) == 0 &&
                         now.st_ino == st.st_ino && now.st_dev == st.st_dev &&
                         ::unlink(path.constData()) == 0;
    ::close(fd);
    return removed;
#else
    Q_UNUSED(lockPath);
    Q_UNUSED(grace);
    return false;
#endif
}
