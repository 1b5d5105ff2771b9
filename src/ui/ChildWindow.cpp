#include "ChildWindow.h"

#include <QMdiSubWindow>
#include <QWidget>

void CloseChildWindow(QWidget *window) {
    if (auto *frame = qobject_cast<QMdiSubWindow *>(window->parentWidget()))
        frame->close();
    else
        window->close();
}
