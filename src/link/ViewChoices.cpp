#include "ViewChoices.h"

#include "Platform.h"

namespace {

const QString FollowKey = QStringLiteral("View/FollowNewTraces");
const QString EventsKey = QStringLiteral("View/ShowEventsAfterRead");

// Only a stored boolean counts; anything else the user or another program left is the default.
bool StoredChoice(const QString &key, bool fallback) {
    const QVariant stored = OpenUserSettings()->value(key);
    if (stored.typeId() == QMetaType::Bool)
        return stored.toBool();
    if (stored.typeId() == QMetaType::QString) {
        const QString text = stored.toString();
        if (text == QLatin1String("true"))
            return true;
        if (text == QLatin1String("false"))
            return false;
    }
    return fallback;
}

} // namespace

bool FollowNewTracesChoice() {
    return StoredChoice(FollowKey, false);
}

void StoreFollowNewTracesChoice(bool on) {
    OpenUserSettings()->setValue(FollowKey, on);
}

bool ShowEventsAfterReadChoice() {
    return StoredChoice(EventsKey, true);
}

void StoreShowEventsAfterReadChoice(bool on) {
    OpenUserSettings()->setValue(EventsKey, on);
}
