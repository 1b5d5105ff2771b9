#pragma once
// Room for captions: controls grow to show their whole text in the font they are drawn in.

#include <QList>

class QLineEdit;
class QString;
class QWidget;

/// No limit to the right for FitCaption.
inline constexpr int Unbounded = 1 << 20;

/// Widens control, keeping its left and top, until its whole caption fits in its font, but not
/// past maxRight (in its parent's coordinates); a caption that still does not fit is elided and
/// its whole text becomes the tooltip. A label also grows tall enough for its font. Returns where
/// the caption as drawn ends on the right. Call again after the caption changed.
int FitCaption(QWidget *control, int maxRight = Unbounded);

/// Fits a row of controls from left to right: each one grows as FitCaption does, and the next one
/// moves right only where the caption before would otherwise run into it (gap pixels apart).
/// Returns where the last caption ends.
int FitCaptionRow(const QList<QWidget *> &row, int gap, int maxRight = Unbounded);

/// Widens a one-line field, keeping its left and top, so that longest fits whole, not past
/// maxRight. Returns the field's right edge.
int FitFieldWidth(QLineEdit *field, const QString &longest, int maxRight = Unbounded);
