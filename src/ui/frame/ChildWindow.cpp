#include "ChildWindow.h"

#include "ChildFrame.h"

#include <QMdiSubWindow>
#include <QWidget>

void CloseChildWindow(QWidget *window) {
    if (QMdiSubWindow *frame = ChildFrameOf(window))
        frame->close();
    else
        window->close();
}
