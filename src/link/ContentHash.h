#pragma once
// What the trace history knows a file's contents by.

#include <QByteArray>
#include <QString>

/// The SHA-256 of bytes as 64 lower-case hex digits.
QString ContentHash(const QByteArray &bytes);
