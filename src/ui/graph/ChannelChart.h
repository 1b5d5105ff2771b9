#pragma once
// One chart of the graph window: a red line over the 100 samples of one channel.

#include "ChartScaling.h"

#include <QChartView>
#include <QFontMetrics>
#include <QList>
#include <QString>

#include <memory>
#include <optional>
#include <utility>

class QChart;
class QGraphicsItem;
class QGraphicsSimpleTextItem;
class QLineSeries;
class QValueAxis;
class TimeAxisControl;
class TimeMarks;
class TimeViewState;
struct TimeView;

class ChannelChart : public QChartView {
    Q_OBJECT
public:
    /// position is 1..5 (Chart1 is the bottom one and alone shows the sample numbers). The
    /// mouse and keys over the chart drive timeView.
    ChannelChart(int position, TimeViewState &timeView, QWidget *parent = nullptr);
    ~ChannelChart() override;

    /// Samples first..last run from the plot's left to its right edge. Call before Fill.
    void SetTimeRange(int first, int last);
    int First() const { return first; }
    int Last() const { return last; }
    /// Draws the trigger marker (none: no marker), the cursors and the hovered sample.
    void SetMarks(std::optional<int> trigger, const TimeView &view);
    const TimeMarks &Marks() const { return *marks; }
    /// Pixel x of sample k in the chart's own coordinates (within the view as well).
    double SampleXInChart(int k) const;

    /// Replaces title, points, vertical range and left margin.
    void Fill(const ChartFill &fill);
    /// The same for a chart that Place is about to give the size coming, so that it is laid
    /// out once, at that size.
    void Fill(const ChartFill &fill, const QSize &coming);
    /// Shows the reference's points in grey beneath the trace (non-finite ones are left out);
    /// none removes them. The vertical range stays what Fill set.
    void SetReference(const ChartFill *reference);
    QLineSeries *ReferenceSeries() const { return referenceSeries; }
    /// Moves and resizes the chart within its parent.
    void Place(const QRect &rect);
    /// Gives charts that are (or are about to be placed) width wide one left and one right
    /// plot edge, so that a sample lies at the same x in each: room for the widest vertical
    /// labels among them, and never less than each chart's percent margin. Call after Fill.
    static void ShareTimeAxis(const QList<ChannelChart *> &charts, int width);
    /// Width of the widest vertical label at the present range, in pixels.
    int VerticalLabelWidth() const;
    /// The plot area, in the chart's own coordinates.
    QRectF PlotArea() const;

    int Position() const { return position; }
    QLineSeries *Series() const { return series; }
    QValueAxis *AxisX() const { return axisX; }
    QValueAxis *AxisY() const { return axisY; }
    /// The one-line title shown at the chart's top left.
    QString Title() const;
    QGraphicsSimpleTextItem *TitleItem() const { return titleItem; }
    int LeftMarginPercent() const { return leftPercent; }
    /// True when the vertical range was left to the chart (a flat line).
    bool AutomaticRange() const { return automaticRange; }

protected:
    // Keys the time view does not take go on to the window.
    void keyPressEvent(QKeyEvent *event) override;

private:
    void ApplyGeometry(const QSizeF &size);
    double VerticalStep(const AxisRange &range, const QSizeF &size) const;
    void SetVerticalAxis(double min, double max, double step);
    /// Top and bottom of the plot for a chart of the given height.
    std::pair<int, int> PlotRows(int height) const;
    void ApplyPlotArea(const QSizeF &size);

    int position;
    QFontMetrics axisMetrics; ///< of the axis labels, to make room for them
    QLineSeries *series = nullptr;
    QLineSeries *referenceSeries = nullptr;
    QValueAxis *axisX = nullptr;
    QValueAxis *axisY = nullptr;
    QGraphicsSimpleTextItem *titleItem = nullptr;
    QGraphicsItem *timeGrid = nullptr; ///< time axis lines of a chart without sample numbers
    int leftPercent = 2;
    bool automaticRange = true;
    // Plot edges given by ShareTimeAxis for charts of sharedWidth; other widths use their own.
    int sharedWidth = -1;
    PlotEdges shared;
    QRectF fixedPlot;
    int first = 0;
    int last = SampleCount - 1;
    std::unique_ptr<TimeMarks> marks;
};
