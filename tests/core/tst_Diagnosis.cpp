// The trip explained: the likely cause and state of made-up trips of every kind, in raw units of
// either drive type and in engineering units; where a step and a ramp start; the derived
// channels and cursor statistics; and the simulator's scenarios diagnosed as what they show.

#include "Diagnosis.h"
#include "DriveScenarios.h"
#include "Protocol.h"

#include <QTest>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>

namespace {

using std::numbers::pi;

// Engineering values of a made-up trip, sample by sample; the currents turn at 25 degrees per
// sample with a little noise, gates off from the trip on.
struct Story {
    double Ref[SampleCount], Speed[SampleCount], Torque[SampleCount], Amp[SampleCount];
    double Dc[SampleCount], Temp[SampleCount], Earth[SampleCount];
    int OpenPhase = -1, OpenFrom = SampleCount;
    int Trip = 70, Word0 = 0, Word1 = 0;

    Story() {
        for (int i = 0; i < SampleCount; ++i) {
            Ref[i] = Speed[i] = 50;
            Torque[i] = 40;
            Amp[i] = 55;
            Dc[i] = 560;
            Temp[i] = 70;
            Earth[i] = 0;
        }
    }
    void Each(const std::function<void(int)> &f) {
        for (int i = 0; i < SampleCount; ++i)
            f(i);
    }

    TraceUnits Trace(int typeE, bool normalized) const {
        TraceUnits t;
        ResetRecord(t.Record, typeE);
        t.DriveTypeE = typeE;
        t.Normalized = normalized;
        t.Record.Header[0] = 100 - (Trip >= SampleCount ? 50 : Trip);
        unsigned noise = 7;
        for (int i = 0; i < SampleCount; ++i) {
            const bool on = i < Trip;
            double v[ChannelCount] = {};
            for (int k = 0; k < 3; ++k) {
                noise = noise * 1103515245u + 12345u;
                v[k] = on ? Amp[i] * std::cos(i * 25 * pi / 180 - 2 * pi * k / 3) +
                                0.6 * ((noise >> 16) % 100 / 50.0 - 1)
                          : 0;
            }
            if (on && i >= OpenFrom) {
                const int a = (OpenPhase + 1) % 3, b = (OpenPhase + 2) % 3;
                v[a] = (v[a] - v[b]) / 2;
                v[b] = -v[a];
                v[OpenPhase] = 0;
            }
            v[0] += on ? Earth[i] : 0;
            const double values[] = {Dc[i],           on ? Speed[i] * 4 : 0, Speed[i],
                                     on ? Ref[i] : 0, on ? Torque[i] : 0,    on ? Speed[i] : 0};
            for (int c = 3; c < 9; ++c)
                v[c] = values[c - 3];
            v[11] = typeE == 1 ? std::fmod(i * 25.0, 360.0) - 180 : Temp[i];
            for (int c = 0; c < ChannelCount; ++c)
                t.Record.Value[i][c] = static_cast<float>(
                    normalized ? v[c] : std::round(v[c] / ChannelFactor(c, typeE)));
            t.Record.Flag[i][0] = i >= Trip ? Word0 : 0;
            t.Record.Flag[i][1] = i >= Trip ? Word1 : 0;
            t.Record.Flag[i][2] = on ? 0x0083 : 0x0001;
        }
        return t;
    }
};

double After(int i, int from, double slope) {
    return i > from ? slope * (i - from) : 0;
}

Story Make(const QString &name) {
    Story s;
    if (name == "accel-overcurrent") {
        s.Word0 = 0x0001;
        s.Each([&](int i) {
            s.Ref[i] = 10 + After(i, 20, 0.8);
            s.Speed[i] = s.Ref[i] - 1.5;
            s.Torque[i] = 90;
            s.Amp[i] = 95 + After(i, 50, 6);
        });
    } else if (name == "decel-overcurrent") {
        s.Word0 = 0x0001;
        s.Each([&](int i) {
            s.Ref[i] = 90 - After(i, 20, 0.7);
            s.Speed[i] = s.Ref[i] + 1.5;
            s.Torque[i] = -70;
            s.Amp[i] = 80 + After(i, 55, 8);
        });
    } else if (name == "steady-overcurrent") {
        s.Word0 = 0x0002; // IGBT: the over-current family
        s.Each([&](int i) { s.Torque[i] = i < 62 ? 40 : 180, s.Amp[i] = i < 62 ? 55 : 190; });
    } else if (name == "ground-fault") {
        s.Word0 = 0x0001;
        s.Each([&](int i) { s.Earth[i] = After(i, 60, 3), s.Amp[i] = 60 + After(i, 60, 8); });
    } else if (name == "phase-fault") {
        s.Word0 = 0x0008; // IGBT V, currents balanced
    } else if (name == "phase-fault open") {
        s.Word0 = 0x0001;
        s.OpenPhase = 0;
        s.OpenFrom = 55;
        s.Each([&](int i) { s.Amp[i] = 55 + After(i, 55, 8); });
    } else if (name == "regen-overvoltage") {
        s.Word0 = 0x0020; // an overhauling load at steady speed
        s.Each([&](int i) { s.Torque[i] = -50, s.Dc[i] = 560 + After(i, 55, 12); });
    } else if (name == "supply-overvoltage") {
        s.Word0 = 0x0020;
        s.Each([&](int i) { s.Dc[i] = i < 65 ? 560 : 690; });
    } else if (name == "supply-undervoltage") {
        s.Word0 = 0x0800;
        s.Each([&](int i) { s.Dc[i] = 560 - After(i, 58, 12); });
    } else if (name == "supply-undervoltage stopped") {
        s.Word0 = 0x0800;
        s.Each([&](int i) {
            s.Ref[i] = s.Speed[i] = s.Torque[i] = 0;
            s.Amp[i] = 0;
            s.Dc[i] = 560 - After(i, 50, 8);
        });
    } else if (name == "overload") {
        s.Word0 = 0x0040;
        s.Trip = 92;
        s.Each([&](int i) { s.Torque[i] = 135, s.Amp[i] = 140; });
    } else if (name == "drive-overheat") {
        s.Word0 = 0x2000;
    } else if (name == "motor-overheat") {
        s.Word1 = 0x0008;
        s.Each([&](int i) { s.Temp[i] = 140 + 0.1 * i; });
    } else if (name == "overspeed") {
        s.Word0 = 0x0200;
        s.Each([&](int i) { s.Speed[i] = 50 + After(i, 50, 1), s.Torque[i] = -120; });
    } else if (name == "unknown") {
        s.Word0 = 0x1000; // over torque: no rule
    } else if (name == "none") {
        s.Trip = SampleCount;
    }
    return s;
}

} // namespace

class tst_Diagnosis : public QObject {
    Q_OBJECT
private slots:
    void causes_data() {
        QTest::addColumn<QString>("story");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("state");
        const char *rows[][3] = {
            {"accel-overcurrent", "accel-overcurrent", "accelerating motoring"},
            {"decel-overcurrent", "decel-overcurrent", "decelerating regenerating"},
            {"steady-overcurrent", "steady-overcurrent", "steady motoring"},
            {"ground-fault", "ground-fault", "steady motoring"},
            {"phase-fault", "phase-fault", "steady motoring"},
            {"phase-fault open", "phase-fault", "steady motoring"},
            {"regen-overvoltage", "regen-overvoltage", "steady regenerating"},
            {"supply-overvoltage", "supply-overvoltage", "steady motoring"},
            {"supply-undervoltage", "supply-undervoltage", "steady motoring"},
            {"supply-undervoltage stopped", "supply-undervoltage", "stopped -"},
            {"overload", "overload", "steady motoring"},
            {"drive-overheat", "drive-overheat", "steady motoring"},
            {"motor-overheat", "motor-overheat", "steady motoring"},
            {"overspeed", "overspeed", "steady regenerating"},
            {"unknown", "unknown", "steady motoring"},
            {"none", "none", "steady motoring"},
        };
        for (const auto &row : rows)
            for (const char *units : {"type E raw", "standard raw", "standard normalised"})
                QTest::addRow("%s, %s", row[0], units) << row[0] << row[1] << row[2];
    }
    void causes() {
        QFETCH(QString, story);
        QFETCH(QString, id);
        QFETCH(QString, state);
        const QString units = QTest::currentDataTag();
        const TraceUnits trace =
            Make(story).Trace(units.contains("type E"), units.contains("normalised"));
        for (const bool japanese : {false, true}) {
            const Diagnosis d = Diagnose(trace, japanese);
            QCOMPARE(QString::fromStdString(d.CauseId), id);
            QCOMPARE(
                QString("%1 %2").arg(DriveMotionText(d.State.Motion), PowerFlowText(d.State.Power)),
                state);
            QVERIFY(!d.Evidence.empty() && d.Evidence.size() <= 4);
            const bool remedies = id != "unknown" && id != "none";
            QVERIFY(remedies ? d.Remedies.size() >= 1 && d.Remedies.size() <= 3
                             : d.Remedies.empty());
            // Japanese texts are Japanese; English ones plain ASCII but for units.
            const QString text = QString::fromStdString(d.Cause + d.Evidence[0]);
            const bool ascii = std::all_of(text.begin(), text.end(), [](QChar c) {
                return c.unicode() < 128 || c == QChar(0x2103);
            });
            if (id != "unknown")
                QVERIFY2(ascii != japanese, qPrintable(text));
        }
        const std::string_view likely =
            LikelyCauseId(trace, FlagEvents(trace.Record, false, trace.DriveTypeE));
        QCOMPARE(QString::fromUtf8(likely.data(), static_cast<qsizetype>(likely.size())), id);
    }

    void motorTemperatureOnlyWhereRecorded() {
        const Story s = Make("motor-overheat");
        const Diagnosis standard = Diagnose(s.Trace(0, false), false);
        QVERIFY2(standard.Evidence[0].find("140.0 ℃ at the start to 147.0 ℃") != std::string::npos,
                 standard.Evidence[0].c_str());
        const Diagnosis typeE = Diagnose(s.Trace(1, false), false);
        QVERIFY(typeE.Evidence[0].find("cannot tell") != std::string::npos);
    }

    void stateOfARamp_data() {
        QTest::addColumn<double>("from");
        QTest::addColumn<double>("slope");
        QTest::addColumn<QString>("motion");
        QTest::newRow("0.5 %/sample up") << 20.0 << 0.5 << "accelerating";
        QTest::newRow("0.5 %/sample down") << 60.0 << -0.5 << "decelerating";
        QTest::newRow("0.3 %/sample: not clear") << 40.0 << 0.3 << "steady";
        QTest::newRow("reverse, speeding up") << -20.0 << -0.8 << "accelerating";
        QTest::newRow("at standstill") << 0.0 << 0.0 << "stopped";
    }
    void stateOfARamp() {
        QFETCH(double, from);
        QFETCH(double, slope);
        QFETCH(QString, motion);
        Story s = Make("none");
        s.Each([&](int i) { s.Ref[i] = s.Speed[i] = from + slope * i; });
        QCOMPARE(QString(DriveMotionText(Diagnose(s.Trace(1, true), false).State.Motion)), motion);
    }

    void onsetOfASteppedStory() {
        // The supply steps up, then the torque reference, the current and the speed follow.
        Story s = Make("none");
        s.Each([&](int i) {
            s.Dc[i] = i < 40 ? 560 : 640;
            s.Torque[i] = i < 44 ? 40 : 90;
            s.Amp[i] = i < 47 ? 55 : 100;
            s.Ref[i] = 50;
            s.Speed[i] = 50 + After(i, 49, 0.4);
        });
        for (const bool normalized : {true, false}) {
            QStringList order;
            for (const Onset &o : Onsets(s.Trace(0, normalized), false))
                if (o.Channel == 4 || o.Channel == 8 || o.Channel == 0 || o.Channel == 6)
                    order << QString("%1@%2").arg(o.Channel).arg(o.Sample);
            // |I| stands for channels 1-3.
            QCOMPARE(order, QStringList({"4@40", "8@44", "0@47", "6@50"}));
        }
        const Diagnosis d = Diagnose(s.Trace(1, false), true);
        QCOMPARE(QString::fromStdString(d.Onsets[2].Name), QString("電流ベクトル(%)"));
        QCOMPARE(QString::fromStdString(DiagnosisFieldLines(d)[1]),
                 QString("onset\t4\t40\t-10\t直流電圧(V)"));
    }

    void derivedChannelsAndStatistics() {
        const TraceUnits trace = Make("ground-fault").Trace(1, true);
        const auto vector = DerivedSeries(trace, DerivedChannel::CurrentVector);
        const auto sum = DerivedSeries(trace, DerivedChannel::PhaseSum);
        QVERIFY(std::fabs(vector[10] - 60) < 1 && std::fabs(sum[10]) < 2); // balanced
        QVERIFY(std::fabs(sum[65] - 15) < 2);                              // 15 % to earth
        std::array<float, SampleCount> y{};
        y[3] = 3, y[4] = -4, y[5] = std::nanf(""), y[6] = 5;
        const RangeStatistics s = CursorRangeStatistics(y, 6, 3);
        QCOMPARE(s.Samples, 4);
        QCOMPARE(s.Finite, 3);
        QCOMPARE(s.Min, -4.0);
        QCOMPARE(s.Max, 5.0);
        QCOMPARE(s.Mean, 4.0 / 3);
        QCOMPARE(s.Rms, std::sqrt(50.0 / 3));
        QCOMPARE(CursorRangeStatistics(y, -5, 200).Samples, SampleCount);
    }

    void simulatorScenarios() {
        for (const std::string_view name : ScenarioNames()) {
            TDriveModel drive;
            QVERIFY(FillScenarioTrace(drive, name));
            TraceUnits trace;
            ResetRecord(trace.Record, drive.romId == 'E');
            trace.DriveTypeE = drive.romId == 'E';
            DecodeTraceImage(drive.newImage, trace.Record);
            trace.Record.Header[0] = drive.newHeader[0];
            QCOMPARE(QString::fromStdString(Diagnose(trace, false).CauseId),
                     QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
        }
        TDriveModel drive;
        QVERIFY(!FillScenarioTrace(drive, "brownout"));
    }
};

QTEST_APPLESS_MAIN(tst_Diagnosis)
#include "tst_Diagnosis.moc"
