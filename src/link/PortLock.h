#pragma once
// The lock files that QSerialPort keeps beside a serial device on Unix systems (none on
// Windows): where they are, who holds one, and the removal of one that nobody can own.

#include <QString>
#include <chrono>

/// The lock file QSerialPort creates while it has devicePath open: LCK..<name> in the first
/// usable lock folder (/var/lock, ..., /run/lock), <name> being the path without "/dev/" and
/// with '/' turned into '_'. Empty where no lock files are used or no folder is usable.
QString SerialLockFilePath(const QString &devicePath);

/// The process id written in a lock file, or 0 when the file holds none (empty, unreadable,
/// missing, or not a number).
long long LockFileOwner(const QString &lockPath);

/// A process that dies between creating a lock file and writing its id leaves an empty file,
/// which QSerialPort honours for 30 s. Removes such a file when it is safe: it is still empty,
/// older than grace (a live owner writes its id at once) and no process holds a lock on it.
/// Returns true when the file was removed.
bool RemoveAbandonedLockFile(const QString &lockPath,
                             std::chrono::milliseconds grace = std::chrono::seconds(2));
