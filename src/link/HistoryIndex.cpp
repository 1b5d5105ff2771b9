#include "HistoryIndex.h"

#include "ContentHash.h"
#include "Platform.h"
#include "TraceFile.h"

#include <QAtomicInt>
#include <QDateTime>
#include <QElapsedTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QVariant>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <thread>

#ifdef Q_OS_LINUX
#include <sys/stat.h>
#endif

namespace {

// A trace file is about 12 kB; anything much larger is no trace file and is not read whole.
constexpr qint64 LargestTraceFile = 1 << 20;
// Another program writing the index makes this one wait, not fail.
constexpr int BusyTimeoutMs = 10000;

QAtomicInt connectionCount;

const char *const Schema[] = {
    "CREATE TABLE IF NOT EXISTS files (path TEXT PRIMARY KEY, size INTEGER NOT NULL, "
    "mtime INTEGER NOT NULL, hash TEXT NOT NULL, valid INTEGER NOT NULL, trip_time TEXT, "
    "drive_type INTEGER, first_fault_word INTEGER, first_fault_bit INTEGER, likely_cause TEXT, "
    "peak_current REAL, trigger_sample INTEGER, shape BLOB)",
    "CREATE INDEX IF NOT EXISTS files_hash ON files (hash)",
    "CREATE TABLE IF NOT EXISTS notes (hash TEXT PRIMARY KEY, note TEXT NOT NULL)",
};

// What one trace file says, read outside any transaction so other programs wait no longer than
// the writing takes.
struct FileFacts {
    QString Path;
    qint64 Size = 0;
    qint64 Mtime = 0;
    QString Hash;
    bool Valid = false;
    HistorySummary Summary;
    TraceShape Shape;
};

bool ReadFacts(FileFacts &facts, QString *error) {
    QFile file(facts.Path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const QByteArray bytes = file.read(LargestTraceFile);
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = file.errorString();
        return false;
    }
    facts.Hash = ContentHash(bytes);
    TraceUnits trace;
    ResetRecord(trace.Record);
    const TraceFileError parse = ReadTraceFile(
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
        trace.Record, trace.DriveTypeE);
    facts.Valid = !parse;
    if (facts.Valid) {
        ApplyTypeScales(trace.Record, trace.DriveTypeE);
        trace.Normalized = NormalizedByName(facts.Path.toStdString(), false);
        facts.Summary = SummarizeTrace(trace);
        facts.Shape = ShapeOfTrace(trace);
    } else if (error) {
        *error = QString::fromStdString(TraceFileErrorText(parse, LanguageEnglish));
    }
    return true;
}

// A file found under a folder, before it is read.
struct ListedFile {
    QString Path;
    qint64 Size = 0;
    qint64 Mtime = 0;
};

// Reads and parses the files on every core: hashing and parsing ten thousand files cold is
// most of the indexing time, and each file is independent of the others. Files that cannot be
// read are left out, so they are tried again at the next listing.
std::vector<FileFacts> ReadAllFacts(const std::vector<ListedFile> &files) {
    std::vector<FileFacts> facts(files.size());
    std::vector<char> readable(files.size(), 0);
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t i = next++; i < files.size(); i = next++) {
            facts[i].Path = files[i].Path;
            facts[i].Size = files[i].Size;
            facts[i].Mtime = files[i].Mtime;
            readable[i] = ReadFacts(facts[i], nullptr) ? 1 : 0;
        }
    };
    // Below a few dozen files a thread costs more than it saves.
    const unsigned wanted = files.size() < 64 ? 1 : std::thread::hardware_concurrency();
    std::vector<std::jthread> helpers;
    for (unsigned t = 1; t < std::clamp(wanted, 1U, 8U); ++t)
        helpers.emplace_back(work);
    work();
    helpers.clear();
    std::size_t kept = 0;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (!readable[i])
            continue;
        // A string moved onto itself may come out empty.
        if (kept != i)
            facts[kept] = std::move(facts[i]);
        ++kept;
    }
    facts.resize(kept);
    return facts;
}

// Every trace file under folder, hidden files and folders and linked folders left out, with its
// size and modification time. One status call a file where the system allows it: listing ten
// thousand files again, each further call is felt. complete is false when the walk broke off
// (a folder vanished on the way), so that no file is taken for gone that was not looked for.
std::vector<ListedFile> ListTraceFiles(const QString &folder, bool *complete) {
    namespace fs = std::filesystem;
    std::vector<ListedFile> files;
#ifdef Q_OS_WIN
    const fs::path root(folder.toStdWString());
#else
    const fs::path root(QFile::encodeName(folder).toStdString());
#endif
    std::error_code failed;
    fs::recursive_directory_iterator it(root, fs::directory_options::skip_permission_denied,
                                        failed);
    for (; !failed && it != fs::recursive_directory_iterator(); it.increment(failed)) {
#ifdef Q_OS_WIN
        const QString path =
            QDir::fromNativeSeparators(QString::fromStdWString(it->path().wstring()));
#else
        const QString path = QFile::decodeName(it->path().c_str());
#endif
        const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
        std::error_code ignored;
        if (name.startsWith(QLatin1Char('.'))) {
            if (it->is_directory(ignored))
                it.disable_recursion_pending();
            continue;
        }
        if (TraceFileKindOfName(name.toStdString()) == TraceFileKind::Other)
            continue;
        ListedFile file;
        file.Path = path;
#ifndef Q_OS_LINUX
        const QFileInfo info(path);
        if (!info.isFile())
            continue;
        file.Size = info.size();
        file.Mtime = info.lastModified().toMSecsSinceEpoch();
#else
        struct stat status {};
        if (::stat(it->path().c_str(), &status) != 0 || !S_ISREG(status.st_mode))
            continue;
        file.Size = status.st_size;
        file.Mtime = qint64(status.st_mtim.tv_sec) * 1000 + status.st_mtim.tv_nsec / 1000000;
#endif
        files.push_back(std::move(file));
    }
    *complete = !failed;
    return files;
}

QVariant Nullable(int value) {
    return value < 0 ? QVariant() : QVariant(value);
}

void BindFacts(QSqlQuery &q, const FileFacts &f) {
    q.bindValue(0, f.Path);
    q.bindValue(1, f.Size);
    q.bindValue(2, f.Mtime);
    q.bindValue(3, f.Hash);
    q.bindValue(4, f.Valid ? 1 : 0);
    q.bindValue(5, QString::fromStdString(f.Summary.TripTime));
    q.bindValue(6, f.Summary.DriveTypeE);
    q.bindValue(7, Nullable(f.Summary.FirstFaultWord));
    q.bindValue(8, Nullable(f.Summary.FirstFaultBit));
    q.bindValue(9, QString::fromStdString(f.Summary.LikelyCause));
    q.bindValue(10, static_cast<double>(f.Summary.PeakCurrent));
    q.bindValue(11, f.Shape.Trigger);
    q.bindValue(12, QByteArray(reinterpret_cast<const char *>(f.Shape.Values.data()),
                               static_cast<qsizetype>(sizeof f.Shape.Values)));
}

const char *const InsertFacts =
    "INSERT OR REPLACE INTO files (path, size, mtime, hash, valid, trip_time, drive_type, "
    "first_fault_word, first_fault_bit, likely_cause, peak_current, trigger_sample, shape) "
    "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";

// The folder as the index keys the paths under it: absolute, clean, without a final '/'.
QString FolderKey(const QString &folder) {
    QString key = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    if (key.endsWith(QLatin1Char('/')))
        key.chop(1);
    return key;
}

} // namespace

HistoryIndex::HistoryIndex(const QString &databasePath)
    : path(databasePath.isEmpty() ? DefaultPath() : databasePath),
      connection(QStringLiteral("history-%1").arg(connectionCount.fetchAndAddRelaxed(1))) {}

HistoryIndex::~HistoryIndex() {
    Close();
}

QString HistoryIndex::DefaultPath() {
    return AppDataFolder() + QStringLiteral("/index.sqlite");
}

void HistoryIndex::Close() {
    if (QSqlDatabase::contains(connection)) {
        {
            QSqlDatabase db = QSqlDatabase::database(connection, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(connection);
    }
    open = false;
}

namespace {

// SQLite's own codes for a file that is no database, is damaged or holds other tables: these
// are answered by building the index anew; others (busy, full disk, no permission) are told.
bool LooksSpoilt(const QSqlError &error) {
    const QString code = error.nativeErrorCode();
    return code == QLatin1String("26") || code == QLatin1String("11") ||
           code == QLatin1String("1");
}

// SQLite's codes for a database another connection holds (busy, locked).
bool LooksBusy(const QSqlError &error) {
    const int code = error.nativeErrorCode().toInt() & 0xff;
    return code == 5 || code == 6;
}

bool Exec(QSqlDatabase &db, const QString &sql, QString *error, bool *spoilt,
          bool *busy = nullptr) {
    QSqlQuery q(db);
    if (q.exec(sql))
        return true;
    *spoilt = LooksSpoilt(q.lastError());
    if (busy)
        *busy = LooksBusy(q.lastError());
    if (error)
        *error = q.lastError().databaseText();
    return false;
}

} // namespace

bool HistoryIndex::Open(QString *error) {
    if (open)
        return true;
    spoilt = false;
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE"))) {
        *error = QStringLiteral("Qt's SQLite driver (QSQLITE) is not installed");
        return false;
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    // Two programs opening a new index at once may each hold a lock the other needs to turn it
    // to WAL; SQLite then answers "locked" at once instead of waiting, so opening is tried
    // again for as long as a busy database is waited for.
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        bool busy = false;
        if (Connect(error, &busy)) {
            open = true;
            return true;
        }
        Close();
        if (!busy || waited.elapsed() >= BusyTimeoutMs)
            return false;
        QThread::msleep(20);
    }
}

bool HistoryIndex::Connect(QString *error, bool *busy) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMs));
    if (!db.open()) {
        *error = db.lastError().databaseText();
        spoilt = LooksSpoilt(db.lastError());
        *busy = LooksBusy(db.lastError());
        return false;
    }
    const auto run = [&](const QString &sql) { return Exec(db, sql, error, &spoilt, busy); };
    bool ok = run(QStringLiteral("PRAGMA journal_mode=WAL")) &&
              run(QStringLiteral("PRAGMA synchronous=NORMAL")) &&
              // A cold index writes about 5 kB a file in one transaction; with SQLite's 2 MB
              // default its cache spills to the journal again and again.
              run(QStringLiteral("PRAGMA cache_size=-65536"));
    for (const char *sql : Schema)
        ok = ok && run(QString::fromLatin1(sql));
    // Tables of another make under the same names fail here, not halfway through a list.
    return ok &&
           run(QStringLiteral("SELECT path, size, mtime, hash, valid, trip_time, drive_type, "
                              "first_fault_word, first_fault_bit, likely_cause, peak_current, "
                              "trigger_sample, shape FROM files LIMIT 1")) &&
           run(QStringLiteral("SELECT hash, note FROM notes LIMIT 1"));
}

bool HistoryIndex::Rebuild(const QString &reason, QString *error) {
    Close();
    const QString aside =
        path + QStringLiteral(".spoilt-") +
        QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz"));
    if (!QFile::rename(path, aside)) {
        *error = QStringLiteral("the spoilt history index %1 (%2) cannot be renamed aside")
                     .arg(QDir::toNativeSeparators(path), reason);
        return false;
    }
    // The journal belongs to the spoilt file; left beside a new one it would be replayed into it.
    for (const char *suffix : {"-wal", "-shm"})
        if (QFile::exists(path + QLatin1String(suffix)))
            QFile::rename(path + QLatin1String(suffix), aside + QLatin1String(suffix));
    if (!Open(error))
        return false;
    SalvageNotes(aside);
    notice = QStringLiteral("The history index %1 could not be read (%2); it was renamed to %3 "
                            "and is built again from the trace files.")
                 .arg(QDir::toNativeSeparators(path), reason, QDir::toNativeSeparators(aside));
    return true;
}

void HistoryIndex::SalvageNotes(const QString &aside) {
    // The files give back every other column; the notes are only here, so whatever of them can
    // still be read is carried over.
    const QString name = connection + QStringLiteral("-aside");
    {
        QSqlDatabase old = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        old.setDatabaseName(aside);
        old.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (old.open()) {
            QSqlQuery read(old);
            QSqlDatabase db = QSqlDatabase::database(connection, false);
            QSqlQuery write(db);
            write.prepare(QStringLiteral("INSERT OR REPLACE INTO notes (hash, note) VALUES (?, ?)"));
            if (read.exec(QStringLiteral("SELECT hash, note FROM notes")))
                while (read.next()) {
                    write.bindValue(0, read.value(0));
                    write.bindValue(1, read.value(1));
                    write.exec();
                }
            old.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
}

template <typename Step> bool HistoryIndex::WithRetry(Step step, QString *error) {
    QString reason;
    if (!Open(&reason)) {
        if (!spoilt || !notice.isEmpty() || !Rebuild(reason, &reason)) {
            *error = reason;
            return false;
        }
    }
    spoilt = false;
    if (step(&reason))
        return true;
    // A damaged page shows only when it is read: then the index is built anew, once.
    if (!spoilt || !notice.isEmpty() || !Rebuild(reason, &reason) || !step(&reason)) {
        *error = reason;
        return false;
    }
    return true;
}

bool HistoryIndex::Refresh(const QStringList &folders, QString *error) {
    QSqlDatabase db = QSqlDatabase::database(connection, false);
    std::vector<ListedFile> toRead;
    QStringList gone;
    for (const QString &folder : folders) {
        const QString key = FolderKey(folder);
        if (!QFileInfo(key).isDir())
            continue;
        QHash<QString, std::pair<qint64, qint64>> known;
        {
            QSqlQuery q(db);
            q.setForwardOnly(true);
            q.prepare(QStringLiteral("SELECT path, size, mtime FROM files WHERE path > ? AND "
                                     "path < ?"));
            // Every path under key/ sorts between "key/" and "key0" ('0' follows '/').
            q.bindValue(0, key + QLatin1Char('/'));
            q.bindValue(1, key + QLatin1Char('0'));
            if (!q.exec()) {
                spoilt = LooksSpoilt(q.lastError());
                *error = q.lastError().databaseText();
                return false;
            }
            while (q.next())
                known.insert(q.value(0).toString(), {q.value(1).toLongLong(), q.value(2).toLongLong()});
        }
        bool complete = false;
        for (ListedFile &file : ListTraceFiles(key, &complete)) {
            const auto row = known.find(file.Path);
            if (row != known.end()) {
                const bool same = row->first == file.Size && row->second == file.Mtime;
                known.erase(row);
                if (same)
                    continue;
            }
            toRead.push_back(std::move(file));
        }
        if (complete)
            gone += known.keys();
    }
    const std::vector<FileFacts> changed = ReadAllFacts(toRead);
    if (changed.empty() && gone.isEmpty())
        return true;
    // IMMEDIATE takes the write lock at once: two programs refreshing together queue up here
    // instead of both reading and then failing to write.
    if (!Exec(db, QStringLiteral("BEGIN IMMEDIATE"), error, &spoilt))
        return false;
    QSqlQuery insert(db);
    QSqlQuery remove(db);
    bool ok = insert.prepare(QString::fromLatin1(InsertFacts)) &&
              remove.prepare(QStringLiteral("DELETE FROM files WHERE path = ?"));
    for (const FileFacts &facts : changed) {
        if (!ok)
            break;
        BindFacts(insert, facts);
        ok = insert.exec();
    }
    for (const QString &file : gone) {
        if (!ok)
            break;
        remove.bindValue(0, file);
        ok = remove.exec();
    }
    if (!ok) {
        const QSqlError failure = insert.lastError().isValid() ? insert.lastError() : remove.lastError();
        spoilt = LooksSpoilt(failure);
        *error = failure.databaseText();
        insert.finish();
        remove.finish();
        bool ignored = false;
        Exec(db, QStringLiteral("ROLLBACK"), nullptr, &ignored);
        return false;
    }
    insert.finish();
    remove.finish();
    return Exec(db, QStringLiteral("COMMIT"), error, &spoilt);
}

bool HistoryIndex::Query(const QStringList &folders, std::vector<HistoryRow> *rows,
                         QString *error) {
    QSqlDatabase db = QSqlDatabase::database(connection, false);
    rows->clear();
    QString where;
    for (int i = 0; i < folders.size(); ++i)
        where += QStringLiteral("%1(f.path > ? AND f.path < ?)")
                     .arg(i == 0 ? QString() : QStringLiteral(" OR "));
    if (folders.isEmpty())
        return true;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT f.path, f.trip_time, f.drive_type, f.first_fault_word, "
                             "f.first_fault_bit, f.likely_cause, f.peak_current, n.note "
                             "FROM files f LEFT JOIN notes n ON n.hash = f.hash "
                             "WHERE f.valid = 1 AND (%1)")
                  .arg(where));
    for (int i = 0; i < folders.size(); ++i) {
        const QString key = FolderKey(folders[i]);
        q.bindValue(2 * i, key + QLatin1Char('/'));
        q.bindValue(2 * i + 1, key + QLatin1Char('0'));
    }
    if (!q.exec()) {
        spoilt = LooksSpoilt(q.lastError());
        *error = q.lastError().databaseText();
        return false;
    }
    while (q.next()) {
        HistoryRow row;
        row.File = q.value(0).toString().toStdString();
        row.Summary.TripTime = q.value(1).toString().toStdString();
        row.Summary.DriveTypeE = q.value(2).toInt();
        row.Summary.FirstFaultWord = q.value(3).isNull() ? -1 : q.value(3).toInt();
        row.Summary.FirstFaultBit = q.value(4).isNull() ? -1 : q.value(4).toInt();
        row.Summary.LikelyCause = q.value(5).toString().toStdString();
        row.Summary.PeakCurrent = q.value(6).toFloat();
        row.Note = q.value(7).toString().toStdString();
        rows->push_back(std::move(row));
    }
    if (q.lastError().isValid()) {
        spoilt = LooksSpoilt(q.lastError());
        *error = q.lastError().databaseText();
        return false;
    }
    SortNewestFirst(*rows);
    return true;
}

bool HistoryIndex::List(const QStringList &folders, std::vector<HistoryRow> *rows,
                        QString *error) {
    return WithRetry(
        [&](QString *reason) { return Refresh(folders, reason) && Query(folders, rows, reason); },
        error);
}

bool HistoryIndex::Keys(const std::vector<HistoryRow> &rows, std::vector<LikenessKey> *keys,
                        QString *error) {
    return WithRetry(
        [&](QString *reason) {
            QSqlDatabase db = QSqlDatabase::database(connection, false);
            QHash<QString, std::size_t> at;
            for (std::size_t i = 0; i < rows.size(); ++i)
                at.insert(QString::fromStdString(rows[i].File), i);
            keys->assign(rows.size(), LikenessKey());
            for (LikenessKey &key : *keys)
                key.Shape.Values.fill(std::numeric_limits<float>::quiet_NaN());
            QSqlQuery q(db);
            q.setForwardOnly(true);
            if (!q.exec(QStringLiteral("SELECT path, first_fault_word, first_fault_bit, "
                                       "trigger_sample, shape FROM files WHERE valid = 1"))) {
                spoilt = LooksSpoilt(q.lastError());
                *reason = q.lastError().databaseText();
                return false;
            }
            while (q.next()) {
                const auto found = at.constFind(q.value(0).toString());
                if (found == at.constEnd())
                    continue;
                LikenessKey &key = (*keys)[*found];
                key.FirstFaultWord = q.value(1).isNull() ? -1 : q.value(1).toInt();
                key.FirstFaultBit = q.value(2).isNull() ? -1 : q.value(2).toInt();
                key.Shape.Trigger = q.value(3).toInt();
                const QByteArray shape = q.value(4).toByteArray();
                if (shape.size() == static_cast<qsizetype>(sizeof key.Shape.Values))
                    std::memcpy(key.Shape.Values.data(), shape.constData(),
                                sizeof key.Shape.Values);
            }
            return true;
        },
        error);
}

bool HistoryIndex::IndexFile(const QString &file, QString *hash, QString *error) {
    QSqlDatabase db = QSqlDatabase::database(connection, false);
    FileFacts facts;
    const QFileInfo info(file);
    facts.Path = info.absoluteFilePath();
    facts.Size = info.size();
    facts.Mtime = info.lastModified().toMSecsSinceEpoch();
    QString unreadable;
    if (!info.isFile() || !ReadFacts(facts, &unreadable)) {
        *error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(file),
                                              info.isFile() ? unreadable
                                                            : QStringLiteral("no such file"));
        return false;
    }
    if (!facts.Valid) {
        *error = QStringLiteral("%1 is no trace file: %2")
                     .arg(QDir::toNativeSeparators(file), unreadable);
        return false;
    }
    QSqlQuery q(db);
    q.prepare(QString::fromLatin1(InsertFacts));
    BindFacts(q, facts);
    if (!q.exec()) {
        spoilt = LooksSpoilt(q.lastError());
        *error = q.lastError().databaseText();
        return false;
    }
    *hash = facts.Hash;
    return true;
}

bool HistoryIndex::SetNote(const QString &file, const QString &text, QString *error) {
    QString hash;
    return WithRetry(
        [&](QString *reason) {
            if (!IndexFile(file, &hash, reason))
                return false;
            QSqlDatabase db = QSqlDatabase::database(connection, false);
            QSqlQuery q(db);
            if (text.isEmpty()) {
                q.prepare(QStringLiteral("DELETE FROM notes WHERE hash = ?"));
                q.bindValue(0, hash);
            } else {
                q.prepare(QStringLiteral("INSERT OR REPLACE INTO notes (hash, note) VALUES (?, ?)"));
                q.bindValue(0, hash);
                q.bindValue(1, text);
            }
            if (!q.exec()) {
                spoilt = LooksSpoilt(q.lastError());
                *reason = q.lastError().databaseText();
                return false;
            }
            return true;
        },
        error);
}

QString HistoryIndex::NoteOf(const QString &file) {
    QFile trace(file);
    if (file.isEmpty() || !trace.open(QIODevice::ReadOnly))
        return {};
    const QString hash = ContentHash(trace.read(LargestTraceFile));
    QString note;
    QString error;
    WithRetry(
        [&](QString *reason) {
            QSqlQuery q(QSqlDatabase::database(connection, false));
            q.prepare(QStringLiteral("SELECT note FROM notes WHERE hash = ?"));
            q.bindValue(0, hash);
            if (!q.exec()) {
                spoilt = LooksSpoilt(q.lastError());
                *reason = q.lastError().databaseText();
                return false;
            }
            if (q.next())
                note = q.value(0).toString();
            return true;
        },
        &error);
    return note;
}
