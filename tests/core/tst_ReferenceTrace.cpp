// Pairing the samples of a reference trace with the current one, and the reference's values in
// engineering units by its own drive type and kind of file.

#include "ReferenceTrace.h"
#include "TimeView.h"

#include <QTest>
#include <climits>
#include <cmath>

Q_DECLARE_METATYPE(Alignment)

namespace {

TraceUnits WithTrigger(int header0, int driveTypeE = 0) {
    TraceUnits trace;
    trace.DriveTypeE = driveTypeE;
    ResetRecord(trace.Record, driveTypeE);
    trace.Record.Header[0] = header0;
    return trace;
}

} // namespace

class tst_ReferenceTrace : public QObject {
    Q_OBJECT
private slots:
    void partner_data() {
        QTest::addColumn<int>("currentHeader0");
        QTest::addColumn<int>("referenceHeader0");
        QTest::addColumn<Alignment>("alignment");
        QTest::addColumn<int>("k");
        QTest::addColumn<int>("expected");

        // Current trigger at 40, reference trigger at 10: the reference runs 30 samples ahead.
        QTest::newRow("trigger meets trigger") << 60 << 90 << Alignment::Trigger << 40 << 10;
        QTest::newRow("first partnered sample") << 60 << 90 << Alignment::Trigger << 30 << 0;
        QTest::newRow("before the reference starts") << 60 << 90 << Alignment::Trigger << 29 << -1;
        QTest::newRow("last sample") << 60 << 90 << Alignment::Trigger << 99 << 69;
        // The other way round the reference ends early.
        QTest::newRow("reverse trigger") << 90 << 60 << Alignment::Trigger << 10 << 40;
        QTest::newRow("reverse last partner") << 90 << 60 << Alignment::Trigger << 69 << 99;
        QTest::newRow("reverse beyond the end") << 90 << 60 << Alignment::Trigger << 70 << -1;
        QTest::newRow("by sample ignores triggers") << 60 << 90 << Alignment::Sample << 29 << 29;
        QTest::newRow("by sample last") << 60 << 90 << Alignment::Sample << 99 << 99;
        QTest::newRow("current sample out of range") << 60 << 60 << Alignment::Sample << 100 << -1;
        QTest::newRow("negative current sample") << 60 << 60 << Alignment::Trigger << -1 << -1;
        // Triggers far outside the record must not overflow into a valid sample.
        QTest::newRow("extreme triggers") << INT_MIN << INT_MAX << Alignment::Trigger << 50 << -1;
        QTest::newRow("equal extreme triggers")
            << INT_MIN << INT_MIN << Alignment::Trigger << 7 << 7;
    }
    void partner() {
        QFETCH(int, currentHeader0);
        QFETCH(int, referenceHeader0);
        QFETCH(Alignment, alignment);
        QFETCH(int, k);
        QFETCH(int, expected);
        QCOMPARE(ReferenceSampleFor(k, WithTrigger(currentHeader0), WithTrigger(referenceHeader0),
                                    alignment),
                 expected);
    }

    // A raw reference of a type E drive against a stored-engineering-units current trace of a
    // standard drive.
    void unitsTravelWithTheTrace() {
        TraceUnits reference = WithTrigger(100, 1);
        reference.Record.Value[5][0] = 200.0f;
        reference.Record.Value[5][9] = 300.0f;
        TraceUnits current = WithTrigger(100);
        current.Normalized = true;
        current.Record.Value[5][9] = 12.5f;

        QVERIFY(ChannelFactor(9, 1) != ChannelFactor(9, 0));
        QCOMPARE(NormalizedValue(reference, 5, 9), 300.0f * ChannelFactor(9, 1));
        QCOMPARE(NormalizedValue(reference, 5, 0), 200.0f * ChannelFactor(0, 1));
        QCOMPARE(NormalizedValue(current, 5, 9), 12.5f);
        const ChartFill chart = ReferenceChartFill(current, reference, 10, Alignment::Sample, {});
        QCOMPARE(chart.Y[5], 300.0f * ChannelFactor(9, 1));
        QCOMPARE(QString::fromStdString(chart.Title), QStringLiteral("Slip-Freq.(%)"));
    }

    // A chart's reference points by trigger, with the samples that have no partner left out of
    // the points, the range and the readout.
    void chartAndReadoutOfTheReference() {
        TraceUnits current = WithTrigger(60); // t = 40
        current.Normalized = true;
        TraceUnits reference = WithTrigger(90, 1); // t = 10
        for (int n = 0; n < SampleCount; ++n) {
            current.Record.Value[n][0] = n * 0.5f;
            reference.Record.Value[n][0] = float(n);
            reference.Record.Value[n][10] = float(n);
        }
        reference.Record.Value[69][0] = 1000.0f;  // partner of current sample 99
        reference.Record.Value[70][0] = -1000.0f; // partner of none
        reference.Normalized = true;
        const ChartFill ref = ReferenceChartFill(current, reference, 1, Alignment::Trigger, {});
        QVERIFY(std::isnan(ref.Y[29]));
        QCOMPARE(ref.Y[30], 0.0f);
        QCOMPARE(ref.Y[40], 10.0f);
        QCOMPARE(ref.Y[99], 1000.0f);
        QCOMPARE(ref.Min, 0.0f);
        QCOMPARE(ref.Max, 1000.0f);

        ChartFill cur;
        for (int n = 0; n < SampleCount; ++n)
            cur.Y[n] = n * 0.5f;
        // Zoomed to 20..40 the reference's points 30..40 (0..10) widen the current 10..20.
        QCOMPARE(VisibleVerticalRange(cur, ref, 20, 40).Min, VerticalRange(20, 0).Min);
        QCOMPARE(VisibleVerticalRange(cur, ref, 0, 29).Max, VerticalRange(14.5f, 0).Max);

        TimeView view;
        view.A = 29;
        view.B = 40;
        const std::vector<ReadoutChart> charts = {{"Iu", &cur, &ref}, {"Vdc", &cur, nullptr}};
        QCOMPARE(QString::fromStdString(CursorReadoutText(view, 40, charts, ",")),
                 QStringLiteral("A 29 (T-11)  B 40 (T+0)  Δ 11\n"
                                "Iu: A 14,50 (ref -)  B 20,00 (ref 10,00)  Δ 5,50\n"
                                "Vdc: A 14,50  B 20,00  Δ 5,50\nA..B 12 samples\n"
                                "Iu: min 14,50  max 20,00  mean 17,25  rms 17,34\n"
                                "Vdc: min 14,50  max 20,00  mean 17,25  rms 17,34"));
        view = TimeView{};
        view.Hover = 40;
        QCOMPARE(QString::fromStdString(CursorReadoutText(view, 40, charts, ".")),
                 QStringLiteral("40 (T+0)\nIu: 20.00 (ref 10.00)\nVdc: 20.00"));

        // A raw reference is plotted by its own drive type's factor, by sample index here.
        reference.Normalized = false;
        const ChartFill raw = ReferenceChartFill(current, reference, 11, Alignment::Sample, {});
        QCOMPARE(raw.Y[7], float(7.0 * double(ChannelFactor(10, 1))));
    }
};

QTEST_APPLESS_MAIN(tst_ReferenceTrace)
#include "tst_ReferenceTrace.moc"
