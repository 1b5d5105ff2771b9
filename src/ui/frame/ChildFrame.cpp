#include "ChildFrame.h"

#include "TForm1.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QWidget>

QMdiSubWindow *ChildFrameOf(QWidget *window) {
    return window ? qobject_cast<QMdiSubWindow *>(window->parentWidget()) : nullptr;
}

void PlaceChildFrame(QWidget *window, const QRect &rect) {
    QWidget *target = ChildFrameOf(window);
    if (!target)
        target = window;
    target->setGeometry(rect);
}

QSize MainClientSize() {
    if (!Form1 || !Form1->ClientArea())
        return {};
    return Form1->ClientArea()->viewport()->size();
}
