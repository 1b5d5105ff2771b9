#include "PortNames.h"

#include "Platform.h"

#include <QHash>
#include <QRegularExpression>
#include <cstdio>

namespace {
QString DeviceKey(const QString &item) {
    return QStringLiteral("Devices/") + item;
}

QHash<QString, QString> &RunMap() {
    static QHash<QString, QString> map;
    return map;
}

bool ApplyPortMap(const QString &text) {
    const qsizetype eq = text.indexOf(QLatin1Char('='));
    const QString item = text.left(eq);
    const QString path = text.mid(eq + 1);
    if (eq < 0 || !IsPortItem(item) || path.isEmpty()) {
        std::fprintf(stderr, "--port-map takes COM1..COM9=DEVICE, not '%s'\n", qPrintable(text));
        return false;
    }
    MapPortForThisRun(item, path);
    return true;
}
} // namespace

void MapPortForThisRun(const QString &item, const QString &path) {
    RunMap().insert(item, path);
}

QStringList ApplyPortMapArguments(const QStringList &arguments) {
    QStringList rest;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &arg = arguments[i];
        if (arg == QLatin1String("--port-map") && i + 1 < arguments.size())
            ApplyPortMap(arguments[++i]);
        else if (arg.startsWith(QLatin1String("--port-map=")))
            ApplyPortMap(arg.mid(11));
        else
            rest << arg;
    }
    return rest;
}

bool IsPortItem(const QString &name) {
    static const QRegularExpression pattern(QStringLiteral("^COM[1-9]$"));
    return pattern.match(name).hasMatch();
}

QString DefaultDevicePath(const QString &item) {
#ifdef Q_OS_WIN
    return item;
#else
    return QStringLiteral("/dev/ttyS%1").arg(item.mid(3).toInt() - 1);
#endif
}

QString StoredDevicePath(const QString &item) {
    const auto settings = OpenUserSettings();
    const QVariant stored = settings->value(DeviceKey(item));
    if (stored.typeId() == QMetaType::QString && !stored.toString().isEmpty())
        return stored.toString();
    return DefaultDevicePath(item);
}

void StoreDevicePath(const QString &item, const QString &path) {
    const auto settings = OpenUserSettings();
    settings->setValue(DeviceKey(item), path);
}

QString DevicePathFor(const QString &name) {
    if (!IsPortItem(name))
        return name;
    if (const auto mapped = RunMap().constFind(name); mapped != RunMap().constEnd())
        return *mapped;
#ifdef Q_OS_WIN
    return name;
#else
    return StoredDevicePath(name);
#endif
}
