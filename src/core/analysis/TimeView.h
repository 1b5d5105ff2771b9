#pragma once
// One time view for every chart of the program: the visible sample range (zoom and pan), the
// cursors A and B, the hovered sample, and the texts that read them out.

#include "ChartScaling.h"
#include "TraceRecord.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

/// Fewest samples a zoom may leave visible.
inline constexpr int MinVisibleSamples = 5;

/// The shared view state. First..Last is the visible sample range (inclusive, 0..99).
struct TimeView {
    int First = 0;              ///< first visible sample
    int Last = SampleCount - 1; ///< last visible sample
    std::optional<int> A;       ///< cursor A, sample index 0..99
    std::optional<int> B;       ///< cursor B, sample index 0..99
    std::optional<int> Hover;   ///< sample under the mouse

    bool operator==(const TimeView &) const = default;
    /// True when all samples are visible.
    bool ShowsAll() const { return First == 0 && Last == SampleCount - 1; }
};

/// Trigger sample t = 100 - Header[0] when it lies in 0..99, else none.
std::optional<int> TriggerSample(const TTraceRecord &record);

/// Sample 0..99 nearest to pixel x on a plot whose visible range first..last runs from
/// plotLeft (sample first) to plotRight (sample last); x beyond the plot clamps to its ends.
int NearestSample(double x, double plotLeft, double plotRight, int first, int last);

/// Pixel x of sample k on such a plot (k may lie outside first..last).
double SampleX(double k, double plotLeft, double plotRight, int first, int last);

/// The view zoomed around sample centre (it keeps its place on the screen as far as the ends
/// allow): steps > 0 zooms in, steps < 0 out, each step by a factor 1.25. At least
/// MinVisibleSamples stay visible; the range never leaves 0..99. Cursors are kept.
TimeView ZoomAround(const TimeView &view, double centre, int steps);

/// The view moved by samples (positive: later samples come into view), kept inside 0..99.
TimeView Pan(const TimeView &view, int samples);

/// All 100 samples visible again; cursors and hover are kept.
TimeView ShowAll(const TimeView &view);

/// Cursor moved by delta samples and clamped to 0..99; an unset cursor is placed at the first
/// visible sample.
std::optional<int> MoveCursor(const std::optional<int> &cursor, int delta, const TimeView &view);

/// Vertical range of a chart over the visible points first..last only: the same rule as over
/// the whole trace (10 % beyond max and min, or the automatic range of a flat line).
AxisRange VisibleVerticalRange(const ChartFill &fill, int first, int last);

/// The vertical range of a chart over first..last that takes in the reference's points as well
/// (the same rule as VisibleVerticalRange over both).
AxisRange VisibleVerticalRange(const ChartFill &fill, const ChartFill &reference, int first,
                               int last);

/// "T-2", "T+0", "T+5": sample k relative to trigger sample t.
std::string RelativeSampleText(int k, int t);

/// One chart as the readout needs it: its title and its value at each sample.
struct ReadoutChart {
    std::string Title;
    const ChartFill *Fill = nullptr; ///< values of the chart, engineering units
    /// The reference's values partnered with each sample (not finite: no partner), or none.
    const ChartFill *Reference = nullptr;
};

/// The graph window's readout. With a cursor set: "A <k> (T<r>)  B <k> (T<r>)  Δ <n>" and one
/// line per chart "<title>: A <v>  B <v>  Δ <v>", '-' for what is not set; with both set, then
/// "A..B <n> samples" and per chart "<title>: min <v>  max <v>  mean <v>  rms <v>" over A..B
/// inclusive (non-finite values left out). With no cursor and
/// a hovered sample: "<k> (T<r>)" and "<title>: <v>". A chart with a reference adds
/// " (ref <v>)" after each of its values at a sample. Otherwise empty. Values are written with
/// two decimals and the given decimal separator, as in the data table. t is the trigger
/// sample used for r (100 - Header[0], also when outside 0..99).
std::string CursorReadoutText(const TimeView &view, int t, const std::vector<ReadoutChart> &charts,
                              std::string_view separator);

/// The bit graph's readout of flag word word (0..3): "A 0x001A  B 0x003A" and a second line
/// naming the bits that differ between A and B, in the language given (japanese or English).
/// Empty when neither cursor is set.
std::string BitReadoutText(const TimeView &view, const TTraceRecord &record, int word,
                           bool japanese);
