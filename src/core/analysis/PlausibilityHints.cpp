#include "PlausibilityHints.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>

namespace {

// Share of the largest phase current the sum of the three may reach before it counts.
constexpr float PhaseSumShare = 0.1f;
// Consecutive samples the sum must stay off zero: a single sample may be a sampling skew.
constexpr int PhaseSumRun = 3;
// DC voltage channel (0-based) and how much it may rise before the trigger.
constexpr int DcChannel = 3;
constexpr int DcWindow = 10;
constexpr float DcRiseShare = 0.1f;
// Raw values are 16-bit: the drive writes these where the true value did not fit.
constexpr float RawLow = -32768.0f;
constexpr float RawHigh = 32767.0f;

struct Texts {
    const char *Japanese;
    const char *English;
};

constexpr Texts PhaseSumText = {
    "相電流 (ch1～ch3) の和がゼロになりません: |Iu+Iv+Iw| が最大相電流の10 %を超えています",
    "The phase currents (ch1-ch3) do not sum to zero: |Iu+Iv+Iw| exceeds 10 % of the largest "
    "phase current"};
constexpr Texts StuckText = {
    "チャンネル%1の値が変化しません: 他のチャンネルが変化する間、100個の値がすべて同じです",
    "Channel %1 is stuck: all 100 values are equal while other channels change"};
constexpr Texts ClippedText = {
    "チャンネル%1が16ビットの限界値 (-32768または32767) に達しています: 値が切り詰められています",
    "Channel %1 is at the 16-bit limit (-32768 or 32767): the value is clipped"};
constexpr Texts DcRiseText = {
    "トリガ前の10サンプルで直流電圧が10 %を超えて上昇しています",
    "The DC voltage rises by more than 10 % in the 10 samples before the trigger"};

std::string Text(const Texts &texts, bool japanese, int channel = 0) {
    const std::string_view text = japanese ? texts.Japanese : texts.English;
    const std::size_t at = text.find("%1");
    if (at == std::string_view::npos)
        return std::string(text);
    std::string filled(text.substr(0, at));
    filled += std::to_string(channel);
    filled += text.substr(at + 2);
    return filled;
}

bool Constant(const TTraceRecord &record, int c) {
    for (int i = 1; i < SampleCount; ++i)
        if (record.Value[i][c] != record.Value[0][c])
            return false;
    return true;
}

void PhaseSum(const TraceUnits &trace, bool japanese, std::vector<PlausibilityHint> &hints) {
    float peak = 0.0f;
    float sum[SampleCount];
    for (int i = 0; i < SampleCount; ++i) {
        sum[i] = 0.0f;
        for (int c = 0; c < 3; ++c) {
            const float value = NormalizedValue(trace, i, c);
            peak = std::max(peak, std::fabs(value));
            sum[i] += value;
        }
    }
    // Without any current the sum says nothing.
    if (!(peak > 0.0f) || !std::isfinite(peak))
        return;
    const float limit = PhaseSumShare * peak;
    std::vector<int> samples;
    int runStart = -1;
    for (int i = 0; i <= SampleCount; ++i) {
        const bool off = i < SampleCount && std::fabs(sum[i]) > limit;
        if (off && runStart < 0)
            runStart = i;
        if (!off && runStart >= 0) {
            if (i - runStart >= PhaseSumRun)
                for (int s = runStart; s < i; ++s)
                    samples.push_back(s);
            runStart = -1;
        }
    }
    if (!samples.empty())
        hints.push_back({"phase-sum", Text(PhaseSumText, japanese), std::move(samples)});
}

void Stuck(const TTraceRecord &record, bool japanese, std::vector<PlausibilityHint> &hints) {
    bool constant[ChannelCount];
    bool anyMoves = false;
    for (int c = 0; c < ChannelCount; ++c) {
        constant[c] = Constant(record, c);
        anyMoves = anyMoves || !constant[c];
    }
    // A trace where nothing moves at all (an idle drive, an empty record) shows no stuck channel.
    if (!anyMoves)
        return;
    for (int c = 0; c < ChannelCount; ++c)
        if (constant[c])
            hints.push_back({"stuck", Text(StuckText, japanese, c + 1), {}});
}

void Clipped(const TTraceRecord &record, bool japanese, std::vector<PlausibilityHint> &hints) {
    for (int c = 0; c < ChannelCount; ++c) {
        std::vector<int> samples;
        for (int i = 0; i < SampleCount; ++i)
            if (record.Value[i][c] == RawLow || record.Value[i][c] == RawHigh)
                samples.push_back(i);
        if (!samples.empty())
            hints.push_back({"clipped", Text(ClippedText, japanese, c + 1), std::move(samples)});
    }
}

void DcRise(const TraceUnits &trace, bool japanese, std::vector<PlausibilityHint> &hints) {
    // The trigger sample; the window needs ten samples before it inside the trace.
    const long long trigger = 100LL - trace.Record.Header[0];
    if (trigger < DcWindow || trigger > SampleCount)
        return;
    const int first = static_cast<int>(trigger) - DcWindow;
    const float base = NormalizedValue(trace, first, DcChannel);
    // A rise relative to nothing is meaningless.
    if (!(std::fabs(base) > 1e-6f) || !std::isfinite(base))
        return;
    const float limit = DcRiseShare * std::fabs(base);
    bool rises = false;
    for (int i = first + 1; i < trigger; ++i)
        rises = rises || NormalizedValue(trace, i, DcChannel) - base > limit;
    if (!rises)
        return;
    std::vector<int> samples;
    for (int i = first; i < trigger; ++i)
        samples.push_back(i);
    hints.push_back({"dc-rise", Text(DcRiseText, japanese), std::move(samples)});
}

} // namespace

std::vector<PlausibilityHint> PlausibilityHints(const TraceUnits &trace, bool japanese) {
    std::vector<PlausibilityHint> hints;
    PhaseSum(trace, japanese, hints);
    Stuck(trace.Record, japanese, hints);
    // Engineering units say nothing about the drive's 16-bit range.
    if (!trace.Normalized)
        Clipped(trace.Record, japanese, hints);
    DcRise(trace, japanese, hints);
    return hints;
}
