#include "ReferenceTrace.h"

#include "Diagnosis.h"

#include <cmath>
#include <limits>

int ReferenceSampleFor(int k, const TraceUnits &current, const TraceUnits &reference,
                       Alignment alignment) {
    if (k < 0 || k >= SampleCount)
        return -1;
    long long partner = k;
    if (alignment == Alignment::Trigger) {
        // Header values are 32-bit; the shift is taken in 64 bits so any pair stays in range.
        const long long tCur = 100LL - current.Record.Header[0];
        const long long tRef = 100LL - reference.Record.Header[0];
        partner = k - tCur + tRef;
    }
    if (partner < 0 || partner >= SampleCount)
        return -1;
    return static_cast<int>(partner);
}

ChartFill ReferenceChartFill(const TraceUnits &current, const TraceUnits &reference, int ch,
                             Alignment alignment, const ChartNaming &naming) {
    ChartFill fill;
    fill.Y.fill(std::numeric_limits<float>::quiet_NaN());
    if (ch < 1 || ch > ChannelCount)
        return fill;
    fill.Title = ChartTitle(ch, naming, current.DriveTypeE);
    const bool ownName = naming.OwnName[static_cast<std::size_t>(ch)];
    for (int k = 0; k < SampleCount; ++k) {
        const int n = ReferenceSampleFor(k, current, reference, alignment);
        if (n < 0)
            continue; // no partner: stays undefined and out of the range
        fill.Y[static_cast<std::size_t>(k)] = ChartPointValue(reference, n, ch, ownName);
    }
    FitChartRange(fill);
    return fill;
}

ChartFill ReferenceDerivedChartFill(const TraceUnits &current, const TraceUnits &reference,
                                    DerivedChannel channel, Alignment alignment, bool japanese) {
    ChartFill fill;
    fill.Title = DerivedChannelName(channel, japanese);
    fill.Y.fill(std::numeric_limits<float>::quiet_NaN());
    const std::array<float, SampleCount> values = DerivedSeries(reference, channel);
    for (int k = 0; k < SampleCount; ++k) {
        const int n = ReferenceSampleFor(k, current, reference, alignment);
        if (n >= 0)
            fill.Y[static_cast<std::size_t>(k)] = values[static_cast<std::size_t>(n)];
    }
    FitChartRange(fill);
    return fill;
}
