#include "TableText.h"

#include "NumberFormat.h"

std::string TableHeaderText(int col) {
    if (col < 1 || col >= TableColumnCount)
        return {};
    return "ch" + std::to_string(col);
}

std::string SampleNoText(const TTraceRecord &record, int n) {
    return std::to_string(record.SampleNo[n]);
}

std::string NormalizedText(const TraceUnits &trace, int n, int c, std::string_view separator) {
    // The factor applies to every channel alike here, own names or not.
    const float value = NormalizedValue(trace, n, c);
    return FormatFixed(value, 2, separator);
}

std::string RawText(const TTraceRecord &record, int n, int c, std::string_view separator) {
    return FormatFixed(record.Value[n][c], 0, separator);
}

std::string FlagText(const TTraceRecord &record, int n, int w) {
    return FlagWordText(record.Flag[n][w]);
}
