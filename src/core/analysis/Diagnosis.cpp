#include "Diagnosis.h"

#include "ChannelNames.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <limits>

namespace {

// Channels (0-based) the rules read.
constexpr int Iu = 0;
constexpr int Dc = 3;
constexpr int Speed = 5;
constexpr int SpeedRef = 6;
constexpr int TorqueRef = 7;
constexpr int Temperature = 11; // motor temperature, on drives other than type E

// The state is judged over this many samples before the trip.
constexpr int StateSamples = 10;
// A ramp of 0.5 %/sample is clear; the margin keeps a noisy or rounded ramp of that slope clear.
constexpr double ClearRamp = 0.45;
// Speed and reference below this (in %) count as standing still.
constexpr double StoppedLevel = 2.0;
// A torque reference below this (in %) carries no energy either way.
constexpr double TorqueLevel = 2.0;
// Below this (in %) a speed gives no direction.
constexpr double DirectionLevel = 0.5;

// Onset: the baseline is taken from the first samples; a clear departure exceeds four times the
// baseline's largest deviation and 1 % of the channel's largest value, and is held for two
// samples so a single spike does not count. Its start is traced back to where it first exceeded
// the noise.
constexpr int BaselineSamples = 10;
constexpr double ClearNoiseFactor = 4.0;
constexpr double ClearScaleShare = 0.01;
constexpr double SlightNoiseFactor = 1.5;
constexpr double SlightScaleShare = 0.005;
constexpr int MaxBackStep = 2;

// Earth fault: the phase sum beyond this share of the largest phase current, at two samples or
// more of the samples up to the trip.
constexpr double EarthShare = 0.1;
constexpr double EarthFloor = 0.5; // %: a sum this small is measurement noise
constexpr int EarthSamples = 10;
// One phase far from the other two, over the samples up to the trip: a phase that never carries
// more than this share of |I| while the others reach the near share and the current keeps one
// axis, or a phase whose peak is more than 2.5 times both others'.
constexpr int PhaseSamples = 11;
constexpr double PhaseFarShare = 0.35;
constexpr double PhaseNearShare = 0.6;
constexpr double PhaseUsedShare = 0.2; // samples with |I| below this share of its peak say little
constexpr double PhaseHighFactor = 2.5;
// How steady the axis of the current vector must stay for a phase that carries nothing: balanced
// currents turning less than about 25 degrees over the samples would look the same.
constexpr double PhaseFixedAxis = 0.97;

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

double Value(const TraceUnits &trace, int i, int c) {
    return static_cast<double>(NormalizedValue(trace, i, c));
}

struct Range {
    int First = 0;
    int Last = -1; // inclusive; empty when Last < First
};

int Clamp(long long value, int low, int high) {
    return static_cast<int>(std::clamp<long long>(value, low, high));
}

// The samples before sample end (at most StateSamples); the sample itself when none precedes it.
Range Before(int end) {
    const int e = std::clamp(end, 0, SampleCount);
    if (e == 0)
        return {0, 0};
    return {std::max(0, e - StateSamples), e - 1};
}

// Mean of the finite values of channel c over r; NaN when there is none.
double Mean(const TraceUnits &trace, int c, Range r) {
    double sum = 0;
    int n = 0;
    for (int i = r.First; i <= r.Last; ++i) {
        const double v = Value(trace, i, c);
        if (std::isfinite(v)) {
            sum += v;
            ++n;
        }
    }
    return n > 0 && std::isfinite(sum) ? sum / n : NaN;
}

// Least-squares slope of values per sample over the finite ones; 0 with fewer than two.
template <typename Get> double Slope(Range r, Get get) {
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    int n = 0;
    for (int i = r.First; i <= r.Last; ++i) {
        const double y = get(i);
        if (!std::isfinite(y))
            continue;
        const double x = i - r.First;
        sx += x;
        sy += y;
        sxx += x * x;
        sxy += x * y;
        ++n;
    }
    const double d = n * sxx - sx * sx;
    if (n < 2 || d <= 0)
        return 0;
    const double slope = (n * sxy - sx * sy) / d;
    return std::isfinite(slope) ? slope : 0;
}

double MaxAbs(const TraceUnits &trace, int c, Range r) {
    double m = 0;
    for (int i = r.First; i <= r.Last; ++i) {
        const double v = std::fabs(Value(trace, i, c));
        if (std::isfinite(v))
            m = std::max(m, v);
    }
    return m;
}

// Single precision, infinite beyond its range (a plain conversion would be undefined there).
float ToFloat(double v) {
    constexpr double largest = std::numeric_limits<float>::max();
    if (v > largest)
        return std::numeric_limits<float>::infinity();
    if (v < -largest)
        return -std::numeric_limits<float>::infinity();
    return static_cast<float>(v);
}

int Sign(double v) {
    return v > 0 ? 1 : (v < 0 ? -1 : 0);
}

double CurrentVector(const TraceUnits &trace, int i) {
    const double u = Value(trace, i, Iu), v = Value(trace, i, Iu + 1), w = Value(trace, i, Iu + 2);
    return std::sqrt(2.0 / 3.0 * (u * u + v * v + w * w));
}

double PhaseSum(const TraceUnits &trace, int i) {
    return Value(trace, i, Iu) + Value(trace, i, Iu + 1) + Value(trace, i, Iu + 2);
}

// --- onset ------------------------------------------------------------------------------------

std::optional<int> OnsetSample(const std::array<double, SampleCount> &x) {
    double base[BaselineSamples];
    int n = 0;
    for (int i = 0; i < BaselineSamples; ++i)
        if (std::isfinite(x[i]))
            base[n++] = x[i];
    if (n < 3)
        return std::nullopt;
    // Insertion sort of at most ten values (std::sort here trips GCC 12's array-bounds check
    // at -O3).
    for (int a = 1; a < n; ++a)
        for (int b = a; b > 0 && base[b - 1] > base[b]; --b)
            std::swap(base[b - 1], base[b]);
    const double median = n % 2 ? base[n / 2] : 0.5 * (base[n / 2 - 1] + base[n / 2]);
    double noise = 0;
    for (int i = 0; i < n; ++i)
        noise = std::max(noise, std::fabs(base[i] - median));
    double scale = 0;
    for (const double v : x)
        if (std::isfinite(v))
            scale = std::max(scale, std::fabs(v));
    if (!(scale > 0) || !std::isfinite(noise) || !std::isfinite(median))
        return std::nullopt;
    const double clear = std::max(ClearNoiseFactor * noise, ClearScaleShare * scale);
    const double slight = std::max(SlightNoiseFactor * noise, SlightScaleShare * scale);
    const auto dev = [&](int i) { return x[static_cast<std::size_t>(i)] - median; };
    const auto beyond = [&](int i, double level) {
        const double d = dev(i);
        return std::isfinite(d) && std::fabs(d) > level;
    };

    int k = BaselineSamples;
    while (k < SampleCount && !(beyond(k, clear) && (k + 1 == SampleCount || beyond(k + 1, clear))))
        ++k;
    if (k == SampleCount)
        return std::nullopt;
    // Back to where the departure first rose above the noise, on the same side.
    const int side = Sign(dev(k));
    int j = k;
    while (j > 1 && beyond(j - 1, slight) && Sign(dev(j - 1)) == side)
        --j;
    // A ramp crosses the noise level a little after it starts: extrapolate its start from its
    // slope there, by a couple of samples at most. A step needs none.
    const double dj = std::fabs(dev(j));
    const double dk = std::fabs(dev(k));
    if (j > 1 && dj < 0.5 * dk) {
        double slope = (dk - dj) / (k - j);
        if (j + 1 < SampleCount && std::isfinite(dev(j + 1)) && Sign(dev(j + 1)) == side)
            slope = std::max(slope, std::fabs(dev(j + 1)) - dj);
        if (slope > 0) {
            // The first sample after the ramp's zero crossing; the allowance keeps rounding
            // from moving a crossing that falls on a sample to the sample before it.
            const double zero = j - dj / slope;
            const int start = static_cast<int>(std::floor(zero + 1e-3)) + 1;
            j = std::clamp(start, std::max(1, j - MaxBackStep), j);
        }
    }
    return j;
}

// --- texts ------------------------------------------------------------------------------------

struct Text {
    const char *English;
    const char *Japanese;
};

// "%1".."%9" in the text become the arguments.
std::string Fill(const Text &text, bool japanese, std::initializer_list<std::string> args = {}) {
    const std::string_view pattern = japanese ? text.Japanese : text.English;
    std::string out;
    out.reserve(pattern.size() + 32);
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' &&
            pattern[i + 1] <= '9') {
            const std::size_t a = static_cast<std::size_t>(pattern[i + 1] - '1');
            if (a < args.size())
                out += args.begin()[a];
            ++i;
            continue;
        }
        out += pattern[i];
    }
    return out;
}

// A measured number, '.' as decimal point in every locale; "n/a" where the trace has none.
std::string Num(double value, int decimals = 1) {
    if (!std::isfinite(value))
        return "n/a";
    const double unit = std::pow(10.0, -decimals);
    if (std::fabs(value) < 0.5 * unit)
        value = 0; // no "-0.0"
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return result.ec == std::errc() ? std::string(buffer, result.ptr) : "n/a";
}

std::string Int(long long value) {
    return std::to_string(value);
}

constexpr const char *PhaseLetters[] = {"U", "V", "W"};

constexpr Text MotionTexts[] = {
    {"accelerating", "加速中"},
    {"decelerating", "減速中"},
    {"steady", "定速"},
    {"stopped", "停止中"},
};
constexpr Text PowerTexts[] = {
    {"motoring", "力行"},
    {"regenerating", "回生"},
    {"no torque", "トルクなし"},
};

// Evidence lines.
constexpr Text RefRampText = {
    "Speed reference went from %1 % to %2 % over samples %3-%4 (%5 %/sample)",
    "速度指令はサンプル%3～%4で%1 %から%2 %へ変化しました (%5 %/サンプル)"};
constexpr Text RefSteadyText = {"Speed reference steady at %1 % over samples %2-%3 (%4 %/sample)",
                                "速度指令はサンプル%2～%3で%1 %の一定でした (%4 %/サンプル)"};
constexpr Text CurrentRiseText = {
    "Current |I| rose from %1 % at sample %2 to %3 % at sample %4",
    "電流ベクトル|I|はサンプル%2の%1 %からサンプル%4の%3 %へ上昇しました"};
constexpr Text TorqueText = {"Torque reference %1 % at motor speed %2 % before the trip: %3",
                             "トリップ前のトルク指令 %1 %、モータ速度 %2 %: %3"};
constexpr Text EarthSumText = {
    "Phase sum |Iu+Iv+Iw| reached %1 % at sample %2, %3 % of the largest phase current (%4 %)",
    "相電流和|Iu+Iv+Iw|はサンプル%2で%1 %に達し、最大相電流 (%4 %) の%3 %です"};
constexpr Text EarthCountText = {
    "The phase sum exceeded 10 % of the largest phase current at %1 of the %2 samples up to "
    "the trip; healthy phase currents sum to zero",
    "トリップまでの%2サンプル中%1サンプルで相電流和が最大相電流の10 %を超えました "
    "(正常な相電流の和はゼロです)"};
constexpr Text PhasePeaksText = {
    "Largest phase currents over samples %1-%2: U %3 %, V %4 %, W %5 %",
    "サンプル%1～%2の最大相電流: U %3 %、V %4 %、W %5 %"};
constexpr Text PhaseShareText = {
    "Phase %1 carried at most %2 % of |I| while the other phases reached %3 % and %4 %",
    "%1相は|I|の最大%2 %しか流れず、他の相は%3 %と%4 %に達しました"};
constexpr Text PhaseBitText = {"The protection of phase %1 tripped (%2)",
                               "%1相の保護が動作しました (%2)"};
constexpr Text PhaseNoEarthText = {"Phase sum at most %1 %: no current leaks to earth",
                                   "相電流和は最大%1 %: 大地への漏れ電流はありません"};
constexpr Text PhaseUnseenText = {
    "The phase currents look balanced in this trace: the trace cannot tell which part failed",
    "このトレースでは相電流は平衡しています: 故障箇所はトレースからは判断できません"};
constexpr Text DcChangeText = {"DC voltage went from %1 V to %2 V (%3 %) over samples %4-%5",
                               "直流電圧はサンプル%4～%5で%1 Vから%2 Vへ変化しました (%3 %)"};
constexpr Text DcLevelText = {
    "DC voltage %1 V at the trip against %2 V at the start of the trace (%3 %)",
    "トリップ時の直流電圧 %1 V、トレース開始時 %2 V (%3 %)"};
constexpr Text DcStepText = {"Largest DC voltage step: %1 V from sample %2 to %3",
                             "直流電圧の最大の変化: サンプル%2から%3で%1 V"};
constexpr Text DcNoFallText = {
    "The DC voltage did not fall in this trace (%1 V to %2 V): the trace cannot tell why the "
    "drive saw under voltage",
    "このトレースでは直流電圧は低下していません (%1 Vから%2 V): 不足電圧を検出した理由はトレース"
    "からは判断できません"};
constexpr Text LoadText = {
    "Current |I| averaged %1 % up to the trip (peak %2 %) and exceeded 100 % at %3 of %4 "
    "samples",
    "トリップまでの電流ベクトル|I|の平均は%1 % (最大%2 %)、%4サンプル中%3サンプルで100 "
    "%を超えました"};
constexpr Text NoHeatsinkText = {
    "The trace records no heat sink temperature: it cannot tell how hot the drive was",
    "トレースには冷却フィンの温度がありません: インバータの温度はトレースからは判断できません"};
constexpr Text TemperatureText = {
    "Motor temperature (ch12) went from %1 ℃ at the start to %2 ℃ at the trip (largest %3 ℃)",
    "モータ温度 (ch12) はトレース開始時%1 ℃、トリップ時%2 ℃ (最大%3 ℃) でした"};
constexpr Text NoTemperatureText = {
    "This drive type records no motor temperature (ch12 is the control phase): the trace "
    "cannot tell how hot the motor was",
    "この機種はモータ温度を記録しません (ch12は制御位相): "
    "モータの温度はトレースからは判断できません"};
constexpr Text OverspeedText = {
    "Motor speed %1 % against a reference of %2 % at sample %3 (%4 % above)",
    "サンプル%3でモータ速度 %1 %、速度指令 %2 % (%4 %超過)"};
constexpr Text NoOverspeedText = {
    "The speed stayed within its reference in this trace (at most %1 % above): the trace "
    "cannot tell what drove it",
    "このトレースでは速度は指令を超えていません (超過は最大%1 %): "
    "原因はトレースからは判断できません"};
constexpr Text UnknownText = {
    "Flag word %1 bit %2 at sample %3 (T%4): there is no rule for this fault, and the trace "
    "cannot tell its cause",
    "サンプル%3 (T%4) でフラグワード%1のビット%2: この故障には判定規則がなく、原因はトレースからは"
    "判断できません"};
constexpr Text NoneText = {"No bit of fault flags 1 and 2 is set in any of the 100 samples",
                           "100サンプルのいずれにも故障フラグ(1)(2)のビットは立っていません"};
constexpr Text UnknownCauseText = {"Flag word %1 bit %2", "フラグワード%1 ビット%2"};

// Window labels.
constexpr Text FirstFaultLabel = {"First fault: sample %1 (T%2), word %3 bit %4 %5",
                                  "最初の故障: サンプル%1 (T%2)、ワード%3 ビット%4 %5"};
constexpr Text CauseLabel = {"Likely cause: %1 (%2)", "推定原因: %1 (%2)"};
constexpr Text EvidenceLabel = {"Evidence: %1", "根拠: %1"};
constexpr Text RemedyLabel = {"Remedy: %1", "対策: %1"};
constexpr Text StateLabel = {"State at the trip: %1, %2", "トリップ時の状態: %1、%2"};
constexpr Text MovedFirstLabel = {"Moved first:", "最初に動いた信号:"};
constexpr Text NothingMovedLabel = {"Moved first: no signal left its baseline",
                                    "最初に動いた信号: ベースラインを外れた信号はありません"};
constexpr Text OnsetLabel = {"  %1: sample %2 (T%3)", "  %1: サンプル%2 (T%3)"};

enum class Cause {
    AccelOvercurrent,
    DecelOvercurrent,
    SteadyOvercurrent,
    GroundFault,
    PhaseFault,
    RegenOvervoltage,
    SupplyOvervoltage,
    SupplyUndervoltage,
    Overload,
    DriveOverheat,
    MotorOverheat,
    Overspeed,
    Unknown,
    None,
};

struct CauseEntry {
    const char *Id;
    Text Line;
    std::vector<Text> Remedies;
};

const CauseEntry &Entry(Cause cause) {
    static const CauseEntry entries[] = {
        {"accel-overcurrent",
         {"Over current while accelerating: the acceleration is too fast for the load, or the "
          "load is too heavy",
          "加速中の過電流: 負荷に対して加速時間が短すぎるか、負荷が重すぎます"},
         {{"Lengthen the acceleration time", "加速時間を長くしてください"},
          {"Reduce the load or check the machine for binding",
           "負荷を軽くするか、機械の引っ掛かりを点検してください"},
          {"Check the torque boost and the motor constants (run the auto-tuning)",
           "トルクブーストとモータ定数を確認してください (オートチューニングを実行)"}}},
        {"decel-overcurrent",
         {"Over current while decelerating: the deceleration is too fast for the inertia of the "
          "load",
          "減速中の過電流: 負荷の慣性に対して減速時間が短すぎます"},
         {{"Lengthen the deceleration time", "減速時間を長くしてください"},
          {"Add a braking resistor or braking unit for a load of high inertia",
           "慣性の大きい負荷には制動抵抗器または制動ユニットを追加してください"},
          {"Check the motor constants (run the auto-tuning)",
           "モータ定数を確認してください (オートチューニングを実行)"}}},
        {"steady-overcurrent",
         {"Over current at steady speed: a sudden load change, a locked machine or a short "
          "circuit at the output",
          "定速運転中の過電流: 負荷の急変、機械のロック、または出力側の短絡"},
         {{"Check the load for shocks, binding or a locked machine",
           "負荷の衝撃、引っ掛かり、機械のロックを点検してください"},
          {"Check the motor and its cable for a short circuit",
           "モータとモータケーブルの短絡を点検してください"},
          {"Check the speed controller gains and the motor constants",
           "速度制御のゲインとモータ定数を確認してください"}}},
        {"ground-fault",
         {"Earth fault at the output: current leaks to earth in the motor or its cable",
          "出力側の地絡: モータまたはモータケーブルから大地へ電流が漏れています"},
         {{"Measure the insulation of the motor and its cable to earth with the drive "
           "disconnected",
           "インバータを切り離して、モータとモータケーブルの対地絶縁抵抗を測定してください"},
          {"Look for a damaged cable, moisture or dirt in the motor terminal box",
           "ケーブルの損傷、端子箱内の湿気や汚れを点検してください"},
          {"If the insulation is sound, have the current sensors of the drive checked",
           "絶縁に異常がなければ、インバータの電流検出器の点検を依頼してください"}}},
        {"phase-fault",
         {"Fault in output phase %1: a short circuit between phases, an open phase or a failed "
          "power device",
          "出力%1相の異常: 相間短絡、欠相、またはパワー素子の故障"},
         {{"Check the cable and terminals of phase %1 for a short circuit or a loose connection",
           "%1相のケーブルと端子の短絡・緩みを点検してください"},
          {"Measure the winding resistance of the motor in all three phases",
           "モータ巻線の抵抗を3相とも測定してください"},
          {"If wiring and motor are sound, have the power module and gate drive checked",
           "配線とモータに異常がなければ、パワーモジュールとゲート駆動回路の点検を依頼してくださ"
           "い"}}},
        {"regen-overvoltage",
         {"Over voltage from regenerated energy: the motor returned more energy than the drive "
          "can absorb",
          "回生エネルギーによる過電圧: "
          "モータからの回生エネルギーがインバータの吸収できる量を超えました"},
         {{"Lengthen the deceleration time", "減速時間を長くしてください"},
          {"Add or check the braking resistor or braking unit",
           "制動抵抗器または制動ユニットを追加・点検してください"},
          {"Enable the over-voltage stall (DC voltage control) function",
           "過電圧ストール防止 (直流電圧制御) 機能を有効にしてください"}}},
        {"supply-overvoltage",
         {"Over voltage from the supply: the mains voltage is too high or carries a surge",
          "電源による過電圧: 電源電圧が高すぎるか、サージが入っています"},
         {{"Measure the supply voltage and check it against the drive's rating",
           "電源電圧を測定し、インバータの定格内か確認してください"},
          {"Look for surges from capacitor switching or large loads on the same supply; fit an "
           "AC reactor",
           "同じ電源の進相コンデンサ切替や大容量負荷によるサージを調べ、ACリアクトルを設置してくだ"
           "さい"},
          {"Check the tap setting of the supply transformer",
           "電源変圧器のタップ設定を確認してください"}}},
        {"supply-undervoltage",
         {"Under voltage: the supply dipped or failed, or an input phase is missing",
          "不足電圧: 電源の瞬時低下・停電、または入力の欠相"},
         {{"Check the supply voltage, the input fuses, the contactor and all three input phases",
           "電源電圧、入力ヒューズ、電磁接触器、入力3相すべてを点検してください"},
          {"Look for momentary power failures; enable restart after a momentary power failure if "
           "the process allows it",
           "瞬時停電を調べ、プロセスが許せば瞬停再始動を有効にしてください"},
          {"Check that the supply capacity suits the load at start",
           "始動時の負荷に対して電源容量が十分か確認してください"}}},
        {"overload",
         {"Overload: the motor current stayed above the rating for too long",
          "過負荷: モータ電流が定格を超えた状態が長く続きました"},
         {{"Reduce the load or lengthen the acceleration time",
           "負荷を軽くするか、加速時間を長くしてください"},
          {"Check the machine for friction or binding", "機械の摩擦や引っ掛かりを点検してください"},
          {"Check that the drive and motor suit the duty; choose larger ones if not",
           "インバータとモータの容量が負荷に合っているか確認し、不足なら容量を上げてください"}}},
        {"drive-overheat",
         {"Drive overheat: the heat sink of the drive is too hot",
          "インバータ過熱: インバータの冷却フィンが過熱しました"},
         {{"Check the cooling fan and clean the heat sink and air filters",
           "冷却ファンを点検し、冷却フィンとフィルタを清掃してください"},
          {"Check the ambient temperature and the space around the drive",
           "周囲温度とインバータ周りの空間を確認してください"},
          {"Reduce the load or the carrier frequency",
           "負荷またはキャリア周波数を下げてください"}}},
        {"motor-overheat",
         {"Motor overheat: the motor temperature exceeded its limit",
          "モータ過熱: モータ温度が上限を超えました"},
         {{"Check the motor's cooling fan, airways and the ambient temperature",
           "モータの冷却ファン、通風路、周囲温度を点検してください"},
          {"Reduce the load; avoid long running at low speed with a self-cooled motor",
           "負荷を軽くし、自冷モータの低速での長時間運転を避けてください"},
          {"Check the motor's thermal sensor and its wiring",
           "モータの温度検出器とその配線を点検してください"}}},
        {"overspeed",
         {"Overspeed: the motor ran faster than its reference",
          "過速度: モータ速度が指令を上回りました"},
         {{"Check the speed feedback (encoder) and its wiring",
           "速度検出 (エンコーダ) とその配線を点検してください"},
          {"Check the speed controller gains and the overspeed level",
           "速度制御のゲインと過速度検出レベルを確認してください"},
          {"For a load that drives the motor, add braking capacity",
           "モータを回す負荷には制動能力を追加してください"}}},
        {"unknown", {"", ""}, {}},
        {"none",
         {"No fault: no fault flag is set in this trace",
          "故障なし: このトレースでは故障フラグが立っていません"},
         {}},
    };
    return entries[static_cast<int>(cause)];
}

// --- the facts the rules look at --------------------------------------------------------------

struct Trip {
    std::optional<FlagEvent> First;
    int Sample = 0; // the first fault's sample; the trigger sample clamped when none
    int Word0 = 0;  // fault bits on at that sample
    int Word1 = 0;
    TripState State;
};

Trip FindTrip(const TraceUnits &trace, const std::vector<FlagEvent> &events) {
    Trip trip;
    const long long trigger = 100LL - trace.Record.Header[0];
    if (const auto first = FirstFault(events)) {
        trip.First = events[*first];
        trip.Sample = std::clamp(trip.First->Sample, 0, SampleCount - 1);
        // No fault bit is on before this sample, so every one on now is new.
        trip.Word0 = trace.Record.Flag[trip.Sample][0] & 0xFFFF;
        trip.Word1 = trace.Record.Flag[trip.Sample][1] & 0xFFFF;
        trip.State = StateAtTrip(trace, trip.Sample);
    } else {
        trip.Sample = Clamp(trigger, 0, SampleCount - 1);
        trip.State = StateAtTrip(trace, Clamp(trigger, 0, SampleCount));
    }
    return trip;
}

// Samples up to and including the trip.
Range UpTo(const Trip &trip, int count) {
    return {std::max(0, trip.Sample - count + 1), trip.Sample};
}

struct EarthFacts {
    bool Fault = false;
    double SumPeak = 0;
    int SumSample = 0;
    double PhasePeak = 0;
    int Count = 0;
    int Samples = 0;
};

EarthFacts Earth(const TraceUnits &trace, const Trip &trip) {
    EarthFacts f;
    const Range r = UpTo(trip, EarthSamples + 1);
    for (int i = r.First; i <= r.Last; ++i)
        for (int c = Iu; c < Iu + 3; ++c) {
            const double v = std::fabs(Value(trace, i, c));
            if (std::isfinite(v))
                f.PhasePeak = std::max(f.PhasePeak, v);
        }
    const double limit = std::max(EarthShare * f.PhasePeak, EarthFloor);
    for (int i = r.First; i <= r.Last; ++i) {
        const double s = std::fabs(PhaseSum(trace, i));
        if (!std::isfinite(s))
            continue;
        ++f.Samples;
        if (s > f.SumPeak) {
            f.SumPeak = s;
            f.SumSample = i;
        }
        f.Count += s > limit;
    }
    f.Fault = f.PhasePeak > 0 && f.Count >= std::min(2, f.Samples) && f.Count > 0;
    return f;
}

struct PhaseFacts {
    int Far = -1; // 0..2 for U, V, W
    bool Low = false;
    double Peak[3] = {0, 0, 0};
    double Share[3] = {0, 0, 0};
    Range Over;
};

PhaseFacts Phases(const TraceUnits &trace, const Trip &trip) {
    PhaseFacts f;
    f.Over = UpTo(trip, PhaseSamples);
    double vectorPeak = 0;
    for (int i = f.Over.First; i <= f.Over.Last; ++i) {
        const double m = CurrentVector(trace, i);
        if (std::isfinite(m))
            vectorPeak = std::max(vectorPeak, m);
        for (int p = 0; p < 3; ++p) {
            const double v = std::fabs(Value(trace, i, Iu + p));
            if (std::isfinite(v))
                f.Peak[p] = std::max(f.Peak[p], v);
        }
    }
    if (!(vectorPeak > 0) || !std::isfinite(vectorPeak))
        return f;
    // The axis of the current vector (its angle doubled, so that a reversal is the same axis):
    // a phase that carries nothing leaves the other two one current along a fixed axis, while
    // balanced currents turn it.
    double axisCos = 0, axisSin = 0;
    int used = 0;
    for (int i = f.Over.First; i <= f.Over.Last; ++i) {
        const double m = CurrentVector(trace, i);
        if (!std::isfinite(m) || m < PhaseUsedShare * vectorPeak || !(m > 0))
            continue;
        for (int p = 0; p < 3; ++p) {
            const double share = std::fabs(Value(trace, i, Iu + p)) / m;
            if (std::isfinite(share))
                f.Share[p] = std::max(f.Share[p], share);
        }
        const double u = Value(trace, i, Iu), v = Value(trace, i, Iu + 1),
                     w = Value(trace, i, Iu + 2);
        const double angle = std::atan2((v - w) / std::sqrt(3.0), (2 * u - v - w) / 3.0);
        if (std::isfinite(angle)) {
            axisCos += std::cos(2 * angle);
            axisSin += std::sin(2 * angle);
            ++used;
        }
    }
    const bool fixedAxis = used >= 3 && std::hypot(axisCos, axisSin) > PhaseFixedAxis * used;
    for (int p = 0; p < 3 && fixedAxis; ++p) {
        const double a = f.Share[(p + 1) % 3], b = f.Share[(p + 2) % 3];
        if (f.Share[p] < PhaseFarShare && a > PhaseNearShare && b > PhaseNearShare) {
            f.Far = p;
            f.Low = true;
            return f;
        }
    }
    for (int p = 0; p < 3; ++p) {
        const double a = f.Peak[(p + 1) % 3], b = f.Peak[(p + 2) % 3];
        if (f.Peak[p] > PhaseHighFactor * a && f.Peak[p] > PhaseHighFactor * b) {
            f.Far = p;
            return f;
        }
    }
    return f;
}

constexpr int OvercurrentBits = 0x001F; // over current, IGBT, IGBT U/V/W
constexpr int PhaseBits = 0x001C;       // IGBT U/V/W
constexpr int OvervoltageBit = 1 << 5;
constexpr int OverloadBit = 1 << 6;
constexpr int OverspeedBit = 1 << 9;
constexpr int UndervoltageBit = 1 << 11;
constexpr int OverheatBit = 1 << 13;
constexpr int MotorOverheatBit = 1 << 3; // in word 1

int PhaseOfBits(int word0) {
    for (int p = 0; p < 3; ++p)
        if (word0 & (1 << (2 + p)))
            return p;
    return -1;
}

Cause Classify(const TraceUnits &trace, const Trip &trip) {
    if (!trip.First)
        return Cause::None;
    const int w0 = trip.Word0;
    if (w0 & OvercurrentBits) {
        if (Earth(trace, trip).Fault)
            return Cause::GroundFault;
        if ((w0 & PhaseBits) || Phases(trace, trip).Far >= 0)
            return Cause::PhaseFault;
        switch (trip.State.Motion) {
        case DriveMotion::Accelerating:
            return Cause::AccelOvercurrent;
        case DriveMotion::Decelerating:
            return Cause::DecelOvercurrent;
        default:
            return Cause::SteadyOvercurrent;
        }
    }
    if (w0 & OvervoltageBit)
        return trip.State.Power == PowerFlow::Regenerating ||
                       trip.State.Motion == DriveMotion::Decelerating
                   ? Cause::RegenOvervoltage
                   : Cause::SupplyOvervoltage;
    if (w0 & UndervoltageBit)
        return Cause::SupplyUndervoltage;
    if (w0 & OverloadBit)
        return Cause::Overload;
    if (w0 & OverheatBit)
        return Cause::DriveOverheat;
    if (trip.Word1 & MotorOverheatBit)
        return Cause::MotorOverheat;
    if (w0 & OverspeedBit)
        return Cause::Overspeed;
    return Cause::Unknown;
}

// --- evidence -----------------------------------------------------------------------------------

class Evidence {
public:
    Evidence(const TraceUnits &trace, const Trip &trip, bool japanese)
        : trace_(trace), trip_(trip), ja_(japanese) {}

    std::string RefRamp() const {
        const Range r = {trip_.State.First, trip_.State.Last};
        const double slope = Slope(r, [&](int i) { return Value(trace_, i, SpeedRef); });
        if (std::fabs(slope) < ClearRamp)
            return Fill(RefSteadyText, ja_,
                        {Num(Mean(trace_, SpeedRef, r)), Int(r.First), Int(r.Last), Num(slope, 2)});
        return Fill(RefRampText, ja_,
                    {Num(Value(trace_, r.First, SpeedRef)), Num(Value(trace_, r.Last, SpeedRef)),
                     Int(r.First), Int(r.Last), Num(slope, 2)});
    }

    std::string CurrentRise() const {
        const Range r = {0, trip_.Sample};
        int peakAt = r.First;
        double peak = -1;
        for (int i = r.First; i <= r.Last; ++i) {
            const double m = CurrentVector(trace_, i);
            if (std::isfinite(m) && m > peak) {
                peak = m;
                peakAt = i;
            }
        }
        const int from = std::min(trip_.State.First, peakAt);
        return Fill(
            CurrentRiseText, ja_,
            {Num(CurrentVector(trace_, from)), Int(from), Num(peak < 0 ? NaN : peak), Int(peakAt)});
    }

    std::string Torque() const {
        const Range r = {trip_.State.First, trip_.State.Last};
        const int power = static_cast<int>(trip_.State.Power);
        return Fill(TorqueText, ja_,
                    {Num(Mean(trace_, TorqueRef, r)), Num(Mean(trace_, Speed, r)),
                     Fill(PowerTexts[power], ja_)});
    }

    std::string DcChange(Range r) const {
        const double a = Value(trace_, r.First, Dc), b = Value(trace_, r.Last, Dc);
        return Fill(DcChangeText, ja_, {Num(a), Num(b), Percent(b, a), Int(r.First), Int(r.Last)});
    }

    std::string DcLevel() const {
        const double base = Mean(trace_, Dc, {0, std::min(BaselineSamples, trip_.Sample + 1) - 1});
        const double now = Value(trace_, trip_.Sample, Dc);
        return Fill(DcLevelText, ja_, {Num(now), Num(base), Percent(now, base)});
    }

    std::string DcStep() const {
        double step = 0;
        int at = 0;
        for (int i = 1; i <= trip_.Sample; ++i) {
            const double d = Value(trace_, i, Dc) - Value(trace_, i - 1, Dc);
            if (std::isfinite(d) && std::fabs(d) > std::fabs(step)) {
                step = d;
                at = i;
            }
        }
        return Fill(DcStepText, ja_, {Signed(step), Int(std::max(0, at - 1)), Int(at)});
    }

    // The DC voltage over the trace up to the trip, and whether it fell.
    std::string DcFall() const {
        const Range r = {0, trip_.Sample};
        const double a = Mean(trace_, Dc, {0, std::min(BaselineSamples, trip_.Sample + 1) - 1});
        const double b = Value(trace_, r.Last, Dc);
        if (std::isfinite(a) && std::isfinite(b) && b < a * 0.97)
            return DcChange(r);
        return Fill(DcNoFallText, ja_, {Num(a), Num(b)});
    }

    std::string Load() const {
        double sum = 0, peak = 0;
        int n = 0, over = 0;
        for (int i = 0; i <= trip_.Sample; ++i) {
            const double m = CurrentVector(trace_, i);
            if (!std::isfinite(m))
                continue;
            sum += m;
            peak = std::max(peak, m);
            over += m > 100.0;
            ++n;
        }
        return Fill(LoadText, ja_,
                    {Num(n > 0 ? sum / n : NaN), Num(peak), Int(over), Int(trip_.Sample + 1)});
    }

    std::string MotorTemperature() const {
        if (trace_.DriveTypeE == 1)
            return Fill(NoTemperatureText, ja_);
        double peak = -std::numeric_limits<double>::infinity();
        for (int i = 0; i <= trip_.Sample; ++i) {
            const double t = Value(trace_, i, Temperature);
            if (std::isfinite(t))
                peak = std::max(peak, t);
        }
        return Fill(TemperatureText, ja_,
                    {Num(Value(trace_, 0, Temperature)),
                     Num(Value(trace_, trip_.Sample, Temperature)), Num(peak)});
    }

    std::string SpeedOverReference() const {
        // Before the trip: many drives drop the reference at the trip itself.
        const Range r = {trip_.State.First, trip_.State.Last};
        double most = -std::numeric_limits<double>::infinity();
        int at = r.Last;
        for (int i = r.First; i <= r.Last; ++i) {
            const double over =
                std::fabs(Value(trace_, i, Speed)) - std::fabs(Value(trace_, i, SpeedRef));
            if (std::isfinite(over) && over > most) {
                most = over;
                at = i;
            }
        }
        if (!(most > 0))
            return Fill(NoOverspeedText, ja_, {Num(std::isfinite(most) ? most : NaN)});
        return Fill(
            OverspeedText, ja_,
            {Num(Value(trace_, at, Speed)), Num(Value(trace_, at, SpeedRef)), Int(at), Num(most)});
    }

    std::vector<std::string> EarthLines() const {
        const EarthFacts f = Earth(trace_, trip_);
        const double share = f.PhasePeak > 0 ? 100.0 * f.SumPeak / f.PhasePeak : NaN;
        return {Fill(EarthSumText, ja_,
                     {Num(f.SumPeak), Int(f.SumSample), Num(share, 0), Num(f.PhasePeak)}),
                Fill(EarthCountText, ja_, {Int(f.Count), Int(f.Samples)}),
                PhasePeaks(Phases(trace_, trip_))};
    }

    std::string PhasePeaks(const PhaseFacts &f) const {
        return Fill(
            PhasePeaksText, ja_,
            {Int(f.Over.First), Int(f.Over.Last), Num(f.Peak[0]), Num(f.Peak[1]), Num(f.Peak[2])});
    }

    // The phase concerned (for the cause and remedy texts) and its evidence.
    std::vector<std::string> PhaseLines(int *phase) const {
        const PhaseFacts f = Phases(trace_, trip_);
        std::vector<std::string> lines{PhasePeaks(f)};
        const int bitPhase = PhaseOfBits(trip_.Word0);
        *phase = bitPhase >= 0 ? bitPhase : f.Far;
        if (f.Far >= 0 && f.Low)
            lines.push_back(Fill(PhaseShareText, ja_,
                                 {PhaseLetters[f.Far], Num(100 * f.Share[f.Far], 0),
                                  Num(100 * f.Share[(f.Far + 1) % 3], 0),
                                  Num(100 * f.Share[(f.Far + 2) % 3], 0)}));
        if (bitPhase >= 0)
            lines.push_back(Fill(
                PhaseBitText, ja_,
                {PhaseLetters[bitPhase], FlagBitMeaning(0, 2 + bitPhase, ja_, trace_.DriveTypeE)}));
        const EarthFacts earth = Earth(trace_, trip_);
        lines.push_back(Fill(PhaseNoEarthText, ja_, {Num(earth.SumPeak)}));
        if (f.Far < 0)
            lines.push_back(Fill(PhaseUnseenText, ja_));
        return lines;
    }

private:
    static std::string Percent(double now, double base) {
        if (!std::isfinite(now) || !std::isfinite(base) || base == 0)
            return "n/a";
        return Signed(100.0 * (now - base) / std::fabs(base));
    }
    static std::string Signed(double v) {
        const std::string text = Num(v);
        return text[0] == '-' || text == "n/a" ? text : "+" + text;
    }

    const TraceUnits &trace_;
    const Trip &trip_;
    bool ja_;
};

std::string EnglishOrJapanese(const Text &text, bool japanese, const std::string &phase = {}) {
    return Fill(text, japanese, {phase});
}

} // namespace

const char *DriveMotionText(DriveMotion motion) {
    return MotionTexts[static_cast<int>(motion)].English;
}

const char *PowerFlowText(PowerFlow power) {
    return power == PowerFlow::NoTorque ? "-" : PowerTexts[static_cast<int>(power)].English;
}

TripState StateAtTrip(const TraceUnits &trace, int tripSample) {
    const Range r = Before(tripSample);
    TripState state;
    state.First = r.First;
    state.Last = r.Last;

    // A reference running in reverse accelerates as it falls: judge its magnitude's slope.
    const double meanRef = Mean(trace, SpeedRef, r);
    const int direction = std::isfinite(meanRef) && meanRef < -StoppedLevel ? -1 : 1;
    const double slope = direction * Slope(r, [&](int i) { return Value(trace, i, SpeedRef); });
    if (slope >= ClearRamp)
        state.Motion = DriveMotion::Accelerating;
    else if (slope <= -ClearRamp)
        state.Motion = DriveMotion::Decelerating;
    else if (MaxAbs(trace, Speed, r) < StoppedLevel && MaxAbs(trace, SpeedRef, r) < StoppedLevel)
        state.Motion = DriveMotion::Stopped;
    else
        state.Motion = DriveMotion::Steady;

    const double torque = Mean(trace, TorqueRef, r);
    if (!std::isfinite(torque) || std::fabs(torque) < TorqueLevel) {
        state.Power = PowerFlow::NoTorque;
        return state;
    }
    double speed = Mean(trace, Speed, r);
    if (!std::isfinite(speed) || std::fabs(speed) < DirectionLevel)
        speed = meanRef; // at standstill the reference says which way the torque drives
    // Torque at standstill without a reference drives the motor.
    const int sign = std::isfinite(speed) && std::fabs(speed) >= DirectionLevel ? Sign(speed) : 1;
    state.Power = Sign(torque) * sign > 0 ? PowerFlow::Motoring : PowerFlow::Regenerating;
    return state;
}

std::vector<Onset> Onsets(const TraceUnits &trace, bool japanese) {
    std::vector<Onset> onsets;
    const int language = japanese ? LanguageJapanese : LanguageEnglish;
    const int type = trace.DriveTypeE == 1 ? 1 : 0;
    std::array<double, SampleCount> x{};
    for (int i = 0; i < SampleCount; ++i)
        x[static_cast<std::size_t>(i)] = CurrentVector(trace, i);
    if (const auto s = OnsetSample(x))
        onsets.push_back({CurrentVectorChannel, *s,
                          DerivedChannelName(DerivedChannel::CurrentVector, japanese)});
    // A type E drive's channel 12 is the control phase, an angle that turns with the motor:
    // it has no baseline to leave.
    const int channels = type == 1 ? ChannelCount - 1 : ChannelCount;
    for (int c = 3; c < channels; ++c) {
        for (int i = 0; i < SampleCount; ++i)
            x[static_cast<std::size_t>(i)] = Value(trace, i, c);
        if (const auto s = OnsetSample(x))
            onsets.push_back({c + 1, *s, DefaultChannelName(c + 1, language, type)});
    }
    std::stable_sort(onsets.begin(), onsets.end(),
                     [](const Onset &a, const Onset &b) { return a.Sample < b.Sample; });
    return onsets;
}

std::array<float, SampleCount> DerivedSeries(const TraceUnits &trace, DerivedChannel channel) {
    std::array<float, SampleCount> y{};
    for (int i = 0; i < SampleCount; ++i)
        y[static_cast<std::size_t>(i)] =
            ToFloat(channel == DerivedChannel::CurrentVector ? CurrentVector(trace, i)
                                                             : PhaseSum(trace, i));
    return y;
}

std::string DerivedChannelName(DerivedChannel channel, bool japanese) {
    if (channel == DerivedChannel::CurrentVector)
        return japanese ? "電流ベクトル(%)" : "|I|(%)";
    return japanese ? "相電流和(%)" : "Iu+Iv+Iw(%)";
}

ChartFill DerivedChartFill(const TraceUnits &trace, DerivedChannel channel, bool japanese) {
    ChartFill fill;
    fill.Title = DerivedChannelName(channel, japanese);
    fill.Y = DerivedSeries(trace, channel);
    FitChartRange(fill);
    fill.LeftMarginPercent = LeftMarginPercent(fill.Max, fill.Min);
    return fill;
}

RangeStatistics CursorRangeStatistics(const std::array<float, SampleCount> &y, int a, int b) {
    RangeStatistics s;
    const int first = std::max(std::min(a, b), 0);
    const int last = std::min(std::max(a, b), SampleCount - 1);
    double sum = 0, squares = 0;
    for (int i = first; i <= last; ++i) {
        ++s.Samples;
        const double v = y[static_cast<std::size_t>(i)];
        if (!std::isfinite(v))
            continue;
        if (s.Finite == 0 || v < s.Min)
            s.Min = v;
        if (s.Finite == 0 || v > s.Max)
            s.Max = v;
        sum += v;
        squares += v * v;
        ++s.Finite;
    }
    if (s.Finite > 0) {
        s.Mean = sum / s.Finite;
        s.Rms = std::sqrt(squares / s.Finite);
    }
    return s;
}

const std::vector<std::string_view> &CauseIds() {
    static const std::vector<std::string_view> ids = [] {
        std::vector<std::string_view> all;
        for (int c = 0; c <= static_cast<int>(Cause::None); ++c)
            all.push_back(Entry(static_cast<Cause>(c)).Id);
        return all;
    }();
    return ids;
}

std::string_view LikelyCauseId(const TraceUnits &trace, const std::vector<FlagEvent> &events) {
    return Entry(Classify(trace, FindTrip(trace, events))).Id;
}

Diagnosis Diagnose(const TraceUnits &trace, bool japanese) {
    const std::vector<FlagEvent> events = FlagEvents(trace.Record, japanese, trace.DriveTypeE);
    const Trip trip = FindTrip(trace, events);
    const Cause cause = Classify(trace, trip);
    const CauseEntry &entry = Entry(cause);

    Diagnosis d;
    d.FirstFault = trip.First;
    d.Trigger = 100LL - trace.Record.Header[0];
    d.State = trip.State;
    d.Onsets = Onsets(trace, japanese);
    d.CauseId = entry.Id;

    const Evidence ev(trace, trip, japanese);
    std::string phase;
    switch (cause) {
    case Cause::AccelOvercurrent:
    case Cause::DecelOvercurrent:
        d.Evidence = {ev.RefRamp(), ev.CurrentRise(), ev.Torque()};
        break;
    case Cause::SteadyOvercurrent:
        d.Evidence = {ev.RefRamp(), ev.CurrentRise(), ev.Torque()};
        break;
    case Cause::GroundFault:
        d.Evidence = ev.EarthLines();
        break;
    case Cause::PhaseFault: {
        int p = -1;
        d.Evidence = ev.PhaseLines(&p);
        phase = p >= 0 ? PhaseLetters[p] : "?";
        break;
    }
    case Cause::RegenOvervoltage:
        d.Evidence = {ev.DcChange(UpTo(trip, StateSamples + 1)), ev.Torque(), ev.RefRamp()};
        break;
    case Cause::SupplyOvervoltage:
        d.Evidence = {ev.DcLevel(), ev.DcStep(), ev.Torque()};
        break;
    case Cause::SupplyUndervoltage:
        d.Evidence = {ev.DcFall(), ev.Load(), ev.Torque()};
        break;
    case Cause::Overload:
        d.Evidence = {ev.Load(), ev.RefRamp(), ev.Torque()};
        break;
    case Cause::DriveOverheat:
        d.Evidence = {Fill(NoHeatsinkText, japanese), ev.Load()};
        break;
    case Cause::MotorOverheat:
        d.Evidence = {ev.MotorTemperature(), ev.Load()};
        break;
    case Cause::Overspeed:
        d.Evidence = {ev.SpeedOverReference(), ev.Torque()};
        break;
    case Cause::Unknown: {
        const FlagEvent &f = *trip.First;
        d.Cause = f.Meaning.empty() ? Fill(UnknownCauseText, japanese, {Int(f.Word), Int(f.Bit)})
                                    : f.Meaning;
        d.Evidence = {Fill(
            UnknownText, japanese,
            {Int(f.Word), Int(f.Bit), Int(f.Sample), TriggerRelativeText(f.Sample, d.Trigger)})};
        return d;
    }
    case Cause::None:
        d.Cause = Fill(entry.Line, japanese);
        d.Evidence = {Fill(NoneText, japanese)};
        return d;
    }
    d.Cause = EnglishOrJapanese(entry.Line, japanese, phase);
    for (const Text &remedy : entry.Remedies)
        d.Remedies.push_back(EnglishOrJapanese(remedy, japanese, phase));
    return d;
}

std::string TriggerRelativeText(int sample, long long trigger) {
    char text[32];
    std::snprintf(text, sizeof text, "%+lld", static_cast<long long>(sample) - trigger);
    return text;
}

std::vector<std::string> DiagnosisFieldLines(const Diagnosis &d) {
    std::vector<std::string> lines;
    if (d.FirstFault) {
        const FlagEvent &f = *d.FirstFault;
        lines.push_back("first-fault\t" + Int(f.Sample) + '\t' +
                        TriggerRelativeText(f.Sample, d.Trigger) + '\t' + Int(f.Word) + '\t' +
                        Int(f.Bit) + '\t' + f.Meaning);
    }
    lines.push_back(std::string("state\t") + DriveMotionText(d.State.Motion) + '\t' +
                    PowerFlowText(d.State.Power));
    for (const Onset &o : d.Onsets)
        lines.push_back("onset\t" + (o.Channel == CurrentVectorChannel ? "I" : Int(o.Channel)) +
                        '\t' + Int(o.Sample) + '\t' + TriggerRelativeText(o.Sample, d.Trigger) +
                        '\t' + o.Name);
    lines.push_back("cause\t" + d.CauseId + '\t' + d.Cause);
    for (const std::string &e : d.Evidence)
        lines.push_back("evidence\t" + e);
    for (const std::string &r : d.Remedies)
        lines.push_back("remedy\t" + r);
    return lines;
}

DiagnosisParts DiagnosisTextParts(const Diagnosis &d, bool japanese) {
    DiagnosisParts text;
    text.Cause.push_back(Fill(CauseLabel, japanese, {d.Cause, d.CauseId}));
    for (const std::string &e : d.Evidence)
        text.Cause.push_back(Fill(EvidenceLabel, japanese, {e}));
    for (const std::string &r : d.Remedies)
        text.Cause.push_back(Fill(RemedyLabel, japanese, {r}));
    if (d.FirstFault) {
        const FlagEvent &f = *d.FirstFault;
        text.FirstFault = Fill(FirstFaultLabel, japanese,
                               {Int(f.Sample), TriggerRelativeText(f.Sample, d.Trigger),
                                Int(f.Word), Int(f.Bit), f.Meaning});
    }
    text.State = Fill(StateLabel, japanese,
                      {Fill(MotionTexts[static_cast<int>(d.State.Motion)], japanese),
                       Fill(PowerTexts[static_cast<int>(d.State.Power)], japanese)});
    text.MovedFirst = Fill(d.Onsets.empty() ? NothingMovedLabel : MovedFirstLabel, japanese);
    for (const Onset &o : d.Onsets)
        text.Onsets.push_back(
            Fill(OnsetLabel, japanese,
                 {o.Name, Int(o.Sample), TriggerRelativeText(o.Sample, d.Trigger)}));
    return text;
}

std::vector<std::string> DiagnosisTextLines(const Diagnosis &d, bool japanese) {
    DiagnosisParts text = DiagnosisTextParts(d, japanese);
    std::vector<std::string> lines = std::move(text.Cause);
    if (!text.FirstFault.empty())
        lines.push_back(std::move(text.FirstFault));
    lines.push_back(std::move(text.State));
    lines.push_back(std::move(text.MovedFirst));
    lines.insert(lines.end(), text.Onsets.begin(), text.Onsets.end());
    return lines;
}
