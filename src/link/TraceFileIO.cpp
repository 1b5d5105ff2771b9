#include "TraceFileIO.h"

// Placeholder until trace files are built.
bool SaveTraceFile(const QString &, const TTraceRecord &, std::int32_t, bool, QString *error) {
    if (error)
        *error = QStringLiteral("not available");
    return false;
}
