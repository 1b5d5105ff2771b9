// Fuzz target for the trace file reader: any input is either rejected with a line inside the
// file or read into a record that writes and reads back unchanged, and that the diagnosis
// explains and ranks by likeness without tripping over NaN, infinities or extreme values.

#include "Diagnosis.h"
#include "FaultReport.h"
#include "Likeness.h"
#include "TraceFile.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace {

void Check(bool condition) {
    if (!condition)
        std::abort();
}

// The diagnosis keeps its promises whatever the values: a known id, 1-4 evidence lines, at most
// three remedies, onsets in order, and single lines.
void CheckDiagnosis(const TraceUnits &trace, bool japanese) {
    const Diagnosis d = Diagnose(trace, japanese);
    const auto &ids = CauseIds();
    Check(std::find(ids.begin(), ids.end(), d.CauseId) != ids.end());
    Check(!d.Evidence.empty() && d.Evidence.size() <= 4 && d.Remedies.size() <= 3);
    Check(d.CauseId == LikelyCauseId(trace, FlagEvents(trace.Record, false, trace.DriveTypeE)));
    for (std::size_t k = 0; k < d.Onsets.size(); ++k) {
        Check(d.Onsets[k].Sample >= 1 && d.Onsets[k].Sample < SampleCount);
        Check(k == 0 || d.Onsets[k - 1].Sample <= d.Onsets[k].Sample);
    }
    for (const std::string &line : DiagnosisFieldLines(d))
        Check(line.find('\n') == std::string::npos);
    for (const DerivedChannel channel : {DerivedChannel::CurrentVector, DerivedChannel::PhaseSum}) {
        const ChartFill fill = DerivedChartFill(trace, channel, japanese);
        const RangeStatistics s = CursorRangeStatistics(fill.Y, 99, 0);
        Check(s.Samples == SampleCount && s.Min <= s.Max);
    }
    // The report takes in the diagnosis and charts the computed channels.
    const FaultReportInput input{trace, japanese, {}, {CurrentVectorChoice, PhaseSumChoice}, {}};
    Check(BuildFaultReport(input).Charts.size() == 2);
}

// The history's view of the trace: a summary whose row prints as one CSV line, and a shape
// that is nearest to itself, ranked against a trace with no fault and flat values.
void CheckLikeness(const TraceUnits &trace) {
    const HistorySummary summary = SummarizeTrace(trace);
    Check(summary.PeakCurrent >= 0 || std::isnan(summary.PeakCurrent));
    HistoryRow row{"trip.vnx", summary, "", -1};
    for (int c = 0; c < HistoryColumnCount; ++c)
        HistoryCellText(row, static_cast<HistoryColumn>(c), c % 2 == 0);
    Check(HistoryCsvLine(row, true).find('\n') == std::string::npos);
    const LikenessKey self{summary.FirstFaultWord, summary.FirstFaultBit, ShapeOfTrace(trace)};
    const double distance = WaveformDistance(self.Shape, self.Shape);
    Check(distance == 0 || std::isinf(distance));
    LikenessKey other;
    other.Shape.Values.fill(1.0F);
    const std::vector<RankedTrace> ranked = RankByLikeness(self, {other, self});
    // The other trace comes first only when it is no farther than the trace from itself.
    Check(ranked.size() == 2 && ranked[0].SameFirstFault);
    Check(ranked[0].Index == 1 || ranked[0].Distance <= distance);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    TTraceRecord record;
    ResetRecord(record);
    const TTraceRecord before = record;
    std::int32_t driveType = 7;

    const TraceFileError error = ReadTraceFile(text, record, driveType);
    if (error) {
        // Rejected: nothing changed, and the message points into a plausible line.
        Check(record == before && driveType == 7);
        Check(error.Line >= 1 && error.Field >= 0 && error.Field < TraceFileFieldCount);
        Check(!TraceFileErrorText(error, LanguageJapanese).empty());
        Check(!TraceFileErrorText(error, LanguageEnglish).empty());
        return 0;
    }
    Check(driveType == 0 || driveType == 1);
    for (int j = 0; j < HeaderCount; ++j)
        Check(record.Header[j] <= 255);
    Check(std::memcmp(record.Scale, before.Scale, sizeof record.Scale) == 0);

    TraceUnits trace{record, driveType, false};
    CheckDiagnosis(trace, false);
    CheckLikeness(trace);
    trace.Normalized = true;
    CheckDiagnosis(trace, true);

    // Exact form: every field comes back bit for bit.
    TTraceRecord again;
    ResetRecord(again);
    std::int32_t againType = 7;
    Check(!ReadTraceFile(WriteTraceFile(record, driveType, true), again, againType));
    Check(again == record && againType == driveType);

    // Raw form: always readable, with the same number of lines.
    const std::string raw = WriteTraceFile(record, driveType, false);
    Check(!ReadTraceFile(raw, again, againType));
    Check(againType == driveType);
    std::size_t lines = 0;
    for (char ch : raw)
        lines += ch == '\n';
    Check(lines == TraceFileLineCount);
    return 0;
}
