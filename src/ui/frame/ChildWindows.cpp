#include "ChildWindows.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QWidget>

namespace {

QPointer<QMdiArea> &ClientArea() {
    static QPointer<QMdiArea> area;
    return area;
}

} // namespace

void SetMainClientArea(QMdiArea *area) {
    ClientArea() = area;
}

QSize MainClientSize() {
    const QMdiArea *area = ClientArea();
    return area ? area->viewport()->size() : QSize();
}

QWidget *MainFrameWindow() {
    QMdiArea *area = ClientArea();
    return area ? area->window() : nullptr;
}

QMdiSubWindow *OpenChildWindow(QMdiArea *area, QAction *item, QWidget *window) {
    window->setAttribute(Qt::WA_DeleteOnClose);
    QMdiSubWindow *frame = area->addSubWindow(window);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    if (item) {
        item->setEnabled(false);
        QObject::connect(window, &QObject::destroyed, item, [item] { item->setEnabled(true); });
    }
    // A window that frees itself takes its frame along; queued, because the frame may itself
    // be the one being destroyed right now. Then it is no longer a sub-window, only a plain
    // object on its way out, so it is neither converted nor called directly here: a queued
    // call by name is dropped if the frame is gone by the time it would run.
    QObject::connect(window, &QObject::destroyed, area, [frame = QPointer<QObject>(frame)] {
        if (frame)
            QMetaObject::invokeMethod(frame.get(), "close", Qt::QueuedConnection);
    });
    window->show();
    frame->show();
    return frame;
}

void GiveMenuItemBack(const QString &itemName) {
    if (QWidget *frame = MainFrameWindow())
        if (auto *item = frame->findChild<QAction *>(itemName))
            item->setEnabled(true);
}

QMdiSubWindow *ChildFrameOf(QWidget *window) {
    return window ? qobject_cast<QMdiSubWindow *>(window->parentWidget()) : nullptr;
}

void PlaceChildFrame(QWidget *window, const QRect &rect) {
    QWidget *target = ChildFrameOf(window);
    if (!target)
        target = window;
    target->setGeometry(rect);
}

void CloseChildWindow(QWidget *window) {
    if (QMdiSubWindow *frame = ChildFrameOf(window))
        frame->close();
    else
        window->close();
}
