#include "DriveScenarios.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace {

using std::numbers::pi;

// Engineering values of one sample before the drive turns them into its raw units. Currents,
// speeds and torque in %, voltages in V, temperature in degrees Celsius.
struct Point {
    double Ref = 0;
    double Speed = 0;
    double Torque = 0;
    double Dc = 650;
    double Temperature = 60;
    double Earth = 0;   // current leaking to earth, added to phase U
    int OpenPhase = -1; // 0..2: that phase carries no current
};

struct Story {
    Point Points[SampleCount];
    int Trip = 80; // the sample the fault bits rise at; SampleCount for none
    int Word0 = 0; // fault bits from the trip on
    int Word1 = 0;
    bool TypeE = true;
    double Supply = 650; // DC voltage the rectifier holds after the trip
};

// Magnetising current of the motor in %: |I| at no load.
constexpr double MagnetisingCurrent = 35.0;
// Output frequency in Hz at 100 % speed and the time between samples in seconds.
constexpr double BaseFrequency = 50.0;
constexpr double SampleTime = 0.002;

// A small, repeatable disturbance in -1..1, as measured signals carry.
struct Noise {
    std::uint32_t state = 12345;
    double operator()() {
        state = state * 1664525u + 1013904223u;
        return static_cast<double>(state >> 8) / double(1u << 23) - 1.0;
    }
};

double Ramp(int i, int from, double slope) {
    return i > from ? slope * (i - from) : 0.0;
}

// Speed that follows its reference two samples late, as a drive with a stiff speed loop does.
void FollowReference(Story &s) {
    for (int i = 0; i < SampleCount; ++i)
        s.Points[i].Speed = s.Points[std::max(0, i - 2)].Ref;
}

Story AccelOvercurrent() {
    Story s;
    s.Word0 = 0x0001;
    for (int i = 0; i < SampleCount; ++i) {
        Point &p = s.Points[i];
        p.Ref = 20 + Ramp(i, 30, 1.0);
        // Load plus the torque the acceleration of a heavy inertia asks for, climbing as the
        // machine binds.
        p.Torque = 40 + (i > 30 ? 60 : 0) + 160 * std::pow(std::max(0, i - 30) / 50.0, 4.0);
        p.Dc = 650 - 0.15 * p.Torque;
    }
    FollowReference(s);
    return s;
}

Story DecelOvercurrent() {
    Story s;
    s.Word0 = 0x0001;
    for (int i = 0; i < SampleCount; ++i) {
        Point &p = s.Points[i];
        p.Ref = 85 - Ramp(i, 30, 1.2);
        p.Torque = 20 - (i > 30 ? 110 : 0) - 150 * std::pow(std::max(0, i - 30) / 50.0, 4.0);
        // The braking resistor holds the DC voltage below the over-voltage level.
        p.Dc = 650 + std::min(80.0, 0.02 * std::max(0.0, -p.Torque) * p.Ref);
    }
    FollowReference(s);
    return s;
}

Story SteadyOvercurrent() {
    Story s;
    s.Trip = 78;
    s.Word0 = 0x0001;
    for (int i = 0; i < SampleCount; ++i) {
        Point &p = s.Points[i];
        p.Ref = 60;
        // A shock load at sample 70: the speed dips and the speed loop asks for ever more torque.
        p.Torque = i < 70 ? 50 : 140 + 15 * (i - 70);
        p.Speed = i < 70 ? 60 : 60 - 0.6 * (i - 70);
        p.Dc = 650 - 0.15 * p.Torque;
    }
    return s;
}

Story GroundFault() {
    Story s;
    s.Word0 = 0x0001;
    for (int i = 0; i < SampleCount; ++i) {
        Point &p = s.Points[i];
        p.Ref = 50;
        p.Speed = 50;
        p.Torque = 60;
        // The motor cable's insulation breaks down: a growing current to earth.
        p.Earth = i < 72 ? 0 : 6.0 + 6.0 * (i - 72);
        p.Dc = 641;
    }
    return s;
}

Story PhaseFault() {
    Story s;
    s.Trip = 75;
    s.Word0 = 0x0010; // IGBT W
    for (int i = 0; i < SampleCount; ++i) {
        Point &p = s.Points[i];
        p.Ref = 55;
        p.Speed = 55;
        p.Torque = 70 + (i >= 62 ? 4.0 * (i - 62) : 0);
        // Phase W opens: the motor runs on two phases, which carry the whole current.
        p.OpenPhase = i >= 62 ? 2 : -1;
        p.Dc = 640;
    }
    return s;
}

Story RegenOvervoltage() {
    Story s;
    s.Word0 = 0x0020;
    double dc = 650;
    for (int i = 0; i < SampleCount; ++i) {
        Point &p = s.Points[i];
        p.Ref = 90 - Ramp(i, 40, 0.9);
        p.Torque = i > 40 ? -70 : 25;
        // Without a braking resistor the regenerated energy charges the DC capacitors.
        if (i > 42)
            dc += 0.0045 * 70 * p.Ref * 0.5;
        p.Dc = dc;
    }
    FollowReference(s);
    for (int i = 0; i < SampleCount; ++i)
        if (s.Points[i].Dc >= 800) {
            s.Trip = i;
            break;
        }
    s.Supply = 650;
    return s;
}

Story SupplyOvervoltage() {
    Story s;
    s.Trip = 76;
    s.Word0 = 0x0020;
    for (int i = 0; i < SampleCount; ++i) {
        Point &p = s.Points[i];
        p.Ref = 50;
        p.Speed = 50;
        p.Torque = 40;
        // A surge on the supply at sample 70 lifts the DC voltage past the trip level.
        p.Dc = i < 70 ? 652 : 760 + 8.0 * (i - 70);
    }
    s.Supply = 770;
    return s;
}

Story SupplyUndervoltage() {
    Story s;
    s.Word0 = 0x0800;
    for (int i = 0; i < SampleCount; ++i) {
        Point &p = s.Points[i];
        p.Ref = 50;
        p.Speed = 50;
        p.Torque = 60;
        // The supply fails at sample 64: the load drains the DC capacitors.
        p.Dc = i < 64 ? 648 : 648 - 11.5 * (i - 64);
    }
    s.Supply = 300;
    return s;
}

Story Overload() {
    Story s;
    s.Trip = 90;
    s.Word0 = 0x0040;
    for (int i = 0; i < SampleCount; ++i) {
        Point &p = s.Points[i];
        p.Ref = 70;
        p.Speed = 69.5;
        p.Torque = 128 + 2.0 * std::sin(i * 0.3);
        p.Dc = 628;
    }
    return s;
}

Story DriveOverheat() {
    Story s;
    s.Trip = 85;
    s.Word0 = 0x2000;
    for (int i = 0; i < SampleCount; ++i) {
        Point &p = s.Points[i];
        p.Ref = 60;
        p.Speed = 60;
        p.Torque = 95;
        p.Dc = 635;
    }
    return s;
}

Story MotorOverheat() {
    Story s;
    s.Trip = 85;
    s.Word1 = 0x0008;
    s.TypeE = false; // a drive that records the motor temperature
    for (int i = 0; i < SampleCount; ++i) {
        Point &p = s.Points[i];
        // Long running at low speed with a self-cooled motor under full load.
        p.Ref = 25;
        p.Speed = 24.5;
        p.Torque = 100;
        p.Dc = 632;
        p.Temperature = 146.0 + 0.05 * i;
    }
    return s;
}

Story Overspeed() {
    Story s;
    s.Word0 = 0x0200;
    for (int i = 0; i < SampleCount; ++i) {
        Point &p = s.Points[i];
        p.Ref = 90;
        // An overhauling load drives the motor past its reference; braking torque is at its
        // limit.
        p.Speed = i < 60 ? 90 : 90 + 0.75 * (i - 60);
        p.Torque = i < 60 ? 10 : -150;
        p.Dc = i < 60 ? 650 : 650 + 3.0 * (i - 60);
    }
    return s;
}

Story UnknownFault() {
    Story s;
    s.Trip = 70;
    s.Word0 = 0x4000; // EEPROM error
    for (int i = 0; i < SampleCount; ++i) {
        Point &p = s.Points[i];
        p.Ref = 40;
        p.Speed = 40;
        p.Torque = 30;
        p.Dc = 650;
    }
    return s;
}

Story NoFault() {
    Story s;
    s.Trip = SampleCount;
    for (int i = 0; i < SampleCount; ++i) {
        Point &p = s.Points[i];
        p.Ref = 30 + Ramp(i, 20, 0.5) - Ramp(i, 70, 0.5);
        p.Torque = 30 + (i > 20 && i <= 70 ? 25 : 0);
        p.Dc = 650 - 0.15 * p.Torque;
    }
    FollowReference(s);
    return s;
}

struct Scenario {
    std::string_view Name;
    Story (*Make)();
};

constexpr Scenario Scenarios[] = {
    {"accel-overcurrent", AccelOvercurrent},
    {"decel-overcurrent", DecelOvercurrent},
    {"steady-overcurrent", SteadyOvercurrent},
    {"ground-fault", GroundFault},
    {"phase-fault", PhaseFault},
    {"regen-overvoltage", RegenOvervoltage},
    {"supply-overvoltage", SupplyOvervoltage},
    {"supply-undervoltage", SupplyUndervoltage},
    {"overload", Overload},
    {"drive-overheat", DriveOverheat},
    {"motor-overheat", MotorOverheat},
    {"overspeed", Overspeed},
    {"unknown", UnknownFault},
    {"none", NoFault},
};

// After the trip the gates are off: no current, no torque, no output; the motor coasts and the
// command is withdrawn.
void TripOff(Story &s) {
    for (int i = std::max(s.Trip, 0); i < SampleCount; ++i) {
        Point &p = s.Points[i];
        const Point &before = s.Points[std::max(0, i - 1)];
        p.Ref = 0;
        p.Torque = 0;
        p.Earth = 0;
        p.Speed = i == s.Trip ? before.Speed : before.Speed * 0.985;
        p.Dc = i == s.Trip ? p.Dc : before.Dc + (s.Supply - before.Dc) * 0.08;
        p.Temperature = before.Temperature;
    }
}

void Encode(const Story &s, TDriveModel &drive) {
    float value[SampleCount][ChannelCount];
    std::int32_t flag[SampleCount][FlagWordCount];
    const int type = s.TypeE ? 1 : 0;
    const auto raw = [&](int c, double v) {
        return static_cast<float>(std::clamp(v / ChannelFactor(c, type), -32768.0, 32767.0));
    };
    Noise noise;
    double angle = 0;
    for (int i = 0; i < SampleCount; ++i) {
        const Point &p = s.Points[i];
        const bool running = i < s.Trip;
        const double slip = running ? 0.02 * p.Torque : 0; // % of the base frequency
        const double frequency = running ? p.Speed + slip : 0;
        angle += 2 * pi * frequency / 100.0 * BaseFrequency * SampleTime;
        // Current: magnetising and torque parts at right angles.
        const double amplitude = running ? std::hypot(MagnetisingCurrent, p.Torque) : 0.0;
        double phase[3];
        for (int k = 0; k < 3; ++k)
            phase[k] = amplitude * std::cos(angle - 2 * pi * k / 3);
        if (running && p.OpenPhase >= 0) {
            // The current of the open phase flows back through the other two in series.
            const int open = p.OpenPhase;
            const int a = (open + 1) % 3, b = (open + 2) % 3;
            const double line = (phase[a] - phase[b]) * 0.5 * 1.15;
            phase[a] = line;
            phase[b] = -line;
            phase[open] = 0;
        }
        phase[0] += p.Earth;
        for (int k = 0; k < 3; ++k)
            value[i][k] = raw(k, phase[k] + (running ? 0.4 * noise() : 0.02 * noise()));
        value[i][3] = raw(3, p.Dc + 1.5 * noise());
        value[i][4] = raw(4, running ? 400.0 * std::min(1.0, frequency / 100.0) : 0);
        value[i][5] = raw(5, p.Speed + 0.05 * noise());
        value[i][6] = raw(6, p.Ref);
        value[i][7] = raw(7, p.Torque);
        value[i][8] = raw(8, frequency);
        if (s.TypeE) {
            value[i][9] = raw(9, running ? MagnetisingCurrent : 0);
            value[i][10] = raw(10, running ? p.Torque : 0);
            value[i][11] = raw(11, std::remainder(angle * 180 / pi, 360.0));
        } else {
            value[i][9] = raw(9, slip);
            value[i][10] = raw(10, running ? 100.0 : 0);
            value[i][11] = raw(11, p.Temperature);
        }
        const bool faulted = i >= s.Trip;
        flag[i][0] = faulted ? s.Word0 : 0;
        flag[i][1] = faulted ? s.Word1 : 0;
        flag[i][2] = running ? 0x0083 : 0x0001; // command, run, gate on
        flag[i][3] = running ? 0x0081 : 0x0001; // start command, pre-flux command
    }
    drive.newImage = EncodeTraceImage(value, flag);
}

} // namespace

const std::vector<std::string_view> &ScenarioNames() {
    static const std::vector<std::string_view> names = [] {
        std::vector<std::string_view> all;
        for (const Scenario &scenario : Scenarios)
            all.push_back(scenario.Name);
        return all;
    }();
    return names;
}

bool FillScenarioTrace(TDriveModel &drive, std::string_view name) {
    for (const Scenario &scenario : Scenarios) {
        if (scenario.Name != name)
            continue;
        Story story = scenario.Make();
        TripOff(story);
        Encode(story, drive);
        // Trigger at the trip (the middle of the trace without one); the stamps of a trip on
        // 2024/06/12 at 10:41 by both clocks.
        const int trigger = std::clamp(story.Trip, 0, SampleCount) == SampleCount ? 50 : story.Trip;
        drive.newHeader = {
            static_cast<std::uint8_t>(100 - trigger), 24, 6, 12, 10, 41, 24, 6, 12, 10, 41};
        drive.romId = story.TypeE ? 'E' : 'V';
        return true;
    }
    return false;
}
