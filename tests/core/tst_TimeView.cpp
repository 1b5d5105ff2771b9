// The shared time view: nearest sample, zoom and pan limits, fitting over visible samples, and
// the readout texts.

#include "TimeView.h"

#include <QTest>

#include <limits>

class tst_TimeView : public QObject {
    Q_OBJECT
private slots:
    void nearestSample_data() {
        QTest::addColumn<double>("x");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addColumn<int>("expected");
        // Plot from x = 100 to x = 595: 5 px a sample over 0..99.
        QTest::newRow("left edge") << 100.0 << 0 << 99 << 0;
        QTest::newRow("right edge") << 595.0 << 0 << 99 << 99;
        QTest::newRow("just below half way rounds down") << 152.4 << 0 << 99 << 10;
        QTest::newRow("just above half way rounds up") << 152.6 << 0 << 99 << 11;
        QTest::newRow("left of the plot clamps") << -40.0 << 0 << 99 << 0;
        QTest::newRow("right of the plot clamps") << 9000.0 << 0 << 99 << 99;
        QTest::newRow("zoomed: 20..29 over the plot") << 100.0 + 495.0 * 3 / 9 << 20 << 29 << 23;
        QTest::newRow("zoomed: clamps to the visible end") << 700.0 << 20 << 29 << 29;
        QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << 20 << 29 << 20;
    }
    void nearestSample() {
        QFETCH(double, x);
        QFETCH(int, first);
        QFETCH(int, last);
        QFETCH(int, expected);
        QCOMPARE(NearestSample(x, 100, 595, first, last), expected);
        // The sample found lies where SampleX puts it, within half a sample.
        if (std::isfinite(x) && x >= 100 && x <= 595)
            QVERIFY(std::abs(SampleX(expected, 100, 595, first, last) - x) <=
                    495.0 / (last - first) / 2 + 1e-9);
    }

    void zoomAndPanStayInside() {
        TimeView view;
        view.A = 42;
        // Zooming in around sample 80 as far as it goes keeps 5 samples and sample 80 in view.
        for (int i = 0; i < 40; ++i)
            view = ZoomAround(view, 80, 1);
        QCOMPARE(view.Last - view.First + 1, MinVisibleSamples);
        QVERIFY(view.First <= 80 && 80 <= view.Last);
        QCOMPARE(view.A, std::optional<int>(42)); // a cursor outside the range stays set
        // Around the last sample the range ends at 99, never beyond.
        TimeView edge = ZoomAround(TimeView{}, 99, 3);
        QCOMPARE(edge.Last, 99);
        QVERIFY(edge.Last - edge.First + 1 < SampleCount);
        // The sample under the mouse keeps its place: zooming in around 30 then out again
        // comes back to a range that still holds 30 at about the same share.
        TimeView in = ZoomAround(TimeView{}, 30, 2);
        QVERIFY(in.First <= 30 && 30 <= in.Last);
        QVERIFY(std::abs((30.0 - in.First) / (in.Last - in.First) - 30.0 / 99) < 0.05);
        // Pans stop at either end and keep the width.
        const int width = in.Last - in.First;
        TimeView right = Pan(in, 500);
        QCOMPARE(right.Last, 99);
        QCOMPARE(right.Last - right.First, width);
        TimeView left = Pan(right, -500);
        QCOMPARE(left.First, 0);
        QCOMPARE(left.Last - left.First, width);
        // Zooming out past everything shows all, and all is all.
        QVERIFY(ZoomAround(in, 50, -50).ShowsAll());
        QVERIFY(ShowAll(left).ShowsAll());
        QCOMPARE(ShowAll(view).A, std::optional<int>(42));
    }

    void cursorsMoveWithinTheTrace() {
        TimeView view = ZoomAround(TimeView{}, 60, 4);
        QCOMPARE(MoveCursor(std::nullopt, 1, view), std::optional<int>(view.First));
        QCOMPARE(MoveCursor(0, -1, view), std::optional<int>(0));
        QCOMPARE(MoveCursor(99, 1, view), std::optional<int>(99));
        QCOMPARE(MoveCursor(10, 1, view), std::optional<int>(11));
    }

    void triggerSample_data() {
        QTest::addColumn<int>("header0");
        QTest::addColumn<int>("expected"); // -1: no marker
        QTest::newRow("start value: the first sample") << 100 << 0;
        QTest::newRow("trigger at sample 30") << 70 << 30;
        QTest::newRow("last sample") << 1 << 99;
        QTest::newRow("one past the end") << 0 << -1;
        QTest::newRow("before the trace") << 101 << -1;
        QTest::newRow("huge") << std::numeric_limits<int>::min() << -1;
    }
    void triggerSample() {
        QFETCH(int, header0);
        QFETCH(int, expected);
        TTraceRecord record;
        ResetRecord(record);
        record.Header[0] = header0;
        const std::optional<int> t = TriggerSample(record);
        QCOMPARE(t ? *t : -1, expected);
    }

    void rangeFitsTheVisibleSamples() {
        ChartFill fill;
        for (int n = 0; n < SampleCount; ++n)
            fill.Y[n] = float(n % 10); // 0..9 repeated
        fill.Y[50] = 100;
        fill.Y[51] = std::numeric_limits<float>::quiet_NaN();
        const AxisRange all = VisibleVerticalRange(fill, 0, 99);
        QCOMPARE(all.Max, VerticalRange(100, 0).Max);
        // Samples 52..55 hold 2..5: the spike at 50 and the gap at 51 are not visible.
        const AxisRange part = VisibleVerticalRange(fill, 52, 55);
        QCOMPARE(part.Max, VerticalRange(5, 2).Max);
        QCOMPARE(part.Min, VerticalRange(5, 2).Min);
        QVERIFY(part.Max < 6 && part.Min > 1);
    }

    void cursorReadout_data() {
        QTest::addColumn<std::optional<int>>("a");
        QTest::addColumn<std::optional<int>>("b");
        QTest::addColumn<std::optional<int>>("hover");
        QTest::addColumn<QString>("expected");
        // t = 30; chart one holds n * 0.5, chart two -n.
        QTest::newRow("both cursors")
            << std::optional<int>(28) << std::optional<int>(35) << std::optional<int>()
            << "A 28 (T-2)  B 35 (T+5)  Δ 7\nIu: A 14.00  B 17.50  Δ 3.50\nVdc: A -28.00  B -35.00 "
               " "
               "Δ -7.00\nA..B 8 samples\nIu: min 14.00  max 17.50  mean 15.75  rms 15.79\n"
               "Vdc: min -35.00  max -28.00  mean -31.50  rms 31.58";
        QTest::newRow("A at the trigger, B not set")
            << std::optional<int>(30) << std::optional<int>() << std::optional<int>(3)
            << "A 30 (T+0)  B -  Δ -\nIu: A 15.00  B -  Δ -\nVdc: A -30.00  B -  Δ -";
        QTest::newRow("only B, A before")
            << std::optional<int>() << std::optional<int>(0) << std::optional<int>()
            << "A -  B 0 (T-30)  Δ -\nIu: A -  B 0.00  Δ -\nVdc: A "
               "-  B 0.00  Δ -";
        QTest::newRow("hover only") << std::optional<int>() << std::optional<int>()
                                    << std::optional<int>(31) << "31 (T+1)\nIu: 15.50\nVdc: -31.00";
        QTest::newRow("nothing") << std::optional<int>() << std::optional<int>()
                                 << std::optional<int>() << "";
    }
    void cursorReadout() {
        QFETCH(std::optional<int>, a);
        QFETCH(std::optional<int>, b);
        QFETCH(std::optional<int>, hover);
        QFETCH(QString, expected);
        ChartFill one, two;
        for (int n = 0; n < SampleCount; ++n) {
            one.Y[n] = n * 0.5f;
            two.Y[n] = float(-n);
        }
        TimeView view;
        view.A = a;
        view.B = b;
        view.Hover = hover;
        const std::string text = CursorReadoutText(view, 30, {{"Iu", &one}, {"Vdc", &two}}, ".");
        QCOMPARE(QString::fromStdString(text), expected);
    }

    void readoutUsesTheSeparatorAndMarksUndefinedValues() {
        ChartFill fill;
        fill.Y[4] = 1.25f;
        fill.Y[5] = std::numeric_limits<float>::infinity();
        TimeView view;
        view.A = 4;
        view.B = 5;
        QCOMPARE(
            QString::fromStdString(CursorReadoutText(view, 100, {{"ch", &fill}}, ",")),
            QStringLiteral("A 4 (T-96)  B 5 (T-95)  Δ 1\nch: A 1,25  B -  Δ -\nA..B 2 samples\n"
                           "ch: min 1,25  max 1,25  mean 1,25  rms 1,25"));
    }

    void bitReadout() {
        TTraceRecord record;
        ResetRecord(record);
        record.Flag[10][2] = 0x001A;
        record.Flag[20][2] = 0x803A;
        TimeView view;
        QCOMPARE(QString::fromStdString(BitReadoutText(view, record, 2, false)), QString());
        view.A = 10;
        view.B = 20;
        QCOMPARE(QString::fromStdString(BitReadoutText(view, record, 2, false)),
                 QStringLiteral("A 0x001A  B 0x803A\nBits that differ: bit5 bit15"));
        QCOMPARE(QString::fromStdString(BitReadoutText(view, record, 2, true)),
                 QStringLiteral("A 0x001A  B 0x803A\n変化したビット: bit5 bit15"));
        view.B = 10;
        QCOMPARE(QString::fromStdString(BitReadoutText(view, record, 2, false)),
                 QStringLiteral("A 0x001A  B 0x001A\nBits that differ: none"));
        view.B.reset();
        QCOMPARE(QString::fromStdString(BitReadoutText(view, record, 2, false)),
                 QStringLiteral("A 0x001A  B -\nBits that differ: -"));
    }
};

QTEST_APPLESS_MAIN(tst_TimeView)
#include "tst_TimeView.moc"
