#pragma once
// One chart of the graph window: a red line over the 100 samples of one channel.

#include "ChartScaling.h"

#include <QChartView>
#include <QString>

class QChart;
class QGraphicsSimpleTextItem;
class QLineSeries;
class QValueAxis;

class ChannelChart : public QChartView {
    Q_OBJECT
public:
    /// position is 1..5 (Chart1 is the bottom one and alone shows the sample numbers).
    explicit ChannelChart(int position, QWidget *parent = nullptr);

    /// Replaces title, points, vertical range and left margin.
    void Fill(const ChartFill &fill);
    /// Moves and resizes the chart within its parent.
    void Place(const QRect &rect);

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

private:
    void ApplyGeometry(const QSizeF &size);
    double VerticalStep(const AxisRange &range, const QSizeF &size) const;
    void SetVerticalAxis(double min, double max, double step);

    int position;
    QLineSeries *series = nullptr;
    QValueAxis *axisX = nullptr;
    QValueAxis *axisY = nullptr;
    QGraphicsSimpleTextItem *titleItem = nullptr;
    int leftPercent = 2;
    bool automaticRange = true;
};
