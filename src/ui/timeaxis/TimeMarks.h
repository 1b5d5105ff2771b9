#pragma once
// The time view drawn over one plot, alike in every chart window: the trigger marker, the
// hovered sample and cursors A and B as vertical lines, each at its sample's whole pixel column.

#include "TimeView.h"

#include <QRectF>

#include <optional>

class QGraphicsItem;
class QGraphicsLineItem;
class QGraphicsSimpleTextItem;

class TimeMarks {
public:
    /// Above the chart's lines and axes, so a mark is never hidden by the trace it measures.
    static constexpr double MarksZ = 100;

    /// The lines become children of parent, whose coordinates the plot rectangle is given in.
    /// The trigger marker lies at triggerZ (beneath the traces where they must stay readable).
    explicit TimeMarks(QGraphicsItem *parent, double triggerZ = MarksZ);

    /// The plot the marks stand on, showing samples first..last from its left to its right edge.
    void SetPlot(const QRectF &plot, int first, int last);
    /// What to mark: the trigger sample (none hides the marker), cursors and hover.
    void SetMarks(std::optional<int> trigger, const TimeView &view);

    QGraphicsLineItem *TriggerLine() const { return trigger; }
    QGraphicsLineItem *HoverLine() const { return hover; }
    QGraphicsLineItem *LineA() const { return lineA; }
    QGraphicsLineItem *LineB() const { return lineB; }

private:
    void Place(QGraphicsLineItem *line, std::optional<int> sample,
               QGraphicsSimpleTextItem *label = nullptr) const;
    void PlaceAll();

    QRectF plot;
    int first = 0;
    int last = SampleCount - 1;
    std::optional<int> triggerSample;
    TimeView view;
    QGraphicsLineItem *trigger = nullptr;
    QGraphicsLineItem *hover = nullptr;
    QGraphicsLineItem *lineA = nullptr;
    QGraphicsLineItem *lineB = nullptr;
    QGraphicsSimpleTextItem *labelA = nullptr;
    QGraphicsSimpleTextItem *labelB = nullptr;
};
