#include "TraceUnits.h"

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

float EngineeringValue(const TraceUnits &trace, int i, int c) {
    const float stored = trace.Record.Value[i][c];
    return trace.Normalized ? stored : stored * ChannelFactor(c, trace.DriveTypeE);
}
