#pragma once
// The one way user files are written: whole and checked, or not at all.

#include <QByteArray>
#include <QString>
#include <cstdint>

/// Writes bytes as the file at path through a temporary file in the same folder that is
/// flushed, checked and only then renamed over path. A path that exists and is not a regular
/// file (a device, a FIFO, a folder) is refused and left alone. On failure returns false with
/// the reason (the system's, where it gave one) in *error; an existing file then keeps every
/// byte and no new file is left behind. The refusal's reason is in language ('1' Japanese,
/// anything else English).
bool SaveFileChecked(const QString &path, const QByteArray &bytes, QString *error,
                     std::int32_t language);

/// Reason for refusing a path that exists but is not a regular file, in language, or "" when
/// path is a regular file or does not exist. Used before opening a file for reading too: opening a
/// FIFO without a writer would wait for ever.
QString NotRegularFileReason(const QString &path, std::int32_t language);
