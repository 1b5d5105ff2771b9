#pragma once
// How one channel of the record becomes one chart: points, title, vertical range, margins,
// label steps; and where the stacked charts of the graph window lie.

#include "TraceRecord.h"

#include <array>
#include <string>
#include <vector>

/// Value range of the vertical axis.
struct AxisRange {
    double Min = 0; ///< lower end, engineering units
    double Max = 0; ///< upper end, engineering units
    /// True when the data gave no span (a flat line) and the range was chosen automatically.
    bool Automatic = false;
};

/// Everything a chart shows of one channel.
struct ChartFill {
    std::string Title;                  ///< UTF-8 chart title
    std::array<float, SampleCount> Y{}; ///< point n (x = n) in engineering units
    float Max = 0;                      ///< largest finite point
    float Min = 0;                      ///< smallest finite point
    AxisRange Range;                    ///< vertical axis range
    int LeftMarginPercent = 4;          ///< left margin in percent of the chart width
};

/// Factor applied to every channel that carries a user-given name, whatever its Scale.
inline constexpr double UserNameFactor = 0.005;

/// What decides a chart's title and factor besides the trace and its units: the language of
/// the titles and which channels carry a user-given name.
struct ChartNaming {
    std::int32_t Language = LanguageEnglish;
    std::array<bool, ChannelCount + 1> OwnName{}; ///< per channel 1..12; index 0 unused
};

/// Title of the chart of channel ch (1..12): the user title "ChN(%)" for a user-named channel,
/// else the default name for the language and drive type.
std::string ChartTitle(int ch, const ChartNaming &naming, std::int32_t driveTypeE);

/// Value of channel ch (1..12) at sample n as plotted: as stored when the trace is normalised,
/// else times 0.005 for a user-named channel or times the record's factor, rounded to single
/// precision.
float ChartPointValue(const TraceUnits &trace, int n, int ch, bool ownName);

/// Largest and smallest finite value taken in; both 0 while there is none.
struct FiniteExtremes {
    float Max = 0;
    float Min = 0;
    bool Any = false; ///< a finite value was taken in
    /// Takes value in unless it is infinite or undefined.
    void Add(float value);
};

/// Sets fill's Max and Min to its largest and smallest finite point (both 0 when there is none)
/// and its Range from them.
void FitChartRange(ChartFill &fill);

/// Vertical range for points from min to max: 10 % of the span beyond each end, or an
/// automatic range around a flat line.
AxisRange VerticalRange(float max, float min);

/// Left margin in percent of the chart width: shorter axis labels get a wider margin.
int LeftMarginPercent(float max, float min);

/// Fills a chart's contents for channel ch (1..12) of a trace.
ChartFill FillChartData(const TraceUnits &trace, int ch, const ChartNaming &naming);

/// Margins of a chart in pixels.
struct ChartMarginsPx {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
};

/// Margins of a chart of width x height pixels: top and bottom 1 %, right 2 %, left the given
/// percent (each rounded to whole pixels).
ChartMarginsPx ChartMargins(int width, int height, int leftPercent);

/// Distance between axis labels: the smallest 1, 2 or 5 times a power of ten that keeps labels
/// at least minSpacingPx apart on an axis lengthPx long showing span, and never below minStep.
/// An axis of no length is treated as one pixel long.
double LabelStep(double span, int lengthPx, int minSpacingPx, double minStep);

/// Text of a vertical axis label: one decimal ("##0.0"); a zero is never signed, so a value
/// that only rounds to zero reads "0.0", not "-0.0".
std::string AxisLabelText(double value);

/// Where an axis with labels every step counts its labels from: zero, or a hair above it (far
/// below what one decimal shows) for a step such as 0.1 that binary numbers hold only roughly.
/// Labels are added up step by step, and without the lift the sum that should be zero can land
/// just below it.
double AxisTickAnchor(double step);

/// Values of the labels of an axis from min to max with labels every step, counted from
/// anchor the way the chart adds them up (at most 1000 labels).
std::vector<double> AxisLabelValues(double min, double max, double step, double anchor);

/// Room one chart needs left of its plot.
struct PlotLeftNeed {
    int LeftMarginPercent = 4; ///< the chart's left margin, percent of the chart width
    int LabelWidth = 0;        ///< widest vertical label, pixels
};

/// Left and right edge of the plot, pixels from the chart's left edge.
struct PlotEdges {
    int Left = 0;
    int Right = 0;
};

/// One plot edge pair for stacked charts chartWidth wide that share one time axis, so that a
/// sample lies at the same x in every chart. Left: the largest need of the charts, each its
/// percent margin plus its widest label plus labelGap (the percent margin is the least margin
/// of every chart). Right: the 2 % right margin, or more when rightOverhang (half the last time
/// label) needs it. The plot keeps at least one pixel of width.
PlotEdges CommonPlotEdges(int chartWidth, const std::vector<PlotLeftNeed> &charts, int labelGap,
                          int rightOverhang);

/// Vertical place of a chart in the chart area.
struct ChartSlot {
    int Top = 0;
    int Height = 0;
};

/// Place of the chart at position p (1..k) when k (1..5) charts share an area areaHeight
/// high: each is areaHeight div k high, position p < k starts at areaHeight - p * height and
/// position k at 0.
ChartSlot StackedChartSlot(int p, int k, int areaHeight);

/// Size of an image fitted onto a page with its proportions kept, drawn from the page's
/// top-left corner.
struct PageFit {
    int Width = 0;
    int Height = 0;
};

/// Fits an image of imageWidth x imageHeight onto a page of pageWidth x pageHeight: full page
/// height when that is narrow enough, else full page width (products divided with rounding).
PageFit FitToPage(int imageWidth, int imageHeight, int pageWidth, int pageHeight);
