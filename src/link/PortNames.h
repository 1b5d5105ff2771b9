#pragma once
// Which device a port item "COM1".."COM9" stands for on this system.

#include <QString>

/// True for the nine port items "COM1".."COM9" (exact, case-sensitive).
bool IsPortItem(const QString &name);

/// Device to open for name: on Windows the name itself; elsewhere a port item maps to its
/// stored device path or, by default, COMn to /dev/ttyS(n-1); anything else is taken as a
/// device path as it stands.
QString DevicePathFor(const QString &name);

/// The device path a port item stands for: the one attached for this run, else the stored
/// one, else the default.
QString StoredDevicePath(const QString &item);
/// Stores the device path a port item stands for (settings "Harkel"/"CON", "Devices/COMn");
/// it replaces a path attached for this run.
void StoreDevicePath(const QString &item, const QString &path);
/// For this run only, lets a port item stand for path without storing it (a simulated drive
/// on a pseudo-terminal, for instance).
void AttachDevicePath(const QString &item, const QString &path);
/// The default device path of a port item on this system.
QString DefaultDevicePath(const QString &item);
