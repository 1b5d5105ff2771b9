#include "ChartScaling.h"

#include "ChannelNames.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

std::string ChartTitle(int ch, const ChartNaming &naming, std::int32_t driveTypeE) {
    if (naming.OwnName.at(static_cast<std::size_t>(ch)))
        return std::string(UserChannelTitles.at(static_cast<std::size_t>(ch - 1)));
    return DefaultChannelName(ch, naming.Language, driveTypeE);
}

float ChartPointValue(const TraceUnits &trace, int n, int ch, bool ownName) {
    if (trace.Normalized || !ownName)
        return NormalizedValue(trace, n, ch - 1);
    // 0.005 is no float: the product is formed in double and rounded once to single precision.
    const float stored = trace.Record.Value[n][ch - 1];
    return static_cast<float>(static_cast<double>(stored) * UserNameFactor);
}

AxisRange VerticalRange(float max, float min) {
    const double d = static_cast<double>(max) - static_cast<double>(min);
    if (d != 0)
        return {static_cast<double>(min) - 0.1 * d, static_cast<double>(max) + 0.1 * d, false};
    // A flat line: centre it, with a span that still shows a change of one unit or 10 %.
    const double v = max;
    const double half = std::max(1.0, std::fabs(v) * 0.1);
    return {v - half, v + half, true};
}

int LeftMarginPercent(float max, float min) {
    if (max >= 1000 || min <= -100)
        return 1;
    if (max >= 100 || min <= -10)
        return 2;
    if (max >= 10 || min <= -1)
        return 3;
    return 4;
}

void FiniteExtremes::Add(float value) {
    // Infinite or undefined values (possible only from a hand-edited file) cannot be plotted;
    // they are left out of the range so the other points stay readable.
    if (!std::isfinite(value))
        return;
    if (!Any || value > Max)
        Max = value;
    if (!Any || value < Min)
        Min = value;
    Any = true;
}

void FitChartRange(ChartFill &fill) {
    FiniteExtremes extremes;
    for (const float v : fill.Y)
        extremes.Add(v);
    fill.Max = extremes.Max;
    fill.Min = extremes.Min;
    fill.Range = VerticalRange(fill.Max, fill.Min);
}

ChartFill FillChartData(const TraceUnits &trace, int ch, const ChartNaming &naming) {
    ChartFill fill;
    fill.Title = ChartTitle(ch, naming, trace.DriveTypeE);
    const bool ownName = naming.OwnName.at(static_cast<std::size_t>(ch));
    for (int n = 0; n < SampleCount; ++n)
        fill.Y[static_cast<std::size_t>(n)] = ChartPointValue(trace, n, ch, ownName);
    FitChartRange(fill);
    fill.LeftMarginPercent = LeftMarginPercent(fill.Max, fill.Min);
    return fill;
}

namespace {
int PercentOf(int length, int percent) {
    return static_cast<int>(std::lround(static_cast<double>(length) * percent / 100.0));
}
} // namespace

ChartMarginsPx ChartMargins(int width, int height, int leftPercent) {
    return {PercentOf(width, leftPercent), PercentOf(height, 1), PercentOf(width, 2),
            PercentOf(height, 1)};
}

double LabelStep(double span, int lengthPx, int minSpacingPx, double minStep) {
    if (!std::isfinite(span) || span <= 0)
        return minStep;
    // An axis with no room yet (a window not laid out, or squeezed to nothing) still gets a
    // step that leaves only a label or two: the chart makes one item per step.
    const double rough = span * std::max(1, minSpacingPx) / std::max(1, lengthPx);
    const double decade = std::pow(10.0, std::floor(std::log10(rough)));
    double step = 10 * decade;
    for (const double m : {1.0, 2.0, 5.0}) {
        // A little tolerance, so that 0.1 is not pushed to 0.2 by a rounding error.
        if (m * decade >= rough * (1 - 1e-9)) {
            step = m * decade;
            break;
        }
    }
    if (!std::isfinite(step))
        return minStep;
    return std::max(step, minStep);
}

std::string AxisLabelText(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.1f", value);
    std::string label(text);
    if (label == "-0.0")
        return "0.0";
    return label;
}

double AxisTickAnchor(double step) {
    // Multiples of a half add up exactly and need no lift, which would cost the label at a
    // range end that is a multiple of the step. Otherwise the lift lies far above the rounding
    // of a sum of a few dozen steps and far below the 0.05 that one decimal would show.
    if (std::fabs(step) >= 0.5 && std::fmod(step, 0.5) == 0)
        return 0;
    return std::min(std::fabs(step) * 1e-6, 1e-3);
}

std::vector<double> AxisLabelValues(double min, double max, double step, double anchor) {
    std::vector<double> values;
    if (!(step > 0) || !(max >= min) || !std::isfinite(min) || !std::isfinite(max))
        return values;
    constexpr std::size_t MaxLabels = 1000;
    const double first = anchor - std::floor((anchor - min) / step) * step;
    for (double v = first; v <= max && values.size() < MaxLabels; v += step)
        values.push_back(v);
    return values;
}

PlotEdges CommonPlotEdges(int chartWidth, const std::vector<PlotLeftNeed> &charts, int labelGap,
                          int rightOverhang) {
    PlotEdges edges;
    for (const PlotLeftNeed &chart : charts)
        edges.Left = std::max(edges.Left, PercentOf(chartWidth, chart.LeftMarginPercent) +
                                              chart.LabelWidth + labelGap);
    edges.Right = chartWidth - std::max(PercentOf(chartWidth, 2), rightOverhang);
    if (edges.Right <= edges.Left)
        edges.Right = edges.Left + 1;
    return edges;
}

ChartSlot StackedChartSlot(int p, int k, int areaHeight) {
    if (k < 1 || p < 1 || p > k)
        return {};
    const int h = areaHeight / k;
    return {p == k ? 0 : areaHeight - p * h, h};
}

namespace {
// a * b / c rounded to the nearest whole number, without overflow for pixel sizes.
int MulDivRound(int a, int b, int c) {
    const std::int64_t num = static_cast<std::int64_t>(a) * b;
    return static_cast<int>((num + c / 2) / c);
}
} // namespace

PageFit FitToPage(int imageWidth, int imageHeight, int pageWidth, int pageHeight) {
    if (imageWidth <= 0 || imageHeight <= 0 || pageWidth <= 0 || pageHeight <= 0)
        return {};
    const int width = MulDivRound(imageWidth, pageHeight, imageHeight);
    if (width < pageWidth)
        return {width, pageHeight};
    return {pageWidth, MulDivRound(imageHeight, pageWidth, imageWidth)};
}
