#pragma once
// Windows that live inside the main frame's client area: opening one from its menu item,
// placing its frame, closing it.

#include <QRect>
#include <QSize>

class QAction;
class QString;
class QMdiArea;
class QMdiSubWindow;
class QWidget;

/// The client area the child windows open in; the main frame gives its own (nullptr: none).
void SetMainClientArea(QMdiArea *area);
/// The size of the main frame's client area (empty while there is none).
QSize MainClientSize();
/// The main frame's window, parent of the windows it owns outside its client area; nullptr
/// while there is none.
QWidget *MainFrameWindow();

/// Shows window as a child in area. item (may be nullptr) is disabled until the window closes,
/// so that each window exists at most once; the window frees itself and its frame on closing.
/// Returns the sub-window that frames it.
QMdiSubWindow *OpenChildWindow(QMdiArea *area, QAction *item, QWidget *window);

/// Enables the main frame's menu item of the given object name again: a window's close handler
/// gives back the item that opens it, however the window was made.
void GiveMenuItemBack(const QString &itemName);

/// The sub-window that frames window in the client area, or nullptr.
QMdiSubWindow *ChildFrameOf(QWidget *window);
/// Gives the frame around window the outer geometry rect (client-area coordinates); when the
/// window has no frame yet, the window itself gets it.
void PlaceChildFrame(QWidget *window, const QRect &rect);
/// Closes a child window the same way its close box does (the frame around it closes too).
void CloseChildWindow(QWidget *window);
