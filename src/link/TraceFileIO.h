#pragma once
// Loading and saving trace files on disk (checked atomic save, all-or-nothing load).

#include "TraceRecord.h"

#include <QString>
#include <cstdint>

/// Writes record as a trace file at path through a temporary file and a rename.
/// normalized: the values are engineering units (.vnb), written so they read back exactly.
/// Returns false with a readable reason in *error, in language where it is the program's own,
/// when the file could not be written.
bool SaveTraceFile(const QString &path, const TTraceRecord &record, std::int32_t driveTypeE,
                   bool normalized, QString *error, std::int32_t language);

/// Reads the trace file at path into record (SampleNo, Value, Flag, Header) and driveTypeE.
/// All or nothing: on failure both stay as they were and *error holds a message, in language
/// ('1' Japanese, anything else English), that names the file and, for bad contents, the
/// 1-based line of the first bad field.
bool LoadTraceFile(const QString &path, TTraceRecord &record, std::int32_t &driveTypeE,
                   QString *error, std::int32_t language);

/// Reads the trace file at path as a trace with its own units, all or nothing as
/// LoadTraceFile: the drive type read and its factors; engineering units when the name ends in
/// ".vnb" (any case), raw for ".vnx", otherwise as otherNormalized says.
bool LoadTraceUnits(const QString &path, TraceUnits &trace, bool otherNormalized, QString *error,
                    std::int32_t language);
