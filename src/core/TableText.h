#pragma once
// Cell texts of the data table.

#include "TraceRecord.h"

#include <string>
#include <string_view>

/// Columns and rows of the table, header row and column included.
inline constexpr int TableColumnCount = 1 + ChannelCount + FlagWordCount;
inline constexpr int TableRowCount = 1 + SampleCount;

/// Header of column col (1-16): "ch1" .. "ch16"; column 0 has none.
std::string TableHeaderText(int col);
/// Sample number of sample n, signed decimal.
std::string SampleNoText(const TTraceRecord &record, int n);
/// Channel c (0-11) of sample n in engineering units by the trace's units, 2 decimals.
std::string NormalizedText(const TraceUnits &trace, int n, int c, std::string_view separator);
/// Channel c (0-11) of sample n as stored, no decimals.
std::string RawText(const TTraceRecord &record, int n, int c, std::string_view separator);
/// Flag word w (0-3) of sample n in hexadecimal.
std::string FlagText(const TTraceRecord &record, int n, int w);
