#include "PortNames.h"

#include "Platform.h"

#include <QHash>
#include <QRegularExpression>

namespace {
QString DeviceKey(const QString &item) {
    return QStringLiteral("Devices/") + item;
}

QHash<QString, QString> &AttachedPaths() {
    static QHash<QString, QString> paths;
    return paths;
}
} // namespace

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
    if (const auto attached = AttachedPaths().constFind(item); attached != AttachedPaths().cend())
        return *attached;
    const auto settings = OpenUserSettings();
    const QVariant stored = settings->value(DeviceKey(item));
    if (stored.typeId() == QMetaType::QString && !stored.toString().isEmpty())
        return stored.toString();
    return DefaultDevicePath(item);
}

void StoreDevicePath(const QString &item, const QString &path) {
    AttachedPaths().remove(item);
    const auto settings = OpenUserSettings();
    settings->setValue(DeviceKey(item), path);
}

void AttachDevicePath(const QString &item, const QString &path) {
    AttachedPaths()[item] = path;
}

QString DevicePathFor(const QString &name) {
    if (!IsPortItem(name))
        return name;
#ifdef Q_OS_WIN
    return name;
#else
    return StoredDevicePath(name);
#endif
}
