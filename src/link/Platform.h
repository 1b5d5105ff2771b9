#pragma once
// The few places where Windows and other systems differ: start-up language, settings store,
// settings-file path, application data folder.

#include <QSettings>
#include <QString>
#include <cstdint>
#include <memory>

/// '1' when the system's default language is Japanese, '2' otherwise.
std::int32_t SystemDefaultLanguage();

/// Path of the one-byte language file inside directory dir (trailing separator dropped).
QString SettingsFilePathFor(const QString &dir);

/// The per-user settings store (registry key HKCU\Software\Harkel\CON on Windows).
std::unique_ptr<QSettings> OpenUserSettings();

/// The per-user application data folder of organisation "Harkel", application "CON" (on Linux
/// $XDG_DATA_HOME/Harkel/CON), whatever the running program calls itself.
QString AppDataFolder();
