#pragma once
// Which device a port item "COM1".."COM9" stands for on this system.

#include <QString>
#include <QStringList>

/// True for the nine port items "COM1".."COM9" (exact, case-sensitive).
bool IsPortItem(const QString &name);

/// Device to open for name: on Windows the name itself; elsewhere a port item maps to its
/// stored device path or, by default, COMn to /dev/ttyS(n-1); anything else is taken as a
/// device path as it stands.
QString DevicePathFor(const QString &name);

/// The device path stored for a port item, or the default when none is stored.
QString StoredDevicePath(const QString &item);
/// Stores the device path a port item stands for (settings "Harkel"/"CON", "Devices/COMn").
void StoreDevicePath(const QString &item, const QString &path);
/// The default device path of a port item on this system.
QString DefaultDevicePath(const QString &item);

/// Makes a port item stand for path in this process only (nothing is stored), ahead of the
/// settings; used by "vandrel-monitor --port-map COM1=/dev/pts/3".
void MapPortForThisRun(const QString &item, const QString &path);
/// Applies every "--port-map ITEM=PATH" (or "--port-map=ITEM=PATH") in arguments and returns
/// the other arguments. A malformed map is reported on stderr and skipped.
QStringList ApplyPortMapArguments(const QStringList &arguments);
