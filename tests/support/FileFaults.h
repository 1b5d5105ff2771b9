#pragma once
// Real file faults for tests: a file size limit, FIFOs and devices, work in a child process.

#include <QString>
#include <functional>

class QProcess;

/// Limits the size of files the calling process writes to bytes, with SIGXFSZ ignored, so a
/// write past it fails with EFBIG ("File too large") as on a full disk. Call in a child.
bool LimitFileSize(long long bytes);
/// The same limit for process, set in its child before the program starts.
void LimitFileSizeOf(QProcess &process, long long bytes);

/// Runs body in a forked child and returns what it returned (0..255), or -1 when the child
/// died or did not end within timeoutMs (then it is killed). The child never returns here.
int RunInChild(const std::function<int()> &body, int timeoutMs = 30000);

/// Makes a FIFO at path.
bool MakeFifo(const QString &path);
/// A character device that refuses every write, in folder: a device node made there when the
/// test may make one (super-user), else /dev/full, which others cannot replace.
QString WriteRefusingDevice(const QString &folder);

/// "fifo", "device", "folder", "file", "missing" or "other": what stands at path, not
/// following a final symbolic link.
QString FileKindAt(const QString &path);
