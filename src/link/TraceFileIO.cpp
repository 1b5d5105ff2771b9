#include "TraceFileIO.h"

#include "CheckedSave.h"
#include "TraceFile.h"

#include <QDir>
#include <QFile>

namespace {

// A trace file is about 12 kB; far larger files are read only this far, which holds the 112
// lines of any file that is not mostly padding.
constexpr qint64 ReadLimit = 64 * 1024 * 1024;

QString Shown(const QString &path) {
    return QDir::toNativeSeparators(path);
}

} // namespace

bool SaveTraceFile(const QString &path, const TTraceRecord &record, std::int32_t driveTypeE,
                   bool normalized, QString *error, std::int32_t language) {
    return SaveFileChecked(
        path, QByteArray::fromStdString(WriteTraceFile(record, driveTypeE, normalized)), error,
        language);
}

bool LoadTraceFile(const QString &path, TTraceRecord &record, std::int32_t &driveTypeE,
                   QString *error, std::int32_t language) {
    // A FIFO, a device or a folder is refused before opening: opening a FIFO without a writer
    // would wait for ever, and a device may never end.
    if (const QString reason = NotRegularFileReason(path, language); !reason.isEmpty()) {
        if (error)
            *error = QString::fromStdString(
                TraceFileOpenFailedText(Shown(path).toStdString(), reason.toStdString(), language));
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QString::fromStdString(TraceFileOpenFailedText(
                Shown(path).toStdString(), file.errorString().toStdString(), language));
        return false;
    }
    // Read in pieces: some files (under /proc, say) report no size.
    // Pieces as large as the file says it is: a trace file of about 12 kB comes in one piece
    // without setting aside a megabyte for it, which counts when many files are summarised.
    const qint64 pieceSize = file.size() > 0 ? qMin<qint64>(file.size() + 1, 1 << 20) : 1 << 20;
    QByteArray bytes;
    while (bytes.size() < ReadLimit) {
        const QByteArray piece = file.read(qMin<qint64>(pieceSize, ReadLimit - bytes.size()));
        if (piece.isEmpty())
            break;
        bytes += piece;
    }
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = QString::fromStdString(TraceFileOpenFailedText(
                Shown(path).toStdString(), file.errorString().toStdString(), language));
        return false;
    }
    const TraceFileError result =
        ReadTraceFile(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                      record, driveTypeE);
    if (result) {
        if (error)
            *error = QString::fromStdString(
                TraceFileLoadFailedText(Shown(path).toStdString(), result, language));
        return false;
    }
    return true;
}

bool LoadTraceUnits(const QString &path, TraceUnits &trace, bool otherNormalized, QString *error,
                    std::int32_t language) {
    TraceUnits loaded;
    ResetRecord(loaded.Record);
    if (!LoadTraceFile(path, loaded.Record, loaded.DriveTypeE, error, language))
        return false;
    ApplyTypeScales(loaded.Record, loaded.DriveTypeE);
    loaded.Normalized = NormalizedByName(path.toStdString(), otherNormalized);
    trace = loaded;
    return true;
}
