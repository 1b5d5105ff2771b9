#pragma once
// A trace together with what its numbers mean, and how a second trace lines up with it.

#include "ChartScaling.h"
#include "TraceRecord.h"

#include <cstdint>

/// A trace together with what its numbers mean: the drive type that picks the factors of
/// channels 10-12 and whether the values are engineering units already.
struct TraceUnits {
    TTraceRecord Record;
    std::int32_t DriveTypeE = 0;
    bool Normalized = false; ///< values are engineering units already (a .vnb file)
};

/// How the samples of a reference trace are paired with those of the current trace.
enum class Alignment {
    Trigger, ///< the reference shifted so both trigger samples coincide
    Sample,  ///< sample k with sample k
};

/// The reference sample partnered with current sample k, or -1 when it lies outside 0..99.
/// By trigger the shift is t(reference) - t(current), t = 100 - Header[0], also when a
/// trigger lies outside the record.
int ReferenceSampleFor(int k, const TraceUnits &current, const TraceUnits &reference,
                       Alignment alignment);

/// Value of sample i, channel c (0-based) in engineering units by the trace's own units:
/// as stored when Normalized, else times the factor of its own drive type.
float EngineeringValue(const TraceUnits &trace, int i, int c);

/// Chart n of channel ch (1..12) of the reference, as the chart of the current trace plots it
/// (user-named channels by their own factor) but in the reference's own units: point k is the
/// reference's partner of current sample k, NaN where there is none. Max and Min are those of
/// the finite points.
ChartFill ReferenceChartFill(const TraceUnits &current, const TraceUnits &reference, int ch,
                             Alignment alignment);
