#pragma once
// The trace history's folder: every trace read from a drive is kept there at once as the .vnx
// file File / Save would write, and the folders the user added are listed in the settings.

#include "TraceRecord.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <cstdint>

/// AppDataFolder() + "/history": where reads are kept unless the user chose another folder.
QString DefaultHistoryFolder();
/// The folder reads are kept in: the one stored in the settings, else DefaultHistoryFolder().
QString HistoryFolder();
/// Stores folder as the one reads are kept in (both programs use it from then on).
void SetHistoryFolder(const QString &folder);
/// Folders of existing trace files the user added to the history (indexed, not copied).
QStringList AddedHistoryFolders();
void SetAddedHistoryFolders(const QStringList &folders);

/// What keeping one read came to.
struct KeptTrace {
    bool Kept = false;    ///< the file is in the folder (written now, or kept before)
    bool Earlier = false; ///< the same bytes were kept before: nothing was written
    QString Path;         ///< the kept file
    QString Error;        ///< why it could not be kept, in the language asked for
};

/// Name of the kept file: trip stamp (SETNVOP clock), "new" or "old", read time (local),
/// e.g. "20240305-1407_new_20250612-101530.vnx".
QString KeptTraceName(const TTraceRecord &record, bool old, const QDateTime &readTime);

/// Keeps a read (raw drive units) in folder, through the checked writer: the .vnx bytes are
/// written under KeptTraceName, with "_2", "_3", ... before ".vnx" when that name is taken, never
/// over another file; when a file of the same trip stamp holds the same bytes, nothing is
/// written. The folder is made when missing.
KeptTrace KeepTrace(const QString &folder, const TTraceRecord &record, std::int32_t driveTypeE,
                    bool old, const QDateTime &readTime, std::int32_t language);

/// The line that tells a read was not kept, with the reason, in language.
QString NotKeptText(const QString &reason, std::int32_t language);
