#include "FileFaults.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QThread>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

bool LimitFileSize(long long bytes) {
#ifdef Q_OS_UNIX
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    if (::getrlimit(RLIMIT_FSIZE, &limit) != 0)
        return false;
    limit.rlim_cur = static_cast<rlim_t>(bytes);
    return ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
#else
    Q_UNUSED(bytes);
    return false;
#endif
}

void LimitFileSizeOf(QProcess &process, long long bytes) {
#ifdef Q_OS_UNIX
    // The ignored signal stays ignored across exec.
    process.setChildProcessModifier([bytes] { LimitFileSize(bytes); });
#else
    Q_UNUSED(process);
    Q_UNUSED(bytes);
#endif
}

int RunInChild(const std::function<int()> &body, int timeoutMs) {
#ifdef Q_OS_UNIX
    const pid_t child = ::fork();
    if (child < 0)
        return -1;
    if (child == 0)
        ::_exit(body() & 0xFF);
    QDeadlineTimer deadline(timeoutMs);
    int status = 0;
    pid_t done = 0;
    while ((done = ::waitpid(child, &status, WNOHANG)) == 0 && !deadline.hasExpired())
        QThread::msleep(5);
    if (done == 0) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
        return -1;
    }
    return done == child && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#else
    Q_UNUSED(body);
    Q_UNUSED(timeoutMs);
    return -1;
#endif
}

bool MakeFifo(const QString &path) {
#ifdef Q_OS_UNIX
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
#else
    Q_UNUSED(path);
    return false;
#endif
}

QString WriteRefusingDevice(const QString &folder) {
#ifdef Q_OS_UNIX
    const QString path = folder + QStringLiteral("/full");
    // The same device as /dev/full (1, 7).
    if (::mknod(QFile::encodeName(path).constData(), S_IFCHR | 0600, makedev(1, 7)) == 0)
        return path;
#else
    Q_UNUSED(folder);
#endif
    return QStringLiteral("/dev/full");
}

QString FileKindAt(const QString &path) {
#ifdef Q_OS_UNIX
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return QStringLiteral("missing");
    if (S_ISFIFO(info.st_mode))
        return QStringLiteral("fifo");
    if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode))
        return QStringLiteral("device");
    if (S_ISDIR(info.st_mode))
        return QStringLiteral("folder");
    if (S_ISREG(info.st_mode))
        return QStringLiteral("file");
#else
    Q_UNUSED(path);
#endif
    return QStringLiteral("other");
}
