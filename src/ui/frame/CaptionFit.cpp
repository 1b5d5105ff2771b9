#include "CaptionFit.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>

#include <algorithm>
#include <cmath>

namespace {

const char *const FullCaptionProperty = "fullCaption";
const char *const ElidedCaptionProperty = "elidedCaption";

// A line edit keeps this much between its contents' edge and the text, and a cursor's width.
constexpr int LineEditTextMargin = 2;
constexpr int CursorWidth = 1;

int TextWidth(const QFont &font, const QString &text) {
    const QFontMetricsF metrics(font);
    qreal widest = 0;
    for (const QString &line : text.split(QLatin1Char('\n')))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    return static_cast<int>(std::ceil(widest));
}

// The caption's text room of control as drawn at its full width, not clipped by its parent.
int UnclippedRoom(const QWidget *control) {
    if (const auto *label = qobject_cast<const QLabel *>(control))
        return label->contentsRect().width() - 2 * label->margin();
    const auto *button = qobject_cast<const QAbstractButton *>(control);
    if (!button)
        return control->width();
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const QStyle *style = button->style();
    if (qobject_cast<const QCheckBox *>(button))
        return style->subElementRect(QStyle::SE_CheckBoxContents, &option, button).width();
    if (qobject_cast<const QRadioButton *>(button))
        return style->subElementRect(QStyle::SE_RadioButtonContents, &option, button).width();
    // A push button's text keeps the style's margin from its bevel; without it the text touches
    // the border.
    return style->subElementRect(QStyle::SE_PushButtonContents, &option, button).width() -
           style->pixelMetric(QStyle::PM_ButtonMargin, &option, button);
}

// The caption of a label or button; empty for anything else.
QString CaptionText(const QWidget *control) {
    if (const auto *label = qobject_cast<const QLabel *>(control))
        return label->text();
    if (const auto *button = qobject_cast<const QAbstractButton *>(control))
        return button->text();
    return {};
}

// The whole caption, also when an earlier fit shows it elided.
QString FullCaption(const QWidget *control) {
    const QString shown = CaptionText(control);
    if (control->property(ElidedCaptionProperty).toString() == shown && !shown.isEmpty())
        return control->property(FullCaptionProperty).toString();
    return shown;
}

void SetCaption(QWidget *control, const QString &text) {
    if (auto *label = qobject_cast<QLabel *>(control))
        label->setText(text);
    else if (auto *button = qobject_cast<QAbstractButton *>(control))
        button->setText(text);
}

} // namespace

int FitCaption(QWidget *control, int maxRight) {
    const QString full = FullCaption(control);
    SetCaption(control, full);
    const int chrome = control->width() - UnclippedRoom(control);
    const int needed = chrome + TextWidth(control->font(), full);
    const int allowed = std::max(maxRight - control->x(), control->width());
    if (auto *label = qobject_cast<QLabel *>(control))
        label->resize(label->width(), std::max(label->height(), label->sizeHint().height()));
    if (needed <= allowed) {
        control->resize(std::max(control->width(), needed), control->height());
        if (control->property(ElidedCaptionProperty).isValid()) {
            // Shown whole again: the tooltip and the name given for the shortened text go.
            control->setToolTip(QString());
            if (control->accessibleName() == control->property(FullCaptionProperty).toString())
                control->setAccessibleName(QString());
            control->setProperty(ElidedCaptionProperty, QVariant());
            control->setProperty(FullCaptionProperty, QVariant());
        }
        return control->x() + needed;
    }
    // Too long for any room it may have: the start of the text, and the whole on demand.
    control->resize(allowed, control->height());
    const QString elided =
        QFontMetricsF(control->font()).elidedText(full, Qt::ElideRight, allowed - chrome - 1);
    SetCaption(control, elided);
    control->setToolTip(full);
    // Screen readers name the control by its whole caption, not by the shortened one.
    const QString given = control->property(FullCaptionProperty).toString();
    if (control->accessibleName().isEmpty() ||
        (!given.isEmpty() && control->accessibleName() == given))
        control->setAccessibleName(full);
    control->setProperty(FullCaptionProperty, full);
    control->setProperty(ElidedCaptionProperty, elided);
    return control->geometry().right() + 1;
}

int FitCaptionRow(const QList<QWidget *> &row, int gap, int maxRight) {
    int right = 0;
    for (QWidget *control : row) {
        if (right > 0 && control->x() < right + gap)
            control->move(right + gap, control->y());
        right = FitCaption(control, maxRight);
    }
    return right;
}

int FitFieldWidth(QLineEdit *field, const QString &longest, int maxRight) {
    QStyleOptionFrame option;
    option.initFrom(field);
    option.lineWidth = field->hasFrame() ? field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth,
                                                                       &option, field)
                                         : 0;
    const QRect contents =
        field->style()->subElementRect(QStyle::SE_LineEditContents, &option, field);
    const QMargins margins = field->textMargins();
    const int room =
        contents.width() - margins.left() - margins.right() - 2 * LineEditTextMargin - CursorWidth;
    const int needed = field->width() - room + TextWidth(field->font(), longest);
    const int allowed = std::max(maxRight - field->x(), field->width());
    field->resize(std::clamp(needed, field->width(), allowed), field->height());
    return field->geometry().right() + 1;
}
