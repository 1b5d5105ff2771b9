#include "TimeView.h"

#include "Diagnosis.h"
#include "NumberFormat.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace {

constexpr double ZoomStepFactor = 1.25;

TimeView WithRange(TimeView view, int first, int last) {
    const int span = std::clamp(last - first, MinVisibleSamples - 1, SampleCount - 1);
    first = std::clamp(first, 0, SampleCount - 1 - span);
    view.First = first;
    view.Last = first + span;
    return view;
}

std::string SampleText(const std::optional<int> &k, int t) {
    if (!k)
        return "-";
    return std::to_string(*k) + " (" + RelativeSampleText(*k, t) + ")";
}

std::string ValueText(const ChartFill &fill, const std::optional<int> &k, std::string_view sep) {
    if (!k || *k < 0 || *k >= SampleCount || !std::isfinite(fill.Y[*k]))
        return "-";
    return FormatFixed(fill.Y[*k], 2, sep);
}

// " (ref <v>)" for a chart with a reference, nothing for one without.
std::string RefText(const ReadoutChart &chart, const std::optional<int> &k, std::string_view sep) {
    if (!chart.Reference)
        return {};
    return " (ref " + ValueText(*chart.Reference, k, sep) + ")";
}

// The statistics lines over A..B inclusive: "A..B <n> samples", then per chart
// "<title>: min <v>  max <v>  mean <v>  rms <v>" ("-" for a chart without a finite value there).
std::string RangeText(int a, int b, const std::vector<ReadoutChart> &charts, std::string_view sep) {
    const int first = std::max(std::min(a, b), 0);
    const int last = std::min(std::max(a, b), SampleCount - 1);
    std::string text = "\nA..B " + std::to_string(std::max(last - first + 1, 0)) + " samples";
    for (const ReadoutChart &chart : charts) {
        if (!chart.Fill)
            continue;
        const RangeStatistics s = CursorRangeStatistics(chart.Fill->Y, a, b);
        auto v = [&](double x) { return s.Finite > 0 ? FormatFixed(x, 2, sep) : std::string("-"); };
        text += "\n" + chart.Title + ": min " + v(s.Min) + "  max " + v(s.Max) + "  mean " +
                v(s.Mean) + "  rms " + v(s.Rms);
    }
    return text;
}

} // namespace

std::optional<int> TriggerSample(const TTraceRecord &record) {
    const long long t = 100LL - record.Header[0];
    if (t < 0 || t > SampleCount - 1)
        return std::nullopt;
    return static_cast<int>(t);
}

int NearestSample(double x, double plotLeft, double plotRight, int first, int last) {
    if (last <= first || plotRight <= plotLeft || !std::isfinite(x))
        return std::clamp(first, 0, SampleCount - 1);
    const double k = first + (x - plotLeft) * (last - first) / (plotRight - plotLeft);
    return std::clamp(static_cast<int>(std::lround(std::clamp(k, double(first), double(last)))), 0,
                      SampleCount - 1);
}

double SampleX(double k, double plotLeft, double plotRight, int first, int last) {
    if (last <= first)
        return plotLeft;
    return plotLeft + (k - first) * (plotRight - plotLeft) / (last - first);
}

TimeView ZoomAround(const TimeView &view, double centre, int steps) {
    const double span = view.Last - view.First;
    const double newSpan = std::clamp(std::round(span * std::pow(ZoomStepFactor, -steps)),
                                      double(MinVisibleSamples - 1), double(SampleCount - 1));
    if (newSpan == span)
        return view;
    centre = std::clamp(centre, double(view.First), double(view.Last));
    // The sample under the mouse keeps its share of the width on either side.
    const double share = span > 0 ? (centre - view.First) / span : 0.5;
    const int first = static_cast<int>(std::lround(centre - share * newSpan));
    return WithRange(view, first, first + static_cast<int>(newSpan));
}

TimeView Pan(const TimeView &view, int samples) {
    return WithRange(view, view.First + samples, view.Last + samples);
}

TimeView ShowAll(const TimeView &view) {
    return WithRange(view, 0, SampleCount - 1);
}

std::optional<int> MoveCursor(const std::optional<int> &cursor, int delta, const TimeView &view) {
    if (!cursor)
        return view.First;
    return std::clamp(*cursor + delta, 0, SampleCount - 1);
}

namespace {

AxisRange RangeOver(std::initializer_list<const ChartFill *> fills, int first, int last) {
    first = std::clamp(first, 0, SampleCount - 1);
    last = std::clamp(last, first, SampleCount - 1);
    FiniteExtremes extremes;
    for (const ChartFill *fill : fills)
        for (int n = first; n <= last; ++n)
            extremes.Add(fill->Y[static_cast<std::size_t>(n)]);
    return VerticalRange(extremes.Max, extremes.Min);
}

} // namespace

AxisRange VisibleVerticalRange(const ChartFill &fill, int first, int last) {
    return RangeOver({&fill}, first, last);
}

AxisRange VisibleVerticalRange(const ChartFill &fill, const ChartFill &reference, int first,
                               int last) {
    return RangeOver({&fill, &reference}, first, last);
}

std::string RelativeSampleText(int k, int t) {
    const int r = k - t;
    return (r < 0 ? "T-" : "T+") + std::to_string(r < 0 ? -r : r);
}

std::string CursorReadoutText(const TimeView &view, int t, const std::vector<ReadoutChart> &charts,
                              std::string_view separator) {
    std::string text;
    if (view.A || view.B) {
        text = "A " + SampleText(view.A, t) + "  B " + SampleText(view.B, t) + "  Δ " +
               (view.A && view.B ? std::to_string(*view.B - *view.A) : std::string("-"));
        for (const ReadoutChart &chart : charts) {
            if (!chart.Fill)
                continue;
            const std::string a = ValueText(*chart.Fill, view.A, separator);
            const std::string b = ValueText(*chart.Fill, view.B, separator);
            std::string delta = "-";
            if (a != "-" && b != "-")
                delta = FormatFixed(double(chart.Fill->Y[*view.B]) - double(chart.Fill->Y[*view.A]),
                                    2, separator);
            text += "\n" + chart.Title + ": A " + a + RefText(chart, view.A, separator) + "  B " +
                    b + RefText(chart, view.B, separator) + "  Δ " + delta;
        }
        if (view.A && view.B)
            text += RangeText(*view.A, *view.B, charts, separator);
    } else if (view.Hover) {
        text = SampleText(view.Hover, t);
        for (const ReadoutChart &chart : charts)
            if (chart.Fill)
                text += "\n" + chart.Title + ": " + ValueText(*chart.Fill, view.Hover, separator) +
                        RefText(chart, view.Hover, separator);
    }
    return text;
}

std::string BitReadoutText(const TimeView &view, const TTraceRecord &record, int word,
                           bool japanese) {
    if ((!view.A && !view.B) || word < 0 || word >= FlagWordCount)
        return {};
    auto wordText = [&](const std::optional<int> &k) -> std::string {
        if (!k || *k < 0 || *k >= SampleCount)
            return "-";
        return "0x" + FlagWordText(record.Flag[*k][word] & 0xFFFF);
    };
    std::string text = "A " + wordText(view.A) + "  B " + wordText(view.B);
    text += japanese ? "\n変化したビット: " : "\nBits that differ: ";
    if (!view.A || !view.B)
        return text + "-";
    const int differ = (record.Flag[*view.A][word] ^ record.Flag[*view.B][word]) & 0xFFFF;
    if (differ == 0)
        return text + (japanese ? "なし" : "none");
    std::string bits;
    for (int bit = 0; bit < 16; ++bit)
        if (differ & (1 << bit))
            bits += (bits.empty() ? "bit" : " bit") + std::to_string(bit);
    return text + bits;
}
