#pragma once
// Which device a port item "COM1".."COM9" stands for on this system.

#include <QString>

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
