#include "CheckedSave.h"

#include "TraceFile.h"
#include "TraceRecord.h"

#include <QFileInfo>
#include <QSaveFile>
#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <unistd.h>
#endif

namespace {

void SetError(QString *error, const QString &reason) {
    if (error)
        *error = reason;
}

#ifdef Q_OS_UNIX
// Puts the written bytes on the disk; a file system that reports a lost write only here
// (network and some journaling file systems) must fail the save too. File systems without
// this call are fine.
bool SyncFile(int handle, QString *error) {
    if (handle < 0 || ::fsync(handle) == 0 || errno == EINVAL || errno == ENOTSUP)
        return true;
    SetError(error, QString::fromLocal8Bit(std::strerror(errno)));
    return false;
}
#endif

} // namespace

QString NotRegularFileReason(const QString &path, std::int32_t language) {
    const QFileInfo info(path);
    if (!info.exists() || info.isFile())
        return {};
    return QString::fromStdString(NotRegularFileText(language));
}

bool SaveFileChecked(const QString &path, const QByteArray &bytes, QString *error,
                     std::int32_t language) {
    // QSaveFile would rename its temporary file over a device or a FIFO.
    if (const QString reason = NotRegularFileReason(path, language); !reason.isEmpty()) {
        SetError(error, reason);
        return false;
    }
    // Unbuffered, so every write reaches the system and its failure is seen here: a buffered
    // QSaveFile writes small files only in commit(), which does not report that failure.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        SetError(error, file.errorString());
        return false;
    }
    // A write cut short (file size limit, disk full) is repeated for the rest, which then fails
    // with the system's reason.
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0) {
            SetError(error, file.errorString());
            file.cancelWriting();
            return false;
        }
        done += written;
    }
#ifdef Q_OS_UNIX
    if (!SyncFile(file.handle(), error)) {
        file.cancelWriting();
        return false;
    }
#endif
    if (!file.commit()) {
        SetError(error, file.errorString());
        return false;
    }
    return true;
}
