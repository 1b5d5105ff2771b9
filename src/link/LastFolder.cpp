#include "LastFolder.h"

#include "Platform.h"

#include <QDir>
#include <QFileInfo>

namespace {
const QString FolderKey = QStringLiteral("Files/LastFolder");
} // namespace

QString FileDialogFolder() {
    const QVariant stored = OpenUserSettings()->value(FolderKey);
    if (stored.typeId() == QMetaType::QString) {
        const QString folder = stored.toString();
        // A folder removed or unmounted since would leave the dialog somewhere arbitrary.
        if (!folder.isEmpty() && QFileInfo(folder).isDir())
            return folder;
    }
    return QDir::currentPath();
}

void RememberLastFolder(const QString &filePath) {
    const QString folder = QFileInfo(filePath).absolutePath();
    if (folder.isEmpty())
        return;
    OpenUserSettings()->setValue(FolderKey, folder);
}
