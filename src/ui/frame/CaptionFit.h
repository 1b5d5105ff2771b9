#pragma once
// Room for captions: controls grow to show their whole text in the font they are drawn in.

#include <QList>

class QLineEdit;
class QString;
class QWidget;

/// No limit to the right for FitCaption.
inline constexpr int Unbounded = 1 << 20;

/// The caption of a label or button (push button, check box, radio button); empty otherwise.
QString CaptionText(const QWidget *control);

/// Width, in pixels, of the room the caption of control is drawn in: a label's contents, the
/// contents of a push button less its margin, a check box or radio button less its indicator.
int CaptionRoom(const QWidget *control);

/// Width, in pixels, of the caption's text in the control's font.
int CaptionTextWidth(const QWidget *control);

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

/// The right edge of the rightmost visible child of parent (its own coordinates), 0 if none.
int ChildrenRight(const QWidget *parent);
