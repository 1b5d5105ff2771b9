#pragma once
// The one-page fault report as text and numbers: what tripped first, the likely cause and the
// signals that moved first, the events around the trigger, each channel's range, the hints and
// the charts to draw. Drawing it is left to the caller.

#include "ChannelChoice.h"
#include "ChartScaling.h"
#include "FlagEvents.h"
#include "TraceRecord.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

/// Most events the report lists; the rest are only counted.
inline constexpr std::size_t ReportEventLimit = 20;

/// Channels the report charts unless others are chosen (the graph window's), bottom one first:
/// the currents, the DC voltage and the speed.
inline const std::vector<int> DefaultReportChannels = {1, 2, 3, 4, 6};

/// What the report is made of.
struct FaultReportInput {
    TraceUnits Trace{};    ///< the trace and its units
    bool Japanese = false; ///< language of every text
    std::string Source;    ///< file name, or port and "New"/"Old"; "" when unknown
    /// Channels (1..12) to chart, and CurrentVectorChoice / PhaseSumChoice for the charts
    /// computed from the phase currents, as the graph window chooses them.
    std::vector<int> Channels = DefaultReportChannels;
    std::string Note; ///< the user's note on the trace in the history; "" when there is none
};

/// One channel's numbers, engineering units, two decimals ("-" where there is no value).
struct ReportChannelRow {
    std::string Name; ///< default channel name with its unit
    std::string Min;
    std::string Max;
    std::string AtTrigger;
};

/// One chart of the report.
struct ReportChart {
    std::string Title;
    std::array<float, SampleCount> Y{}; ///< engineering units
    AxisRange Range;
};

/// The report's contents, every text in the language asked for (UTF-8).
struct FaultReport {
    std::string Title;                  ///< "Fault Report" / "故障解析レポート"
    std::vector<std::string> InfoLines; ///< source, drive type, trigger point and stamps
    std::string NoteLine;               ///< "Note: " and the user's note; "" without one
    std::string FirstFaultLine;         ///< the first fault, or that there is none
    std::string DiagnosisHeading;
    std::vector<std::string> DiagnosisLines; ///< likely cause, evidence, remedies, state
    std::string OnsetsHeading;               ///< "Moved first:", or that no signal moved
    std::vector<std::string> OnsetLines;     ///< earliest first
    std::string EventsHeading;
    std::vector<std::string> EventLines;            ///< up to ReportEventLimit, in sample order
    std::optional<std::size_t> FirstFaultEventLine; ///< index in EventLines of the first fault
    std::string MoreEventsLine;                     ///< count of the events left out, "" when none
    std::string ChannelsHeading;
    std::array<std::string, 4> ChannelColumns; ///< name, min, max, at trigger
    std::vector<ReportChannelRow> ChannelRows; ///< channels 1..12
    std::string HintsHeading;
    std::vector<std::string> HintLines; ///< one per hint, or one saying there is none
    std::string ChartsHeading;
    std::vector<ReportChart> Charts;
    std::optional<int> Trigger; ///< trigger sample 0..99 for the charts' marker
};

/// t = 100 - Header[0], the sample events are counted from (also outside 0..99).
int ReportTriggerSample(const TTraceRecord &record);

/// "First fault: sample 42 (T-3) word 0 bit 0 BIT0 :Over Current", or "First fault: none",
/// in the language asked for; t is the trigger sample 100 - Header[0].
std::string FirstFaultText(const std::vector<FlagEvent> &events, int t, bool japanese);

/// "set", "rise", "fall" or their Japanese names.
std::string EventKindText(FlagEventKind kind, bool japanese);

/// One event as a line: sample, T-relative, word, bit, kind and meaning.
std::string EventLineText(const FlagEvent &event, int t, bool japanese);

/// Indices into events of the at most limit events nearest to sample t (earlier first on a
/// tie), in the order of events.
std::vector<std::size_t> EventsNearest(const std::vector<FlagEvent> &events, int t,
                                       std::size_t limit);

/// Builds the report's contents.
FaultReport BuildFaultReport(const FaultReportInput &input);
