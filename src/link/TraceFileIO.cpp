#include "TraceFileIO.h"

#include "TraceFile.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace {

// A trace file is about 12 kB; far larger files are read only this far, which holds the 112
// lines of any file that is not mostly padding.
constexpr qint64 ReadLimit = 64 * 1024 * 1024;

QString Shown(const QString &path) {
    return QDir::toNativeSeparators(path);
}

} // namespace

bool SaveTraceFile(const QString &path, const TTraceRecord &record, std::int32_t driveTypeE,
                   bool normalized, QString *error) {
    const std::string text = WriteTraceFile(record, driveTypeE, normalized);
    // The existing file is replaced only by the rename in commit(), never left half-written.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    if (file.write(text.data(), static_cast<qint64>(text.size())) !=
        static_cast<qint64>(text.size())) {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

bool LoadTraceFile(const QString &path, TTraceRecord &record, std::int32_t &driveTypeE,
                   QString *error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QString::fromStdString(TraceFileOpenFailedText(
                Shown(path).toStdString(), file.errorString().toStdString(), Language));
        return false;
    }
    // Read in pieces: a device or a pipe reports no size and may never end.
    QByteArray bytes;
    while (bytes.size() < ReadLimit) {
        const QByteArray piece = file.read(qMin<qint64>(1 << 20, ReadLimit - bytes.size()));
        if (piece.isEmpty())
            break;
        bytes += piece;
    }
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = QString::fromStdString(TraceFileOpenFailedText(
                Shown(path).toStdString(), file.errorString().toStdString(), Language));
        return false;
    }
    const TraceFileError result =
        ReadTraceFile(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                      record, driveTypeE);
    if (result) {
        if (error)
            *error = QString::fromStdString(
                TraceFileLoadFailedText(Shown(path).toStdString(), result, Language));
        return false;
    }
    return true;
}
