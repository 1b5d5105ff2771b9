#include "ChannelChart.h"

#include "Fonts.h"
#include "TimeAxisControl.h"
#include "TimeMarks.h"
#include "TimeViewColors.h"

#include <QChart>
#include <QFontMetrics>
#include <QGraphicsLayout>
#include <QGraphicsSimpleTextItem>
#include <QKeyEvent>
#include <QLineSeries>
#include <QPainter>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace {

const QColor GridColor(192, 192, 192); // silver
constexpr int AxisFontPixels = 12;
// Least distance between neighbouring axis labels, in pixels.
constexpr int MinVerticalLabelSpacing = 20;
constexpr int MinHorizontalLabelSpacing = 32;
constexpr int TitleLeft = 4;

QFont AxisFont() {
    QFont font(JapanesePMinchoFont);
    font.setPixelSize(AxisFontPixels);
    return font;
}
// Between a vertical label's text and the plot: the chart's label padding and text margins,
// with a pixel to spare.
constexpr int LabelGap = 8;

// Half the last sample number under Chart1 reaches beyond the plot's right edge.
int TimeLabelOverhang(const QFontMetrics &metrics) {
    return (metrics.horizontalAdvance(QString::number(SampleCount - 1)) + 1) / 2 + 1;
}

// Room the sample numbers under Chart1 take: the chart's label padding, a line of text and its
// margins.
int BottomLabelHeight(const QFontMetrics &metrics) {
    return 5 + metrics.height() + 2;
}

// The lowest and highest vertical labels are centred on the plot's edges; half a line of text
// must fit outside the plot.
int HalfLabelHeight(const QFontMetrics &metrics) {
    return (metrics.height() + 1) / 2;
}

void StyleAxis(QValueAxis *axis, int position) {
    axis->setLabelsFont(AxisFont());
    axis->setTitleFont(AxisFont());
    axis->setLabelsColor(Qt::black);
    axis->setTitleBrush(Qt::black);
    // Cosmetic (zero-width) pens draw one pixel like width 1, but let the chart skip stroking
    // every grid line and tick to find its bounds, which made resizing slow.
    axis->setGridLinePen(QPen(GridColor, 0));
    axis->setLinePen(QPen(Qt::black, 0));
    axis->setTruncateLabels(false);
    // A sane step before the dynamic ticks start: each step is one item of the chart.
    axis->setRange(0, 1);
    axis->setTickInterval(0.5);
    axis->setTickAnchor(0);
    axis->setTickType(QValueAxis::TicksDynamic);
    // Chart3 keeps the chart's own default for minor ticks.
    if (position != 3) {
        axis->setMinorTickCount(4);
        axis->setMinorGridLineVisible(false);
        axis->setMinorGridLinePen(QPen(GridColor, 0));
    }
}

// The time axis of a chart without sample numbers, drawn as the chart's own axis would:
// silver grid lines at the labels' places, the axis line along the plot's bottom, ticks below
// it and minor ticks between them.
class TimeGridItem : public QGraphicsItem {
public:
    TimeGridItem(QGraphicsItem *parent, int minorCount)
        : QGraphicsItem(parent), minorCount(minorCount) {
        setZValue(GridZ);
    }

    void Set(const QRectF &newPlot, double newStep, int newFirst, int newLast) {
        if (newPlot == plot && newStep == step && newFirst == first && newLast == last)
            return;
        prepareGeometryChange();
        plot = newPlot;
        step = newStep;
        first = newFirst;
        last = newLast;
        update();
    }

    QRectF boundingRect() const override { return plot.adjusted(-1, -1, 1, TickLength + 1); }

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *) override {
        if (!(step > 0) || plot.width() <= 0 || last <= first)
            return;
        const double perSample = plot.width() / (last - first);
        const double bottom = plot.bottom();
        const auto count = static_cast<qsizetype>((last - first) / step) + 2;
        QList<QLineF> grid;
        grid.reserve(count);
        QList<QLineF> ticks;
        ticks.reserve(count * (minorCount + 1) + 1);
        ticks.append(QLineF(plot.left(), bottom, plot.right(), bottom));
        // Summed up step by step from the first multiple of the step, as the chart places its
        // labels; a range that starts between two labels gets the minor ticks before the first.
        const double firstLabel = std::ceil(first / step) * step;
        for (double v = firstLabel > first ? firstLabel - step : firstLabel; v <= last; v += step) {
            const double x = plot.left() + (v - first) * perSample;
            if (v >= first) {
                grid.append(QLineF(x, plot.top(), x, bottom));
                ticks.append(QLineF(x, bottom, x, bottom + TickLength));
            }
            for (int m = 1; m <= minorCount; ++m) {
                const double minor = v + step * m / (minorCount + 1);
                if (minor > last)
                    break;
                if (minor < first)
                    continue;
                const double mx = plot.left() + (minor - first) * perSample;
                ticks.append(QLineF(mx, bottom, mx, bottom + TickLength / 2.0));
            }
        }
        painter->setPen(QPen(GridColor, 0));
        painter->drawLines(grid);
        painter->setPen(QPen(Qt::black, 0));
        painter->drawLines(ticks);
    }

private:
    // Above the plot's background, below the axes and the line, as the chart's own grid.
    static constexpr double GridZ = 2;
    // The chart's label padding, which is also the length of its ticks.
    static constexpr double TickLength = 5;
    int minorCount;
    QRectF plot;
    double step = 0;
    int first = 0;
    int last = SampleCount - 1;
};

} // namespace

// The view is built around its own chart: a view made without one creates a default chart that
// setChart would only release, never free.
ChannelChart::ChannelChart(int position, TimeViewState &timeView, QWidget *parent)
    : QChartView(new QChart, parent), position(position), axisMetrics(AxisFont()) {
    setObjectName(QStringLiteral("Chart%1").arg(position));
    setFrameShape(QFrame::NoFrame);
    // The window decides every chart's size, however small the chart area gets.
    setMinimumSize(0, 0);
    setRenderHint(QPainter::Antialiasing, false);
    setBackgroundBrush(Qt::white);

    QChart *c = chart();
    c->setBackgroundRoundness(0);
    c->setBackgroundBrush(Qt::white);
    c->setPlotAreaBackgroundBrush(Qt::white);
    c->setPlotAreaBackgroundVisible(true);
    c->setDropShadowEnabled(false);
    c->legend()->hide();
    c->layout()->setContentsMargins(0, 0, 0, 0);
    c->setAnimationOptions(QChart::NoAnimation);
    c->setMinimumSize(0, 0); // otherwise the view grows to what the axes would like

    // Added first, the reference is drawn beneath the trace.
    referenceSeries = new QLineSeries;
    referenceSeries->setObjectName(QStringLiteral("ReferenceSeries%1").arg(position));
    referenceSeries->setPen(QPen(ReferenceColor, 0));
    referenceSeries->setPointsVisible(false);
    c->addSeries(referenceSeries);

    series = new QLineSeries;
    series->setObjectName(QStringLiteral("Series%1").arg(position));
    series->setPen(QPen(Qt::red, 0));
    series->setPointsVisible(false);
    c->addSeries(series);

    axisX = new QValueAxis;
    axisY = new QValueAxis;
    StyleAxis(axisX, position);
    StyleAxis(axisY, position);
    axisX->setLabelFormat(QStringLiteral("%d"));
    axisX->setTickInterval(5);
    axisX->setRange(0, SampleCount - 1);
    // Only the bottom chart names the samples; the others draw the same axis line, ticks and
    // grid without labels. The chart component lays out every hidden label at every resize as
    // if it were shown, which made resizing slow, so their time axis only maps the points and
    // a light item of our own draws its lines.
    if (position != 1) {
        axisX->setLabelsVisible(false);
        axisX->setVisible(false);
        timeGrid = new TimeGridItem(c, position == 3 ? 0 : 4);
    }
    axisY->setLabelFormat(QStringLiteral("%.1f"));
    c->addAxis(axisX, Qt::AlignBottom);
    c->addAxis(axisY, Qt::AlignLeft);
    series->attachAxis(axisX);
    series->attachAxis(axisY);
    referenceSeries->attachAxis(axisX);
    referenceSeries->attachAxis(axisY);

    // The chart's own title is always centred, so it is kept invisible and only makes room
    // above the margins; a text item of our own, in the same font, shows it left-aligned.
    c->setTitleBrush(QBrush(Qt::transparent));
    titleItem = new QGraphicsSimpleTextItem(c);
    titleItem->setFont(c->titleFont());
    titleItem->setBrush(Qt::black);

    marks = std::make_unique<TimeMarks>(c);
    // The mouse measures and zooms; the view itself never scrolls or drags.
    setDragMode(QGraphicsView::NoDrag);
    setRubberBand(QChartView::NoRubberBand);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    new TimeAxisControl(this, timeView);
    // Tab reaches the chart too, so that the cursor keys work without a mouse.
    setFocusPolicy(Qt::StrongFocus);

    connect(c, &QChart::geometryChanged, this, [this] { ApplyGeometry(chart()->size()); });
    hide();
}

ChannelChart::~ChannelChart() = default;

void ChannelChart::SetTimeRange(int newFirst, int newLast) {
    if (newFirst == first && newLast == last)
        return;
    first = newFirst;
    last = newLast;
    axisX->setRange(first, last);
    marks->SetPlot(fixedPlot, first, last);
    if (timeGrid)
        static_cast<TimeGridItem *>(timeGrid)->Set(fixedPlot, axisX->tickInterval(), first, last);
}

void ChannelChart::SetMarks(std::optional<int> trigger, const TimeView &view) {
    marks->SetMarks(trigger, view);
}

double ChannelChart::SampleXInChart(int k) const {
    return SampleX(k, fixedPlot.left(), fixedPlot.right(), first, last);
}

void ChannelChart::keyPressEvent(QKeyEvent *event) {
    event->ignore();
}

QString ChannelChart::Title() const {
    return titleItem->text();
}

void ChannelChart::Fill(const ChartFill &fill) {
    Fill(fill, size());
}

void ChannelChart::Fill(const ChartFill &fill, const QSize &coming) {
    const QString title = QString::fromStdString(fill.Title);
    // Every change of the chart asks for a new layout of it, so only changes are made.
    if (title != titleItem->text()) {
        titleItem->setText(title);
        chart()->setTitle(title);
        // A chart reached by Tab is announced by what it shows.
        setAccessibleName(title);
    }
    QList<QPointF> points;
    points.reserve(SampleCount);
    for (int n = 0; n < SampleCount; ++n) {
        const float y = fill.Y[static_cast<std::size_t>(n)];
        if (std::isfinite(y))
            points.append(QPointF(n, y));
    }
    if (points != series->points())
        series->replace(points);
    automaticRange = fill.Range.Automatic;
    leftPercent = fill.LeftMarginPercent;
    SetVerticalAxis(fill.Range.Min, fill.Range.Max, VerticalStep(fill.Range, coming));
    // A chart about to be resized is laid out by Place; one that keeps its size, now.
    if (coming == size())
        ApplyGeometry(coming);
}

void ChannelChart::SetReference(const ChartFill *reference) {
    QList<QPointF> points;
    if (reference) {
        points.reserve(SampleCount);
        for (int n = 0; n < SampleCount; ++n) {
            const float y = reference->Y[static_cast<std::size_t>(n)];
            if (std::isfinite(y))
                points.append(QPointF(n, y));
        }
    }
    if (points != referenceSeries->points())
        referenceSeries->replace(points);
}

std::pair<int, int> ChannelChart::PlotRows(int height) const {
    const ChartMarginsPx margins = ChartMargins(0, height, leftPercent);
    const int titleHeight = static_cast<int>(std::ceil(titleItem->boundingRect().height()));
    const int top = margins.Top + titleHeight + HalfLabelHeight(axisMetrics);
    const int bottom =
        height - margins.Bottom -
        (position == 1 ? BottomLabelHeight(axisMetrics) : HalfLabelHeight(axisMetrics));
    return {top, std::max(bottom, top + 1)};
}

QRectF ChannelChart::PlotArea() const {
    return chart()->plotArea();
}

double ChannelChart::VerticalStep(const AxisRange &range, const QSizeF &size) const {
    const auto [top, bottom] = PlotRows(static_cast<int>(size.height()));
    const int plotHeight = bottom - top;
    const double minStep = position == 2 ? 1.0 : 0.1;
    return LabelStep(range.Max - range.Min, plotHeight, MinVerticalLabelSpacing, minStep);
}

void ChannelChart::SetVerticalAxis(double min, double max, double step) {
    // The chart makes one item per label step, so a small step must never meet a wide range,
    // not even between the two calls: the order depends on which way the step changes.
    const bool rangeChanged = axisY->min() != min || axisY->max() != max;
    // Labels are counted from a hair above zero, so that zero reads "0.0", never "-0.0".
    const double anchor = AxisTickAnchor(step);
    if (anchor != axisY->tickAnchor())
        axisY->setTickAnchor(anchor);
    if (step >= axisY->tickInterval()) {
        if (step != axisY->tickInterval())
            axisY->setTickInterval(step);
        // setRange takes both ends at once, so a range far outside the old one is accepted.
        if (rangeChanged)
            axisY->setRange(min, max);
    } else {
        if (rangeChanged)
            axisY->setRange(min, max);
        axisY->setTickInterval(step);
    }
}

void ChannelChart::Place(const QRect &rect) {
    // Margins and label steps for the new size first, so the chart is laid out once.
    if (rect.size() != size())
        ApplyGeometry(rect.size());
    setGeometry(rect);
}

void ChannelChart::ApplyGeometry(const QSizeF &size) {
    QChart *c = chart();
    const int width = static_cast<int>(size.width());
    const int height = static_cast<int>(size.height());
    const ChartMarginsPx margins = ChartMargins(width, height, leftPercent);
    // Where the hidden built-in title sits: just inside the top margin.
    titleItem->setPos(TitleLeft, margins.Top);
    const QMargins wanted(margins.Left, margins.Top, margins.Right, margins.Bottom);
    if (c->margins() != wanted)
        c->setMargins(wanted);

    // Label steps from the room the axes will get.
    SetVerticalAxis(axisY->min(), axisY->max(),
                    VerticalStep({axisY->min(), axisY->max(), automaticRange}, size));
    const double stepX = LabelStep(last - first, width, MinHorizontalLabelSpacing, 1.0);
    if (axisX->tickInterval() != stepX)
        axisX->setTickInterval(stepX);
    ApplyPlotArea(size);
    if (timeGrid)
        static_cast<TimeGridItem *>(timeGrid)->Set(fixedPlot, stepX, first, last);
}

int ChannelChart::VerticalLabelWidth() const {
    int widest = 0;
    for (const double v :
         AxisLabelValues(axisY->min(), axisY->max(), axisY->tickInterval(), axisY->tickAnchor()))
        widest = std::max(widest,
                          axisMetrics.horizontalAdvance(QString::fromStdString(AxisLabelText(v))));
    return widest;
}

void ChannelChart::ShareTimeAxis(const QList<ChannelChart *> &charts, int width) {
    if (charts.isEmpty())
        return;
    std::vector<PlotLeftNeed> needs;
    for (const ChannelChart *chart : charts)
        needs.push_back({chart->leftPercent, chart->VerticalLabelWidth()});
    const PlotEdges edges =
        CommonPlotEdges(width, needs, LabelGap, TimeLabelOverhang(charts.first()->axisMetrics));
    for (ChannelChart *chart : charts) {
        chart->sharedWidth = width;
        chart->shared = edges;
        if (chart->width() == width)
            chart->ApplyPlotArea(chart->size());
    }
}

void ChannelChart::ApplyPlotArea(const QSizeF &size) {
    const int width = static_cast<int>(size.width());
    // A chart on its own (or not yet given edges for this width) makes room for its own labels.
    const PlotEdges edges = width == sharedWidth
                                ? shared
                                : CommonPlotEdges(width, {{leftPercent, VerticalLabelWidth()}},
                                                  LabelGap, TimeLabelOverhang(axisMetrics));
    const auto [top, bottom] = PlotRows(static_cast<int>(size.height()));
    // A fixed plot area: the chart's own layout would start each plot where its labels end.
    const QRectF plot(edges.Left, top, edges.Right - edges.Left, bottom - top);
    if (plot != fixedPlot) {
        fixedPlot = plot;
        chart()->setPlotArea(plot);
        if (timeGrid)
            static_cast<TimeGridItem *>(timeGrid)->Set(plot, axisX->tickInterval(), first, last);
        marks->SetPlot(plot, first, last);
    }
}
