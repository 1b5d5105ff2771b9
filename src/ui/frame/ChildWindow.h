#pragma once
// Helpers for windows that live inside the main frame's client area.

class QWidget;

/// Closes a child window the same way its close box does (the frame around it closes too).
void CloseChildWindow(QWidget *window);
