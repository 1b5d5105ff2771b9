#pragma once
// The trace history as rows (what one kept trace says about its trip) and the likeness of two
// traces: the same first fault, then how close their twelve channels run around the trigger.

#include "TraceRecord.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

/// The twelve channels of a trace in engineering units, sample-major, with its trigger sample.
struct TraceShape {
    int Trigger = 0; ///< 100 - Header[0]; may lie outside the record
    std::array<float, SampleCount * ChannelCount> Values{};
};

/// The shape of a trace: every value in engineering units.
TraceShape ShapeOfTrace(const TraceUnits &trace);

/// What a trace is compared by: its first fault (word and bit, -1 without a fault) and shape.
struct LikenessKey {
    int FirstFaultWord = -1;
    int FirstFaultBit = -1;
    TraceShape Shape;
};

/// How far other runs from current, 0 for the same waveforms: the root mean square over the
/// twelve channels and the samples both traces hold once aligned by trigger, of the difference
/// of each pair of finite values divided by the current channel's range (largest - smallest
/// value; a flat channel by its magnitude, or 1 when it is all 0). Infinity where no pair is
/// left.
double WaveformDistance(const TraceShape &current, const TraceShape &other);

/// One trace of the history ranked against the current trace.
struct RankedTrace {
    std::size_t Index = 0;       ///< position in the list that was ranked
    bool SameFirstFault = false; ///< same word and bit, or neither has a fault
    double Distance = 0;         ///< WaveformDistance from the current trace
};

/// Every entry of others, the same first fault before any other, then nearest first (ties in
/// list order).
std::vector<RankedTrace> RankByLikeness(const LikenessKey &current,
                                        const std::vector<LikenessKey> &others);

/// What the history lists for one trace file.
struct HistorySummary {
    std::string TripTime;     ///< SETNVOP clock: "2024/03/05 14:07"
    std::int32_t DriveTypeE = 0;
    int FirstFaultWord = -1;  ///< flag word 0 or 1 of the first fault; -1 without one
    int FirstFaultBit = -1;   ///< 0..15; -1 without a fault
    std::string LikelyCause;  ///< the likely cause's id, as diagnose gives it
    float PeakCurrent = 0;    ///< largest |I| of the phase currents, in %
};

/// The summary of a trace.
HistorySummary SummarizeTrace(const TraceUnits &trace);

/// One row of the history.
struct HistoryRow {
    std::string File; ///< absolute path
    HistorySummary Summary;
    std::string Note;
    double Distance = -1; ///< from the current trace once ranked; negative before
};

/// Columns of the history, in the order the window shows them.
enum class HistoryColumn { Trip, Drive, FirstFault, LikelyCause, Peak, File, Note, Distance };
inline constexpr int HistoryColumnCount = 8;

/// Column title in Japanese or English: "Trip date and time", ..., "Distance".
std::string HistoryColumnTitle(HistoryColumn column, bool japanese);
/// A row's text in a column, as the window shows it; the first fault's meaning in the language.
std::string HistoryCellText(const HistoryRow &row, HistoryColumn column, bool japanese);
/// Whether any of the row's column texts holds filter, letters compared without regard to case;
/// an empty filter matches every row.
bool HistoryRowMatches(const HistoryRow &row, std::string_view filter, bool japanese);
/// The rows ranked by likeness to the trace current (keys[i] belongs to rows[i]), nearest
/// first, each with its distance.
std::vector<HistoryRow> RankRowsByLikeness(const TraceUnits &current, std::vector<HistoryRow> rows,
                                           const std::vector<LikenessKey> &keys);
/// Orders rows newest trip first (then by file).
void SortNewestFirst(std::vector<HistoryRow> &rows);

/// "file,trip_time,drive_type,first_fault_word,first_fault_bit,first_fault,likely_cause,
/// peak_current,note", with "distance," in front when withDistance; no line end.
std::string HistoryCsvHeader(bool withDistance);
/// One CSV line of a row (English meaning), with its distance in front when withDistance; no
/// line end.
std::string HistoryCsvLine(const HistoryRow &row, bool withDistance);
