#pragma once
// The folder in which the file dialogs start: that of the last trace file opened or saved,
// kept in the per-user settings between runs.

#include <QString>

/// The folder to start a file dialog in: the remembered one while it still exists, else the
/// current working folder.
QString FileDialogFolder();
/// Remembers the folder of filePath (a file just opened or saved) for the next file dialog.
void RememberLastFolder(const QString &filePath);
