#include "TraceHistory.h"

#include "CheckedSave.h"
#include "Platform.h"
#include "TraceFile.h"
#include "TriggerStamp.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QString FolderKey = QStringLiteral("History/Folder");
const QString AddedKey = QStringLiteral("History/Added");

bool SameBytes(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    if (file.size() != bytes.size() || !file.open(QIODevice::ReadOnly))
        return false;
    return file.readAll() == bytes;
}

} // namespace

QString DefaultHistoryFolder() {
    return AppDataFolder() + QStringLiteral("/history");
}

QString HistoryFolder() {
    const QString stored = OpenUserSettings()->value(FolderKey).toString();
    return stored.isEmpty() ? DefaultHistoryFolder() : stored;
}

void SetHistoryFolder(const QString &folder) {
    OpenUserSettings()->setValue(FolderKey, QFileInfo(folder).absoluteFilePath());
}

QStringList AddedHistoryFolders() {
    return OpenUserSettings()->value(AddedKey).toStringList();
}

void SetAddedHistoryFolders(const QStringList &folders) {
    OpenUserSettings()->setValue(AddedKey, folders);
}

QString KeptTraceName(const TTraceRecord &record, bool old, const QDateTime &readTime) {
    const TriggerStamp stamp = FormatTriggerStamp(record.Header, StampClock::Setnvop);
    QString trip = QString::fromStdString(stamp.Date + '-' + stamp.Time);
    trip.remove(QLatin1Char('/'));
    trip.remove(QLatin1Char(':'));
    return trip + (old ? QStringLiteral("_old_") : QStringLiteral("_new_")) +
           readTime.toString(QStringLiteral("yyyyMMdd-HHmmss")) + QStringLiteral(".vnx");
}

KeptTrace KeepTrace(const QString &folder, const TTraceRecord &record, std::int32_t driveTypeE,
                    bool old, const QDateTime &readTime, std::int32_t language) {
    KeptTrace kept;
    const QByteArray bytes = QByteArray::fromStdString(WriteTraceFile(record, driveTypeE, false));
    QDir dir(folder);
    if (!dir.exists() && !QDir().mkpath(folder)) {
        kept.Error = (language == LanguageJapanese ? QStringLiteral("フォルダ %1 を作れません")
                                                   : QStringLiteral("cannot make folder %1"))
                         .arg(QDir::toNativeSeparators(folder));
        return kept;
    }
    const QString name = KeptTraceName(record, old, readTime);
    // The same bytes have the same trip stamp, so only files named after it can hold them.
    const QString trip = name.left(name.indexOf(QLatin1Char('_')) + 1);
    for (const QString &earlier :
         dir.entryList({trip + QStringLiteral("*.vnx")}, QDir::Files, QDir::Name)) {
        if (SameBytes(dir.filePath(earlier), bytes)) {
            kept.Kept = kept.Earlier = true;
            kept.Path = dir.filePath(earlier);
            return kept;
        }
    }
    QString path = dir.filePath(name);
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = dir.filePath(name.chopped(4) + QStringLiteral("_%1.vnx").arg(n));
    QString error;
    if (!SaveFileChecked(path, bytes, &error, language)) {
        kept.Error = error;
        return kept;
    }
    kept.Kept = true;
    kept.Path = path;
    return kept;
}

QString NotKeptText(const QString &reason, std::int32_t language) {
    return (language == LanguageJapanese ? QStringLiteral("トレースは履歴に保存されませんでした: %1")
                                         : QStringLiteral("The trace was not kept in the history: %1"))
        .arg(reason);
}
