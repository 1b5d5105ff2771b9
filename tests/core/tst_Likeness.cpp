// Likeness of traces: a noisy twin is nearest, the same first fault comes first, the trigger
// lines traces up, and broken values neither crash nor count.

#include "DriveScenarios.h"
#include "Likeness.h"

#include <QTest>
#include <cmath>
#include <random>

namespace {

TraceUnits Scenario(const char *name) {
    TDriveModel drive;
    FillScenarioTrace(drive, name);
    TraceUnits trace;
    ResetRecord(trace.Record);
    DecodeTraceImage(drive.newImage, trace.Record.Value, trace.Record.Flag);
    for (int i = 0; i < HeaderCount; ++i)
        trace.Record.Header[i] = drive.newHeader[static_cast<std::size_t>(i)];
    trace.DriveTypeE = drive.romId == 'E' ? 1 : 0;
    ApplyTypeScales(trace.Record, trace.DriveTypeE);
    return trace;
}

LikenessKey KeyOf(const TraceUnits &trace) {
    const HistorySummary s = SummarizeTrace(trace);
    return {s.FirstFaultWord, s.FirstFaultBit, ShapeOfTrace(trace)};
}

} // namespace

class tst_Likeness : public QObject {
    Q_OBJECT
private slots:
    void ranks_data() {
        QTest::addColumn<QString>("scenario");
        for (const std::string_view name : ScenarioNames())
            QTest::newRow(std::string(name).c_str()) << QString::fromUtf8(name.data(), qsizetype(name.size()));
    }
    // Among every scenario, the one the trace came from (with noise on every raw value) ranks
    // first, and every trace of the same first fault ranks before any other.
    void ranks() {
        QFETCH(QString, scenario);
        const TraceUnits current = Scenario(scenario.toLatin1().constData());
        std::vector<LikenessKey> others;
        std::size_t twin = 0;
        std::mt19937 noise(7);
        for (const std::string_view name : ScenarioNames()) {
            TraceUnits other = Scenario(std::string(name).c_str());
            if (QString::fromUtf8(name.data(), qsizetype(name.size())) == scenario) {
                twin = others.size();
                for (auto &sample : other.Record.Value)
                    for (float &v : sample)
                        v += std::uniform_int_distribution<int>(-3, 3)(noise);
            }
            others.push_back(KeyOf(other));
        }
        const LikenessKey key = KeyOf(current);
        const std::vector<RankedTrace> ranked = RankByLikeness(key, others);
        QCOMPARE(ranked.size(), others.size());
        QCOMPARE(ranked.front().Index, twin);
        QVERIFY(ranked.front().SameFirstFault);
        for (std::size_t i = 1; i < ranked.size(); ++i)
            QVERIFY(ranked[i - 1].SameFirstFault >= ranked[i].SameFirstFault);
    }

    // A trace shifted by k samples with its trigger moved alike lines up exactly; NaN values
    // are left out, and traces that share no sample are infinitely far apart.
    void alignsByTrigger() {
        const TraceUnits trace = Scenario("accel-overcurrent");
        const TraceShape shape = ShapeOfTrace(trace);
        TraceShape shifted = shape;
        shifted.Trigger = shape.Trigger + 5;
        for (int i = 0; i < SampleCount; ++i)
            for (int c = 0; c < ChannelCount; ++c)
                shifted.Values[std::size_t(i * ChannelCount + c)] =
                    i >= 5 ? shape.Values[std::size_t((i - 5) * ChannelCount + c)] : NAN;
        QCOMPARE(WaveformDistance(shape, shifted), 0.0);
        QVERIFY(WaveformDistance(shape, shape) == 0.0);
        shifted.Trigger = shape.Trigger + SampleCount;
        QVERIFY(std::isinf(WaveformDistance(shape, shifted)));
        TraceShape broken = shape;
        broken.Values.fill(INFINITY);
        QVERIFY(std::isinf(WaveformDistance(shape, broken)));
        QVERIFY(std::isinf(WaveformDistance(broken, shape)));
    }

    void csvAndFilter() {
        HistoryRow row;
        row.File = "/h/a,b.vnx";
        row.Summary = SummarizeTrace(Scenario("ground-fault"));
        row.Note = "cable \"B\"";
        const std::string line = HistoryCsvLine(row, false);
        QVERIFY2(QByteArray::fromStdString(line).startsWith("\"/h/a,b.vnx\","), line.c_str());
        QVERIFY(QByteArray::fromStdString(line).endsWith(",\"cable \"\"B\"\"\""));
        QVERIFY(HistoryRowMatches(row, "GROUND", false));
        QVERIFY(HistoryRowMatches(row, "cable", true));
        QVERIFY(!HistoryRowMatches(row, "overspeed", false));
    }
};

QTEST_APPLESS_MAIN(tst_Likeness)
#include "tst_Likeness.moc"
