#include "Likeness.h"

#include "Diagnosis.h"
#include "FlagEvents.h"
#include "TriggerStamp.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace {

// Channel ranges of the current trace: the unit each channel's differences are measured in.
std::array<double, ChannelCount> ChannelUnits(const TraceShape &shape) {
    std::array<double, ChannelCount> units{};
    for (int c = 0; c < ChannelCount; ++c) {
        double lo = std::numeric_limits<double>::infinity();
        double hi = -lo;
        for (int i = 0; i < SampleCount; ++i) {
            const double v = shape.Values[static_cast<std::size_t>(i * ChannelCount + c)];
            if (!std::isfinite(v))
                continue;
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
        double unit = hi - lo;
        // A flat channel (a frequency held steady) still tells traces apart by its level.
        if (!(unit > 0) || !std::isfinite(unit))
            unit = std::isfinite(hi) ? std::max(std::fabs(hi), std::fabs(lo)) : 0;
        units[static_cast<std::size_t>(c)] = unit > 0 && std::isfinite(unit) ? unit : 1.0;
    }
    return units;
}

double Distance(const TraceShape &current, const std::array<double, ChannelCount> &units,
                const TraceShape &other) {
    // By trigger: current sample k meets other sample k + shift, as the reference is aligned.
    const long long shift = static_cast<long long>(other.Trigger) - current.Trigger;
    const long long first = std::max(0LL, -shift);
    const long long last = std::min<long long>(SampleCount, SampleCount - shift);
    double sum = 0;
    long long pairs = 0;
    for (long long k = first; k < last; ++k) {
        const float *a = &current.Values[static_cast<std::size_t>(k * ChannelCount)];
        const float *b = &other.Values[static_cast<std::size_t>((k + shift) * ChannelCount)];
        for (int c = 0; c < ChannelCount; ++c) {
            const double d = (static_cast<double>(a[c]) - b[c]) / units[static_cast<std::size_t>(c)];
            if (!std::isfinite(d))
                continue;
            sum += d * d;
            ++pairs;
        }
    }
    if (pairs == 0)
        return std::numeric_limits<double>::infinity();
    return std::sqrt(sum / static_cast<double>(pairs));
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char &ch : lower)
        if (ch >= 'A' && ch <= 'Z')
            ch = static_cast<char>(ch - 'A' + 'a');
    return lower;
}

std::string Fixed(double value, int decimals) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                      std::chars_format::fixed, decimals);
    return std::string(buffer, result.ptr);
}

void AppendCsvField(std::string &line, const std::string &field) {
    if (field.find_first_of(",\"\r\n") == std::string::npos) {
        line += field;
        return;
    }
    line += '"';
    for (const char ch : field) {
        if (ch == '"')
            line += '"';
        line += ch;
    }
    line += '"';
}

std::string FirstFaultMeaning(const HistorySummary &s, bool japanese) {
    if (s.FirstFaultWord < 0)
        return {};
    return FlagBitMeaning(s.FirstFaultWord, s.FirstFaultBit, japanese, s.DriveTypeE);
}

} // namespace

TraceShape ShapeOfTrace(const TraceUnits &trace) {
    TraceShape shape;
    shape.Trigger = static_cast<int>(
        std::clamp<long long>(100LL - trace.Record.Header[0], -1000000, 1000000));
    for (int i = 0; i < SampleCount; ++i)
        for (int c = 0; c < ChannelCount; ++c)
            shape.Values[static_cast<std::size_t>(i * ChannelCount + c)] =
                NormalizedValue(trace, i, c);
    return shape;
}

double WaveformDistance(const TraceShape &current, const TraceShape &other) {
    return Distance(current, ChannelUnits(current), other);
}

std::vector<RankedTrace> RankByLikeness(const LikenessKey &current,
                                        const std::vector<LikenessKey> &others) {
    const std::array<double, ChannelCount> units = ChannelUnits(current.Shape);
    std::vector<RankedTrace> ranked(others.size());
    for (std::size_t i = 0; i < others.size(); ++i) {
        const LikenessKey &other = others[i];
        ranked[i].Index = i;
        ranked[i].SameFirstFault = other.FirstFaultWord == current.FirstFaultWord &&
                                   other.FirstFaultBit == current.FirstFaultBit;
        ranked[i].Distance = Distance(current.Shape, units, other.Shape);
    }
    std::stable_sort(ranked.begin(), ranked.end(), [](const RankedTrace &a, const RankedTrace &b) {
        if (a.SameFirstFault != b.SameFirstFault)
            return a.SameFirstFault;
        return a.Distance < b.Distance;
    });
    return ranked;
}

HistorySummary SummarizeTrace(const TraceUnits &trace) {
    HistorySummary s;
    const TriggerStamp stamp = FormatTriggerStamp(trace.Record.Header, StampClock::Setnvop);
    s.TripTime = stamp.Date + ' ' + stamp.Time;
    s.DriveTypeE = trace.DriveTypeE == 1 ? 1 : 0;
    const std::vector<FlagEvent> events = FlagEvents(trace.Record, false, trace.DriveTypeE);
    if (const auto first = FirstFault(events)) {
        s.FirstFaultWord = events[*first].Word;
        s.FirstFaultBit = events[*first].Bit;
    }
    s.LikelyCause = std::string(LikelyCauseId(trace, events));
    float peak = 0;
    for (const float v : DerivedSeries(trace, DerivedChannel::CurrentVector))
        if (std::isfinite(v))
            peak = std::max(peak, std::fabs(v));
    s.PeakCurrent = peak;
    return s;
}

std::string HistoryColumnTitle(HistoryColumn column, bool japanese) {
    static const char *const Titles[HistoryColumnCount][2] = {
        {"Trip date and time", "トリップ日時"},
        {"Drive", "ドライブ"},
        {"First fault", "最初の故障"},
        {"Likely cause", "推定原因"},
        {"Peak |I| (%)", "ピーク|I| (%)"},
        {"File", "ファイル"},
        {"Note", "メモ"},
        {"Distance", "距離"},
    };
    return Titles[static_cast<int>(column)][japanese ? 1 : 0];
}

std::string HistoryCellText(const HistoryRow &row, HistoryColumn column, bool japanese) {
    const HistorySummary &s = row.Summary;
    switch (column) {
    case HistoryColumn::Trip:
        return s.TripTime;
    case HistoryColumn::Drive:
        return s.DriveTypeE == 1 ? "E" : (japanese ? "標準" : "standard");
    case HistoryColumn::FirstFault: {
        if (s.FirstFaultWord < 0)
            return {};
        const std::string meaning = FirstFaultMeaning(s, japanese);
        const std::string bit =
            std::to_string(s.FirstFaultWord + 1) + "." + std::to_string(s.FirstFaultBit);
        return meaning.empty() ? bit : meaning;
    }
    case HistoryColumn::LikelyCause:
        return s.LikelyCause;
    case HistoryColumn::Peak:
        return std::isfinite(s.PeakCurrent) ? Fixed(s.PeakCurrent, 1) : std::string();
    case HistoryColumn::File:
        return row.File;
    case HistoryColumn::Note:
        return row.Note;
    case HistoryColumn::Distance:
        return row.Distance < 0 ? std::string() : Fixed(row.Distance, 3);
    }
    return {};
}

bool HistoryRowMatches(const HistoryRow &row, std::string_view filter, bool japanese) {
    if (filter.empty())
        return true;
    const std::string wanted = Lower(filter);
    for (int c = 0; c < HistoryColumnCount; ++c)
        if (Lower(HistoryCellText(row, static_cast<HistoryColumn>(c), japanese)).find(wanted) !=
            std::string::npos)
            return true;
    return false;
}

void SortNewestFirst(std::vector<HistoryRow> &rows) {
    // "2024/03/05 14:07" sorts as text in time order; unreadable stamps ("0000/...") come last.
    std::stable_sort(rows.begin(), rows.end(), [](const HistoryRow &a, const HistoryRow &b) {
        if (a.Summary.TripTime != b.Summary.TripTime)
            return a.Summary.TripTime > b.Summary.TripTime;
        return a.File < b.File;
    });
}

std::string HistoryCsvHeader(bool withDistance) {
    return std::string(withDistance ? "distance," : "") +
           "file,trip_time,drive_type,first_fault_word,first_fault_bit,first_fault,likely_cause,"
           "peak_current,note";
}

std::string HistoryCsvLine(const HistoryRow &row, bool withDistance) {
    const HistorySummary &s = row.Summary;
    std::string line;
    if (withDistance)
        line += (std::isfinite(row.Distance) ? Fixed(row.Distance, 4) : std::string("inf")) + ',';
    AppendCsvField(line, row.File);
    line += ',' + s.TripTime + ',' + (s.DriveTypeE == 1 ? "E" : "standard") + ',';
    if (s.FirstFaultWord >= 0) {
        line += std::to_string(s.FirstFaultWord) + ',' + std::to_string(s.FirstFaultBit) + ',';
        AppendCsvField(line, FirstFaultMeaning(s, false));
    } else {
        line += ",,";
    }
    line += ',';
    AppendCsvField(line, s.LikelyCause);
    line += ',' + (std::isfinite(s.PeakCurrent) ? Fixed(s.PeakCurrent, 2) : std::string()) + ',';
    AppendCsvField(line, row.Note);
    return line;
}

std::vector<HistoryRow> RankRowsByLikeness(const TraceUnits &current, std::vector<HistoryRow> rows,
                                           const std::vector<LikenessKey> &keys) {
    const HistorySummary summary = SummarizeTrace(current);
    LikenessKey key;
    key.FirstFaultWord = summary.FirstFaultWord;
    key.FirstFaultBit = summary.FirstFaultBit;
    key.Shape = ShapeOfTrace(current);
    std::vector<HistoryRow> ranked;
    ranked.reserve(rows.size());
    for (const RankedTrace &r : RankByLikeness(key, keys)) {
        ranked.push_back(std::move(rows[r.Index]));
        ranked.back().Distance = r.Distance;
    }
    return ranked;
}
