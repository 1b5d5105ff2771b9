#pragma once
// A trace as comma-separated text: the one writer behind the command line and the data window.

#include "ReferenceTrace.h"

#include <cstdint>
#include <optional>
#include <string>

/// Which columns and numbers a CSV carries.
enum class CsvView {
    /// "sample", the twelve English channel names for the drive type, "flag1".."flag4";
    /// values in engineering units, shortest exact text.
    Exported,
    /// As the data table shows it normalised: "sample,ch1,...,ch16", values times the
    /// record's own factors (as stored when Normalized) with 2 decimals.
    Normalized,
    /// As the data table shows it original: same header, values as stored, no decimals.
    Original,
    /// As the data table shows the difference: same header, current - reference in
    /// engineering units with 2 decimals, an empty field where a sample has no partner.
    Difference,
};

/// The whole trace as CSV: a header row, then one row per sample; fields separated by ',',
/// '.' as decimal point and flag words as 0xHHHH whatever the locale; every line ends in LF.
/// Difference takes the reference and its alignment; without a reference its fields are empty.
std::string TraceCsv(const TraceUnits &trace, CsvView view, const TraceUnits *reference = nullptr,
                     Alignment alignment = Alignment::Trigger);

/// Current - reference at current sample k, channel c (0-based), each in engineering units by
/// its own units; none without a partner.
std::optional<double> DifferenceValue(const TraceUnits &current, const TraceUnits &reference, int k,
                                      int c, Alignment alignment);
