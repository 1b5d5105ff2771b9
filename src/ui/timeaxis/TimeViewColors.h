#pragma once
// Colours of the time view's marks, the same on every chart of every window.

#include <QColor>
#include <QPen>

/// Cursor A.
inline const QColor CursorAColor(0, 0, 255);
/// Cursor B.
inline const QColor CursorBColor(0, 160, 0);
/// The thin line under the mouse.
inline const QColor HoverColor(128, 128, 128);
/// A reference trace, beneath the trace itself.
inline const QColor ReferenceColor(160, 160, 160);
/// The trigger marker.
inline const QColor TriggerColor(0, 0, 0);

/// Pen of the trigger marker: dashed, one pixel at any zoom.
inline QPen TriggerPen() {
    QPen pen(TriggerColor, 1, Qt::DashLine);
    pen.setCosmetic(true);
    return pen;
}
