#pragma once
// The mouse, wheel and keys over a chart drive the program's time view, the same in every
// chart window: the hover line follows the mouse, a click sets cursor A and Shift+click cursor
// B, the keys move them, the wheel zooms around the mouse, Shift+wheel and a middle-button
// drag pan, Home and a double click show all samples.

#include <QObject>
#include <QPointer>

#include <optional>
#include <utility>

class QChartView;
class QPointF;
class TimeViewState;

class TimeAxisControl : public QObject {
public:
    /// Follows the keys of view and the mouse over its viewport; the plot is view's chart's
    /// plot area, which shows the time view's visible samples from its left to its right edge.
    TimeAxisControl(QChartView *view, TimeViewState &state);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool MouseEvent(QEvent *event);
    /// Sample under x of the view, as a fraction, within the visible range.
    double SampleAt(const QPointF &at) const;
    int NearestSampleAt(const QPointF &at) const;
    /// x of a view position in the chart's coordinates.
    double ChartX(const QPointF &at) const;

    QChartView *view;
    QWidget *viewport; ///< view's viewport, which the view does not change
    QPointer<TimeViewState> state;
    bool hovering = false;          ///< this chart set the shared hover
    std::optional<double> panFromX; ///< where a middle-button drag started
    int panFromFirst = 0;           ///< the first sample shown then
    int wheelRest = 0;              ///< wheel turn not yet a whole step
    // The cursors before the first click of what may become a double click, and when it came.
    std::pair<std::optional<int>, std::optional<int>> cursorsBeforeClick;
    std::optional<quint64> lastPressTime;
};
