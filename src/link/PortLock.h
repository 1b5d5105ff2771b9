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

/// How long an empty lock file waits before it counts as abandoned: a live owner locks it and
/// writes its id within microseconds of creating it.
inline constexpr std::chrono::milliseconds LockFileGrace{2000};

/// Age of lockPath if it is an empty regular file that no process holds a lock on, otherwise
/// a negative duration. Times of files follow the wall clock; a file dated ahead counts as old
/// as it is far off.
std::chrono::milliseconds EmptyLockFileAge(const QString &lockPath);

/// A process that dies between creating a lock file and writing its id leaves an empty file,
/// which QSerialPort honours for 30 s. Removes such a file when it is safe: it is still empty,
/// older than grace and no process holds a lock on it. Returns true when it was removed.
bool RemoveAbandonedLockFile(const QString &lockPath,
                             std::chrono::milliseconds grace = LockFileGrace);
