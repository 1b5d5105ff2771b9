#pragma once
// How a second trace (the reference) lines up with the current one, and its charts.

#include "ChartScaling.h"
#include "TraceRecord.h"

#include <cstdint>

enum class DerivedChannel;

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

/// Chart of channel ch (1..12) of the reference, as the chart of the current trace plots it
/// (its title, user-named channels by their own factor) but in the reference's own units:
/// point k is the reference's partner of current sample k, NaN where there is none. Max and
/// Min are those of the finite points.
ChartFill ReferenceChartFill(const TraceUnits &current, const TraceUnits &reference, int ch,
                             Alignment alignment, const ChartNaming &naming);

/// Chart of a channel computed from the reference's phase currents (Diagnosis.h), its points
/// paired with the current samples as ReferenceChartFill pairs them; NaN where there is none.
ChartFill ReferenceDerivedChartFill(const TraceUnits &current, const TraceUnits &reference,
                                    DerivedChannel channel, Alignment alignment, bool japanese);
