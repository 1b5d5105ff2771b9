#pragma once
// Plausibility checks of a trace: signs that a channel or the measurement itself is wrong.

#include "TraceRecord.h"

#include <string>
#include <vector>

/// One finding, with the samples it concerns.
struct PlausibilityHint {
    std::string Id;           ///< short stable name ("phase-sum", "stuck", "clipped", "dc-rise")
    std::string Text;         ///< one line, in the language asked for (UTF-8)
    std::vector<int> Samples; ///< samples concerned, ascending; empty when it is the whole trace
};

/// The checks that hold for a trace, in a fixed order: phase sum, stuck channels, clipped
/// channels, DC rise; "stuck" and "clipped" once per channel concerned, in channel order.
/// The raw-value check does not apply to a trace in engineering units already (a .vnb file).
/// No hint is given where its inputs are missing or meaningless.
std::vector<PlausibilityHint> PlausibilityHints(const TraceUnits &trace, bool japanese);
