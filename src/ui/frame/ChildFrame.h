#pragma once
// Size and place of a child window's frame inside the main frame's client area.

#include <QRect>

class QMdiSubWindow;
class QWidget;

/// The sub-window that frames window in the client area, or nullptr.
QMdiSubWindow *ChildFrameOf(QWidget *window);

/// Gives the frame around window the outer geometry rect (client-area coordinates); when the
/// window has no frame yet, the window itself gets it.
void PlaceChildFrame(QWidget *window, const QRect &rect);

/// The size of the main frame's client area (empty before the main frame exists).
QSize MainClientSize();
