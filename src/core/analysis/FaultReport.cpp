#include "FaultReport.h"

#include "ChannelNames.h"
#include "Diagnosis.h"
#include "NumberFormat.h"
#include "PlausibilityHints.h"
#include "TextPair.h"
#include "TimeView.h"
#include "TriggerStamp.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numeric>

namespace {

constexpr TextPair TitleText = {"故障解析レポート", "Fault Report"};
constexpr TextPair SourceText = {"データ元: ", "Source: "};
constexpr TextPair UnknownSourceText = {"(なし)", "(none)"};
constexpr TextPair DriveTypeText = {"ドライブ形式: ", "Drive type: "};
constexpr TextPair TypeEText = {"E形", "E"};
constexpr TextPair StandardTypeText = {"標準", "standard"};
constexpr TextPair TriggerPointText = {"トリガ点: ", "Trigger point: "};
constexpr TextPair FirstFaultPrefix = {"最初の故障: ", "First fault: "};
constexpr TextPair NoneText = {"なし", "none"};
constexpr TextPair SampleWord = {"サンプル ", "sample "};
constexpr TextPair WordWord = {" ワード ", " word "};
constexpr TextPair BitWord = {" ビット ", " bit "};
constexpr TextPair DiagnosisHeadingText = {"診断", "Diagnosis"};
constexpr TextPair EventsHeadingText = {"イベント (トリガ付近)", "Events (nearest the trigger)"};
constexpr TextPair NoEventsText = {"イベントなし", "No events"};
constexpr TextPair MoreEventsFormat = {"他 %zu 件のイベント", "%zu more events"};
constexpr TextPair ChannelsHeadingText = {"チャンネル", "Channels"};
constexpr TextPair NameColumn = {"チャンネル", "Channel"};
constexpr TextPair MinColumn = {"最小", "Min"};
constexpr TextPair MaxColumn = {"最大", "Max"};
constexpr TextPair AtTriggerColumn = {"トリガ時", "At trigger"};
constexpr TextPair HintsHeadingText = {"ヒント", "Hints"};
constexpr TextPair NoHintsText = {"ヒントなし", "No hints"};
constexpr TextPair ChartsHeadingText = {"グラフ", "Charts"};
constexpr TextPair KindTexts[] = {{"セット", "set"}, {"立上り", "rise"}, {"立下り", "fall"}};
// The clocks as the graph window names them.
constexpr TextPair SetnvopClock = {"SETNVOP", "SETNVOP"};
constexpr TextPair HostClock = {"上位CPU", "PLC"};

std::string ValueText(float v) {
    return std::isfinite(v) ? FormatFixed(v, 2) : std::string("-");
}

} // namespace

int ReportTriggerSample(const TTraceRecord &record) {
    // Header[0] is stored in 32 bits; the difference is kept in range for any value.
    const long long t = 100LL - record.Header[0];
    return static_cast<int>(std::clamp<long long>(t, -1000000, 1000000));
}

std::string EventKindText(FlagEventKind kind, bool japanese) {
    return KindTexts[static_cast<int>(kind)].Pick(japanese);
}

std::string FirstFaultText(const std::vector<FlagEvent> &events, int t, bool japanese) {
    const auto first = FirstFault(events);
    std::string text = FirstFaultPrefix.Pick(japanese);
    if (!first)
        return text + NoneText.Pick(japanese);
    const FlagEvent &e = events[*first];
    text += SampleWord.Pick(japanese) + std::to_string(e.Sample) + " (" +
            RelativeSampleText(e.Sample, t) + ")" + WordWord.Pick(japanese) +
            std::to_string(e.Word) + BitWord.Pick(japanese) + std::to_string(e.Bit);
    if (!e.Meaning.empty())
        text += " " + e.Meaning;
    return text;
}

std::string EventLineText(const FlagEvent &event, int t, bool japanese) {
    std::string text = std::to_string(event.Sample) + "  " + RelativeSampleText(event.Sample, t) +
                       WordWord.Pick(japanese) + std::to_string(event.Word) +
                       BitWord.Pick(japanese) + std::to_string(event.Bit) + "  " +
                       EventKindText(event.Kind, japanese);
    if (!event.Meaning.empty())
        text += "  " + event.Meaning;
    return text;
}

std::vector<std::size_t> EventsNearest(const std::vector<FlagEvent> &events, int t,
                                       std::size_t limit) {
    std::vector<std::size_t> order(events.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    // Events are in sample order, so a stable sort by distance keeps earlier ones first.
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return std::abs(events[a].Sample - t) < std::abs(events[b].Sample - t);
    });
    if (order.size() > limit)
        order.resize(limit);
    std::sort(order.begin(), order.end());
    return order;
}

FaultReport BuildFaultReport(const FaultReportInput &input) {
    const bool ja = input.Japanese;
    const TraceUnits &trace = input.Trace;
    const TTraceRecord &record = trace.Record;
    const int t = ReportTriggerSample(record);
    const std::optional<int> trigger = TriggerSample(record);
    const int language = ja ? LanguageJapanese : LanguageEnglish;

    FaultReport report;
    report.Title = TitleText.Pick(ja);
    report.InfoLines.push_back(SourceText.Pick(ja) + (input.Source.empty()
                                                          ? std::string(UnknownSourceText.Pick(ja))
                                                          : input.Source));
    report.InfoLines.push_back(
        DriveTypeText.Pick(ja) +
        std::string((trace.DriveTypeE == 1 ? TypeEText : StandardTypeText).Pick(ja)));
    const TriggerStamp first = FormatTriggerStamp(record.Header, StampClock::Setnvop);
    const TriggerStamp second = FormatTriggerStamp(record.Header, StampClock::HostCpu);
    report.InfoLines.push_back(TriggerPointText.Pick(ja) + first.Point);
    report.InfoLines.push_back(std::string(SetnvopClock.Pick(ja)) + ": " + first.Date + " " +
                               first.Time);
    report.InfoLines.push_back(std::string(HostClock.Pick(ja)) + ": " + second.Date + " " +
                               second.Time);

    const std::vector<FlagEvent> events = FlagEvents(record, ja, trace.DriveTypeE);
    if (!input.Note.empty()) {
        report.NoteLine = std::string(ja ? "メモ: " : "Note: ") + input.Note;
        // One line on the page, however the note was typed.
        for (char &ch : report.NoteLine)
            if (ch == '\n' || ch == '\r' || ch == '\t')
                ch = ' ';
    }
    report.FirstFaultLine = FirstFaultText(events, t, ja);

    report.DiagnosisHeading = DiagnosisHeadingText.Pick(ja);
    DiagnosisParts diagnosis = DiagnosisTextParts(Diagnose(trace, ja), ja);
    report.DiagnosisLines = std::move(diagnosis.Cause);
    report.DiagnosisLines.push_back(std::move(diagnosis.State));
    report.OnsetsHeading = std::move(diagnosis.MovedFirst);
    report.OnsetLines = std::move(diagnosis.Onsets);

    report.EventsHeading = EventsHeadingText.Pick(ja);
    const auto shown = EventsNearest(events, t, ReportEventLimit);
    const auto firstFault = FirstFault(events);
    for (const std::size_t i : shown) {
        if (firstFault == i)
            report.FirstFaultEventLine = report.EventLines.size();
        report.EventLines.push_back(EventLineText(events[i], t, ja));
    }
    if (events.empty())
        report.EventLines.push_back(NoEventsText.Pick(ja));
    if (events.size() > shown.size()) {
        char more[96];
        std::snprintf(more, sizeof more, MoreEventsFormat.Pick(ja), events.size() - shown.size());
        report.MoreEventsLine = more;
    }

    report.ChannelsHeading = ChannelsHeadingText.Pick(ja);
    report.ChannelColumns = {NameColumn.Pick(ja), MinColumn.Pick(ja), MaxColumn.Pick(ja),
                             AtTriggerColumn.Pick(ja)};
    for (int ch = 1; ch <= ChannelCount; ++ch) {
        ReportChannelRow row;
        row.Name = DefaultChannelName(ch, language, trace.DriveTypeE);
        FiniteExtremes extremes;
        for (int n = 0; n < SampleCount; ++n)
            extremes.Add(NormalizedValue(trace, n, ch - 1));
        row.Min = extremes.Any ? ValueText(extremes.Min) : "-";
        row.Max = extremes.Any ? ValueText(extremes.Max) : "-";
        row.AtTrigger = trigger ? ValueText(NormalizedValue(trace, *trigger, ch - 1)) : "-";
        report.ChannelRows.push_back(row);
    }

    report.HintsHeading = HintsHeadingText.Pick(ja);
    for (const PlausibilityHint &hint : PlausibilityHints(trace, ja))
        report.HintLines.push_back(hint.Text);
    if (report.HintLines.empty())
        report.HintLines.push_back(NoHintsText.Pick(ja));

    report.ChartsHeading = ChartsHeadingText.Pick(ja);
    report.Trigger = trigger;
    for (const int ch : input.Channels) {
        if (ch < 1 || ch > ChoiceCount)
            continue;
        ReportChart chart;
        if (ch > ChannelCount) {
            const DerivedChannel derived = ch == CurrentVectorChoice ? DerivedChannel::CurrentVector
                                                                     : DerivedChannel::PhaseSum;
            chart.Title = DerivedChannelName(derived, ja);
            chart.Y = DerivedSeries(trace, derived);
        } else {
            chart.Title = report.ChannelRows[static_cast<std::size_t>(ch - 1)].Name;
            for (int n = 0; n < SampleCount; ++n)
                chart.Y[static_cast<std::size_t>(n)] = NormalizedValue(trace, n, ch - 1);
        }
        FiniteExtremes extremes;
        for (const float v : chart.Y)
            extremes.Add(v);
        chart.Range = VerticalRange(extremes.Max, extremes.Min);
        report.Charts.push_back(chart);
    }
    return report;
}
