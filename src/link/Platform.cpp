#include "Platform.h"

#include "TraceRecord.h"

#include <QDir>
#include <QLocale>
#include <QStandardPaths>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

std::int32_t SystemDefaultLanguage() {
#ifdef Q_OS_WIN
    return GetSystemDefaultLangID() == 0x0411 ? LanguageJapanese : LanguageEnglish;
#else
    // No ja_JP locale needs to be generated: Qt reports Japanese from LANG alone.
    return QLocale::system().language() == QLocale::Japanese ? LanguageJapanese : LanguageEnglish;
#endif
}

QString SettingsFilePathFor(const QString &dir) {
    QString path = QDir::toNativeSeparators(dir);
    if (path.endsWith(QDir::separator()))
        path.chop(1);
    return path + QDir::separator() + QStringLiteral("Vandrel.fil");
}

std::unique_ptr<QSettings> OpenUserSettings() {
    return std::make_unique<QSettings>(QStringLiteral("Harkel"), QStringLiteral("CON"));
}

QString AppDataFolder() {
    // AppDataLocation would follow the program's own name ("Vandrel Monitor", "vandrel-trace");
    // both programs must meet in one folder.
#ifdef Q_OS_WIN
    const auto base = QStandardPaths::GenericConfigLocation; // %LOCALAPPDATA%
#else
    const auto base = QStandardPaths::GenericDataLocation;
#endif
    return QStandardPaths::writableLocation(base) + QStringLiteral("/Harkel/CON");
}
