#pragma once
// Explaining a trip from the trace itself: what the drive was doing when it tripped, which
// signal moved first, and the likely cause with its evidence from the signals and remedies,
// in the manner of a drive manual's troubleshooting table.

#include "ChartScaling.h"
#include "FlagEvents.h"
#include "TraceRecord.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

/// What the speed reference did before the trip.
enum class DriveMotion { Accelerating, Decelerating, Steady, Stopped };
/// Which way the energy flowed before the trip.
enum class PowerFlow { Motoring, Regenerating, NoTorque };

/// The drive's state over the samples before the first fault (before the trigger without one).
struct TripState {
    DriveMotion Motion = DriveMotion::Steady;
    PowerFlow Power = PowerFlow::NoTorque;
    int First = 0; ///< first sample judged
    int Last = 0;  ///< last sample judged (inclusive)
};

/// "accelerating", "decelerating", "steady" or "stopped".
const char *DriveMotionText(DriveMotion motion);
/// "motoring", "regenerating" or "-".
const char *PowerFlowText(PowerFlow power);

/// The samples a state is judged over, given the sample the drive tripped at.
TripState StateAtTrip(const TraceUnits &trace, int tripSample);

/// Channel number an onset of the current space vector |I| carries.
inline constexpr int CurrentVectorChannel = 0;

/// Where one signal first left its baseline.
struct Onset {
    int Channel = 0;  ///< 1..12, or CurrentVectorChannel for the three phase currents as |I|
    int Sample = 0;   ///< 1..99
    std::string Name; ///< default channel name with its unit, in the language asked for

    bool operator==(const Onset &) const = default;
};

/// Every channel that leaves its baseline after a quiet start, earliest first (ties in channel
/// order, |I| in the place of the phase currents); channels 1-3 are judged together as |I|, and
/// a type E drive's control phase (channel 12) not at all.
std::vector<Onset> Onsets(const TraceUnits &trace, bool japanese);

/// Signals computed from the phase currents.
enum class DerivedChannel {
    CurrentVector, ///< |I| = sqrt(2/3 (Iu² + Iv² + Iw²)) in %: the amplitude of balanced currents
    PhaseSum,      ///< Iu + Iv + Iw in %: zero unless current leaks to earth
};

/// The derived channel's value at every sample, in %.
std::array<float, SampleCount> DerivedSeries(const TraceUnits &trace, DerivedChannel channel);
/// Chart title of a derived channel: "|I|(%)" / "電流ベクトル(%)", "Iu+Iv+Iw(%)" / "相電流和(%)".
std::string DerivedChannelName(DerivedChannel channel, bool japanese);
/// A chart of a derived channel, as FillChartData gives one of a recorded channel.
ChartFill DerivedChartFill(const TraceUnits &trace, DerivedChannel channel, bool japanese);

/// Statistics of a chart's values between two cursors.
struct RangeStatistics {
    int Samples = 0; ///< samples from A to B inclusive that lie in the trace
    int Finite = 0;  ///< of them, those with a finite value (the others are left out)
    double Min = 0;  ///< smallest finite value; 0 when there is none
    double Max = 0;  ///< largest finite value; 0 when there is none
    double Mean = 0; ///< mean of the finite values
    double Rms = 0;  ///< root mean square of the finite values
};

/// Statistics of values y over samples a..b inclusive, in either order, clipped to 0..99.
RangeStatistics CursorRangeStatistics(const std::array<float, SampleCount> &y, int a, int b);

/// The likely cause of a trip, with what the trace shows for it and what to do.
struct Diagnosis {
    std::optional<FlagEvent> FirstFault; ///< the first set or rise in flag word 0 or 1
    long long Trigger = 0;               ///< trigger sample, 100 - trigger position
    TripState State;
    std::vector<Onset> Onsets;
    std::string CauseId;               ///< stable id: "accel-overcurrent", ..., "none"
    std::string Cause;                 ///< one line
    std::vector<std::string> Evidence; ///< 1-4 lines, with numbers from this trace
    std::vector<std::string> Remedies; ///< 1-3 lines; none for "unknown" and "none"
};

/// Every stable id a diagnosis can give, in the order of the cause table.
const std::vector<std::string_view> &CauseIds();

/// The whole diagnosis of a trace, texts in Japanese or English.
Diagnosis Diagnose(const TraceUnits &trace, bool japanese);

/// Only the id of the likely cause, for a summary over many traces; events are those of
/// FlagEvents for the trace (in either language).
std::string_view LikelyCauseId(const TraceUnits &trace, const std::vector<FlagEvent> &events);

/// A sample's position relative to the trigger sample, with its sign: "+3", "-12", "+0".
std::string TriggerRelativeText(int sample, long long trigger);

/// The diagnosis as TAB-separated lines, each starting with its kind: first-fault (when there
/// is one), state, onset (earliest first), cause, evidence, remedy. No line ends in a newline.
std::vector<std::string> DiagnosisFieldLines(const Diagnosis &diagnosis);

/// The diagnosis as a reader sees it, in parts for readers that lay them out apart.
struct DiagnosisParts {
    std::vector<std::string> Cause;  ///< likely cause, then its evidence and remedy lines
    std::string FirstFault;          ///< the first fault; "" when there is none
    std::string State;               ///< the state at the trip
    std::string MovedFirst;          ///< heading of the onsets, or that no signal moved
    std::vector<std::string> Onsets; ///< one line per onset, in the order of Diagnosis::Onsets
};

/// The diagnosis's texts in the language it was made in.
DiagnosisParts DiagnosisTextParts(const Diagnosis &diagnosis, bool japanese);

/// The diagnosis as a reader sees it, in the language it was made in: cause, evidence,
/// remedies, the first fault, the state at the trip and the signals that moved first.
std::vector<std::string> DiagnosisTextLines(const Diagnosis &diagnosis, bool japanese);
