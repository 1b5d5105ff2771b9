#include "TraceCsv.h"

#include "ChannelNames.h"
#include "NumberFormat.h"

#include <charconv>
#include <cstdio>

namespace {

// Shortest text that reads back as the same float; to_chars ignores the locale.
std::string ShortestText(float value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

// Appends one field after a separator.
void Field(std::string &out, const std::string &text) {
    out += ',';
    out += text;
}

std::string Header(const TraceUnits &trace, CsvView view) {
    std::string out = "sample";
    if (view == CsvView::Exported) {
        for (int ch = 1; ch <= ChannelCount; ++ch)
            Field(out, EnglishChannelName(ch, trace.DriveTypeE));
        for (int w = 1; w <= FlagWordCount; ++w)
            Field(out, "flag" + std::to_string(w));
    } else {
        for (int col = 1; col <= ChannelCount + FlagWordCount; ++col)
            Field(out, "ch" + std::to_string(col));
    }
    return out + '\n';
}

std::string ValueText(const TraceUnits &trace, CsvView view, int i, int c,
                      const TraceUnits *reference, Alignment alignment) {
    switch (view) {
    case CsvView::Exported:
        return ShortestText(NormalizedValue(trace, i, c));
    case CsvView::Normalized:
        return FormatFixed(NormalizedValue(trace, i, c), 2, ".");
    case CsvView::Original:
        return FormatFixed(trace.Record.Value[i][c], 0, ".");
    case CsvView::Difference: {
        if (!reference)
            return {};
        const auto difference = DifferenceValue(trace, *reference, i, c, alignment);
        return difference ? FormatFixed(*difference, 2, ".") : std::string();
    }
    }
    return {};
}

} // namespace

std::optional<double> DifferenceValue(const TraceUnits &current, const TraceUnits &reference, int k,
                                      int c, Alignment alignment) {
    const int n = ReferenceSampleFor(k, current, reference, alignment);
    if (n < 0 || c < 0 || c >= ChannelCount)
        return std::nullopt;
    return double(NormalizedValue(current, k, c)) - double(NormalizedValue(reference, n, c));
}

std::string TraceCsv(const TraceUnits &trace, CsvView view, const TraceUnits *reference,
                     Alignment alignment) {
    std::string out = Header(trace, view);
    for (int i = 0; i < SampleCount; ++i) {
        out += std::to_string(trace.Record.SampleNo[i]);
        for (int c = 0; c < ChannelCount; ++c)
            Field(out, ValueText(trace, view, i, c, reference, alignment));
        for (int w = 0; w < FlagWordCount; ++w) {
            char word[16];
            std::snprintf(word, sizeof word, ",0x%04X",
                          static_cast<unsigned>(trace.Record.Flag[i][w]));
            out += word;
        }
        out += '\n';
    }
    return out;
}
