#pragma once
// The trace history's index: an SQLite database (WAL) with one row per trace file, a cache of
// what the files say, refreshed by size and modification time, plus the users' notes, keyed by
// the content hash so a renamed or moved file keeps its note. A database that cannot be opened
// or read is renamed aside and built again from the files.

#include "Likeness.h"

#include <QString>
#include <QStringList>
#include <vector>

class QSqlDatabase;

class HistoryIndex {
public:
    /// The index at databasePath; "" for AppDataFolder() + "/index.sqlite".
    explicit HistoryIndex(const QString &databasePath = QString());
    ~HistoryIndex();
    HistoryIndex(const HistoryIndex &) = delete;
    HistoryIndex &operator=(const HistoryIndex &) = delete;

    /// AppDataFolder() + "/index.sqlite".
    static QString DefaultPath();
    const QString &Path() const { return path; }

    /// Brings the rows of every trace file (.vnx, .vnb, any case) under each folder up to date
    /// and returns them, newest trip first. A folder that does not exist lists nothing. False
    /// with the reason in *error when the index could not be written or read even anew.
    bool List(const QStringList &folders, std::vector<HistoryRow> *rows, QString *error);
    /// The likeness keys of rows, in their order (files no longer indexed get no first fault and
    /// a shape of NaN). False with the reason when the index could not be read.
    bool Keys(const std::vector<HistoryRow> &rows, std::vector<LikenessKey> *keys, QString *error);
    /// Sets the note of the trace file at file (indexing it first when needed); an empty text
    /// removes it. False with the reason when file is no trace file or the index failed.
    bool SetNote(const QString &file, const QString &text, QString *error);

    /// The note kept for the contents of the trace file at file; "" when there is none or the
    /// index cannot be read (a report is not held up by it).
    QString NoteOf(const QString &file);

    /// Said once when the database was spoilt, renamed aside and built anew; "" otherwise.
    const QString &Notice() const { return notice; }

private:
    bool Open(QString *error);
    bool Connect(QString *error, bool *busy);
    void Close();
    bool Rebuild(const QString &reason, QString *error);
    void SalvageNotes(const QString &aside);
    bool Refresh(const QStringList &folders, QString *error);
    bool IndexFile(const QString &file, QString *hash, QString *error);
    bool Query(const QStringList &folders, std::vector<HistoryRow> *rows, QString *error);
    template <typename Step> bool WithRetry(Step step, QString *error);

    QString path;
    QString connection;
    bool open = false;
    bool spoilt = false; ///< the last failure looks like a damaged database, not a busy one
    QString notice;
};
