#include "TimeMarks.h"

#include "TimeViewColors.h"

#include <QFont>
#include <QGraphicsLineItem>
#include <QGraphicsSimpleTextItem>
#include <QPen>

#include <cmath>

namespace {

constexpr double MarksZ = TimeMarks::MarksZ;
constexpr int LabelPixels = 11;

QGraphicsLineItem *MakeLine(QGraphicsItem *parent, const QPen &pen, double z) {
    auto *line = new QGraphicsLineItem(parent);
    line->setPen(pen);
    line->setZValue(z);
    line->hide();
    return line;
}

QGraphicsSimpleTextItem *MakeLabel(QGraphicsItem *parent, const QString &text,
                                   const QColor &color) {
    auto *label = new QGraphicsSimpleTextItem(text, parent);
    QFont font;
    font.setPixelSize(LabelPixels);
    font.setBold(true);
    label->setFont(font);
    label->setBrush(color);
    label->setZValue(MarksZ + 1);
    label->hide();
    return label;
}

} // namespace

TimeMarks::TimeMarks(QGraphicsItem *parent, double triggerZ) {
    // Cosmetic one-pixel pens: a mark covers exactly the column of its sample at any scale.
    trigger = MakeLine(parent, TriggerPen(), triggerZ);
    hover = MakeLine(parent, QPen(HoverColor, 0), MarksZ + 0.1);
    lineA = MakeLine(parent, QPen(CursorAColor, 0), MarksZ + 0.2);
    lineB = MakeLine(parent, QPen(CursorBColor, 0), MarksZ + 0.3);
    labelA = MakeLabel(parent, QStringLiteral("A"), CursorAColor);
    labelB = MakeLabel(parent, QStringLiteral("B"), CursorBColor);
}

void TimeMarks::SetPlot(const QRectF &newPlot, int newFirst, int newLast) {
    if (newPlot == plot && newFirst == first && newLast == last)
        return;
    plot = newPlot;
    first = newFirst;
    last = newLast;
    PlaceAll();
}

void TimeMarks::SetMarks(std::optional<int> newTrigger, const TimeView &newView) {
    const bool same = newTrigger == triggerSample && newView.A == view.A && newView.B == view.B &&
                      newView.Hover == view.Hover && newView.First == view.First &&
                      newView.Last == view.Last;
    triggerSample = newTrigger;
    view = newView;
    if (!same)
        PlaceAll();
}

void TimeMarks::PlaceAll() {
    Place(trigger, triggerSample);
    Place(hover, view.Hover);
    Place(lineA, view.A, labelA);
    Place(lineB, view.B, labelB);
}

void TimeMarks::Place(QGraphicsLineItem *line, std::optional<int> sample,
                      QGraphicsSimpleTextItem *label) const {
    const bool shown =
        sample && *sample >= first && *sample <= last && plot.width() > 0 && plot.height() > 0;
    if (!shown) {
        line->setVisible(false);
        if (label)
            label->setVisible(false);
        return;
    }
    // Whole pixel columns, as the chart's own aliased line lands on them.
    const double x = std::round(SampleX(*sample, plot.left(), plot.right(), first, last));
    const QLineF where(x, plot.top(), x, plot.bottom());
    if (line->line() != where)
        line->setLine(where);
    line->setVisible(true);
    if (label) {
        // Just right of the line at the plot's top; left of it near the right edge.
        const QRectF box = label->boundingRect();
        const double left = x + 2 + box.width() > plot.right() ? x - 2 - box.width() : x + 2;
        // B one line lower, so that both read when they share a sample.
        const QPointF at(left, plot.top() + (label == labelB ? box.height() : 0));
        if (label->pos() != at)
            label->setPos(at);
        label->setVisible(true);
    }
}
